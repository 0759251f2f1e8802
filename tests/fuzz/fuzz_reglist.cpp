// The registry list editor on the environment's Path and KSTA: the first
// byte picks the mode and the value's type, then the stored list, "----",
// the entry.  Then the Path clean-up with the entry as product directory.
#include "registry/cleanup.h"
#include "registry/reghelpers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  fuzz::Workstation ws;
  const int mode = data[0] & 3;
  const std::vector<std::string> parts = fuzz::Parts(fuzz::Text(data + 1, size - 1), 2);
  svp::MemoryRegistry& reg = ws.platform().registry();
  const uint32_t type = (data[0] & 4) ? svp::kRegExpandSz : svp::kRegSz;
  if (data[0] & 8) {
    reg.SetBinary(svp::kHKeyLocalMachine, sample::kEnvironment, "Path", type, parts[0]);
  } else {
    reg.SetString(svp::kHKeyLocalMachine, sample::kEnvironment, "Path", parts[0], type);
  }
  reg.SetString(svp::kHKeyLocalMachine, sample::kEnvironment, "KSTA", parts[0]);
  SvRegEditList(sample::kEnvironment, "Path", parts[1], mode);
  SvRegEditList(sample::kEnvironment, "KSTA", parts[1], 3);
  ws.macros().AddMacro("LDID_SV", parts[1].c_str(), SV_MACRO_OVERWRITE);
  SvCleanEnvironment(&ws.kit());
  return 0;
}
