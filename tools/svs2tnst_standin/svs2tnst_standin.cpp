// SVS2TNST.EXE stand-in: records each run by adding 1 to the REG_DWORD
// "Runs" under HKLM\SOFTWARE\SocketsCleanupStandIn.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\SocketsCleanupStandIn", 0, nullptr,
                      REG_OPTION_NON_VOLATILE, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return 1;
  DWORD runs = 0, type = 0, size = sizeof runs;
  if (RegQueryValueExA(key, "Runs", nullptr, &type, reinterpret_cast<BYTE*>(&runs), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    runs = 0;
  ++runs;
  LONG status = RegSetValueExA(key, "Runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs),
                               sizeof runs);
  RegCloseKey(key);
  return status == ERROR_SUCCESS ? 0 : 1;
}
