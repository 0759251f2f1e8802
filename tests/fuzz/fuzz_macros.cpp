// Macro expansion: NAME=VALUE lines define macros (values may refer to
// others), every line is then expanded and read as a boolean.
#include <sstream>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CSvMacroList macros(svp::kHKeyLocalMachine, fuzz::Workstation::kConfigKey);
  const std::string input = fuzz::Text(data, size);
  std::vector<std::string> lines;
  std::istringstream in(input);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  uint32_t flags = 0;
  for (const std::string& line : lines) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    macros.AddMacro(line.substr(0, eq).c_str(), line.c_str() + eq + 1,
                    (flags++ & 1) ? SV_MACRO_OVERWRITE : SV_MACRO_VOLATILE);
  }
  std::string out;
  for (const std::string& line : lines) {
    macros.ExpandMacros(line.c_str(), out);
    macros.ExpandMacros(line.c_str(), out, '%', '%');
    macros.IsMacroTrue(line.c_str());
  }
  return 0;
}
