// The command line and its switches: start-up, initialisation and, when the
// run goes that far, the silent removal, over the sample workstation.
#include "app/setupapp.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Workstation ws(fuzz::Workstation::kSample, false);
  std::string line = fuzz::Text(data, size);
  line = line.substr(0, line.find('\0'));
  ws.platform().files().WriteFile("C:\\SVKIT\\ANSWERS.TXT", "InstallMode=Custom\r\nLDID_SV=C:\\SV32\r\n");
  ws.platform().system().SetCommandLine(line);
  {
    CSetupApp app;
    if (app.InitInstance()) {
      for (int i = 0; i < 8 && !ws.sheets().QuitPosted(); ++i)
        if (ws.sheets().DispatchPosted() == 0 && !ws.sheets().ClickCancel()) break;
      // Whatever the command line, the process ends with 0.
      if (app.ExitInstance(ws.sheets().QuitCode()) != 0) __builtin_trap();
    }
  }
  return 0;
}
