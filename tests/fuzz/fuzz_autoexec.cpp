// The AUTOEXEC.NT clean-up on any file content.
#include "registry/cleanup.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Workstation ws;
  const std::string input = fuzz::Text(data, size);
  ws.platform().files().WriteFile("C:\\WINNT\\system32\\AUTOEXEC.NT", input);
  SvCleanAutoexec();
  // Nothing is lost: the backup holds the file as it was.
  if (ws.platform().files().ReadFile("C:\\WINNT\\system32\\AUTOEXEC.SV") != input)
    __builtin_trap();
  return 0;
}
