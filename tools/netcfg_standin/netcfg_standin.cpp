// NETCFG.DLL stand-in: the six entry points of the network setup library,
// with the installed components kept in the registry so that tests and the
// demo can set them up and read them back from outside.
//
//   HKLM\SOFTWARE\NetSetupStandIn
//     ReviewCount (REG_DWORD)   + 1 per NetSetupReviewBindings
//     Journal     (REG_SZ)      when present: every call appends
//                               "<entry point> <option>" CR LF to that file
//     Components\<option>       one key per installed component
//       InfName     (REG_SZ)    answered by NetSetupFindSoftwareComponent
//       RemoveError (REG_DWORD) non-zero: NetSetupComponentRemove answers it
//                               and the component stays
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

const wchar_t kRoot[] = L"SOFTWARE\\NetSetupStandIn";
const wchar_t kComponents[] = L"SOFTWARE\\NetSetupStandIn\\Components";

// Codes of this stand-in: the network library's "No match" for an option
// that is not installed, and "invalid function" for the entry points the
// program binds but never calls.
constexpr DWORD kNoMatch = 1207;
constexpr DWORD kNotProvided = ERROR_INVALID_FUNCTION;

std::string Narrow(const wchar_t* text) {
  if (text == nullptr || *text == L'\0') return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

bool ReadString(HKEY key, const wchar_t* name, std::wstring* value) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) !=
      ERROR_SUCCESS)
    return false;
  data.resize(wcsnlen(data.c_str(), data.size()));
  *value = data;
  return true;
}

bool ReadDword(HKEY key, const wchar_t* name, DWORD* value) {
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD)
    return false;
  *value = data;
  return true;
}

void Journal(const char* entryPoint, const wchar_t* option, bool withOption) {
  HKEY root = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRoot, 0, KEY_QUERY_VALUE, &root) != ERROR_SUCCESS) return;
  std::wstring path;
  bool wanted = ReadString(root, L"Journal", &path) && !path.empty();
  RegCloseKey(root);
  if (!wanted) return;
  std::string line = entryPoint;
  if (withOption) line += " " + Narrow(option);
  line += "\r\n";
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

// Opens the component's key; false when the option is not installed.
bool OpenComponent(const wchar_t* option, REGSAM access, HKEY* key) {
  if (option == nullptr || *option == L'\0' || std::wcschr(option, L'\\') != nullptr) return false;
  std::wstring path = std::wstring(kComponents) + L"\\" + option;
  return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, key) == ERROR_SUCCESS;
}

// Deletes a key and everything under it.  NT 4.0 has no RegDeleteTree, and
// its RegDeleteKey refuses a key with subkeys: the subkeys go first.
LONG DeleteKeyTree(HKEY parent, const wchar_t* name) {
  HKEY key = nullptr;
  LONG status = RegOpenKeyExW(parent, name, 0, KEY_ALL_ACCESS, &key);
  if (status != ERROR_SUCCESS) return status;
  wchar_t child[256];
  for (;;) {
    DWORD length = sizeof child / sizeof child[0];
    if (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    status = DeleteKeyTree(key, child);
    if (status != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return status;
  return RegDeleteKeyW(parent, name);
}

// Copies text into a caller's buffer of *size characters; *size becomes the
// text's length, or the size needed when it does not fit.
DWORD CopyOut(const std::wstring& text, PWSTR buffer, PDWORD size) {
  if (size == nullptr) return 0;
  if (buffer == nullptr || *size <= text.size()) {
    bool asked = buffer == nullptr;
    *size = static_cast<DWORD>(text.size() + 1);
    return asked ? 0 : ERROR_INSUFFICIENT_BUFFER;
  }
  std::wmemcpy(buffer, text.c_str(), text.size() + 1);
  *size = static_cast<DWORD>(text.size());
  return 0;
}

}  // namespace

extern "C" {

DWORD WINAPI NetSetupReviewBindings(HWND /*owner*/) {
  Journal("NetSetupReviewBindings", nullptr, false);
  HKEY root = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kRoot, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &root, nullptr) != ERROR_SUCCESS)
    return ERROR_ACCESS_DENIED;
  DWORD count = 0;
  ReadDword(root, L"ReviewCount", &count);
  ++count;
  LONG status = RegSetValueExW(root, L"ReviewCount", 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&count), sizeof count);
  RegCloseKey(root);
  return static_cast<DWORD>(status);
}

DWORD WINAPI NetSetupFindSoftwareComponent(PCWSTR option, PWSTR infName, PDWORD infSize,
                                           PWSTR regBase, PDWORD regBaseSize) {
  Journal("NetSetupFindSoftwareComponent", option, true);
  HKEY key = nullptr;
  if (!OpenComponent(option, KEY_QUERY_VALUE, &key)) return kNoMatch;
  std::wstring inf;
  ReadString(key, L"InfName", &inf);
  RegCloseKey(key);
  DWORD status = CopyOut(inf, infName, infSize);
  if (status == 0 && regBase != nullptr && regBaseSize != nullptr)
    status = CopyOut(std::wstring(kComponents) + L"\\" + option, regBase, regBaseSize);
  return status;
}

DWORD WINAPI NetSetupFindHardwareComponent(PCWSTR option, PWSTR /*infName*/, PDWORD /*infSize*/,
                                           PWSTR /*regBase*/, PDWORD /*regBaseSize*/) {
  Journal("NetSetupFindHardwareComponent", option, true);
  return kNotProvided;
}

DWORD WINAPI NetSetupComponentInstall(HWND /*owner*/, PCWSTR option, PCWSTR /*infName*/,
                                      PCWSTR /*installPath*/, PDWORD infResult) {
  Journal("NetSetupComponentInstall", option, true);
  if (infResult != nullptr) *infResult = 0;
  return kNotProvided;
}

DWORD WINAPI NetSetupComponentRemove(HWND /*owner*/, PCWSTR option, DWORD /*flags*/,
                                     PDWORD infResult) {
  Journal("NetSetupComponentRemove", option, true);
  if (infResult != nullptr) *infResult = 0;
  HKEY key = nullptr;
  if (!OpenComponent(option, KEY_QUERY_VALUE, &key)) return kNoMatch;
  DWORD error = 0;
  bool refuse = ReadDword(key, L"RemoveError", &error) && error != 0;
  RegCloseKey(key);
  if (refuse) return error;
  HKEY components = nullptr;
  LONG status = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kComponents, 0, KEY_ALL_ACCESS, &components);
  if (status != ERROR_SUCCESS) return static_cast<DWORD>(status);
  status = DeleteKeyTree(components, option);
  RegCloseKey(components);
  return static_cast<DWORD>(status);
}

DWORD WINAPI NetSetupComponentProperties(HWND /*owner*/, PCWSTR option, PCWSTR /*infName*/,
                                         PDWORD infResult) {
  Journal("NetSetupComponentProperties", option, true);
  if (infResult != nullptr) *infResult = 0;
  return kNotProvided;
}

}  // extern "C"
