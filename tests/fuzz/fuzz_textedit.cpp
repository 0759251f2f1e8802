// A command file and the text files it edits, through the text-edit phase.
// Input: the command file, a line "----", AUTOEXEC.NT, "----", SYSTEM.INI.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Workstation ws;
  const std::vector<std::string> parts = fuzz::Parts(fuzz::Text(data, size), 3);
  svp::MemoryFileSystem& fs = ws.platform().files();
  fs.WriteFile("C:\\KIT\\SVTEXT.CMD", parts[0]);
  fs.WriteFile("C:\\WINNT\\system32\\AUTOEXEC.NT", parts[1]);
  fs.WriteFile("C:\\WINNT\\SYSTEM.INI", parts[2]);
  fs.WriteFile("C:\\KIT\\KITPURGE.DAT",
               "VERSION,0x1000048\r\n"
               "TEXTEDIT,TRLCORE_Installed,{LDID_KITROOT}\\SVTEXT.CMD,AUTOEXEC SYSTEMINI,0\r\n"
               "TEXTEDIT,TRLCORE_Installed,{LDID_KITROOT}\\SVTEXT.CMD,SYSTEMINI OTHER,0\r\n");
  if (ws.kit().LoadKitData("C:\\KIT", "KITPURGE.DAT") != 0) return 0;
  ws.kit().ProcessTextEdits(nullptr);
  return 0;
}
