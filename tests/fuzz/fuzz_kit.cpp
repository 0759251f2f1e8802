// KITPURGE.DAT: the loader, then every group selected and deselected.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Workstation ws;
  ws.platform().files().WriteFile("C:\\KIT\\KITPURGE.DAT", fuzz::Text(data, size));
  CSvKit& kit = ws.kit();
  if (kit.LoadKitData("C:\\KIT", "KITPURGE.DAT") != 0) return 0;
  std::vector<std::string> names;
  for (const CSvGroup* group : kit.Groups()) names.push_back(group->GetName());
  for (const std::string& name : names) kit.SelectGroup(name);
  for (const std::string& name : names) kit.DeselectGroup(name);
  kit.SelectGroup("_REQUIRED");
  return 0;
}
