// The answer file of /AUTOSETUP=: NAME=VALUE lines into the configuration key.
#include "app/uninstall.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Workstation ws;
  ws.platform().files().WriteFile("C:\\SVKIT\\ANSWERS.TXT", fuzz::Text(data, size));
  ReadAnswerFile("C:\\SVKIT\\ANSWERS.TXT");
  ws.macros().LoadMacroFromRegistry("LDID_SV");
  return 0;
}
