#include <cstring>

#include "platform/win32/win32_internal.h"

namespace svp {

std::string Win32CommandLineArgs(const char* commandLine) {
  if (commandLine == nullptr) return std::string();
  const char* p = commandLine;
  if (*p == '"') {
    ++p;
    while (*p != '\0' && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
  }
  while (*p == ' ' || *p == '\t') ++p;
  return std::string(p);
}

namespace win32 {

bool System::GetVersionEx(OsVersion* version) {
  if (version == nullptr) return false;
  // Room for the largest record; the size field says which one is asked for.
  OSVERSIONINFOEXA record;
  std::memset(&record, 0, sizeof record);
  record.dwOSVersionInfoSize = version->size;
  if (version->size > sizeof record) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&record))) return false;
  version->major = record.dwMajorVersion;
  version->minor = record.dwMinorVersion;
  version->build = record.dwBuildNumber;
  version->platformId = record.dwPlatformId;
  version->csdVersion.assign(record.szCSDVersion, strnlen(record.szCSDVersion, sizeof record.szCSDVersion));
  return true;
}

bool System::IsUserAdmin() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_READ, &token)) return false;
  DWORD needed = 0;
  if (!::GetTokenInformation(token, TokenGroups, nullptr, 0, &needed) &&
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    ::CloseHandle(token);
    return false;
  }
  if (needed == 0) {
    ::CloseHandle(token);
    return false;
  }
  auto* groups =
      static_cast<TOKEN_GROUPS*>(::HeapAlloc(::GetProcessHeap(), HEAP_ZERO_MEMORY, needed));
  ::CloseHandle(token);
  if (groups == nullptr) return false;

  bool read = false;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_READ, &token)) {
    read = ::GetTokenInformation(token, TokenGroups, groups, needed, &needed) != FALSE;
    ::CloseHandle(token);
  }
  if (!read) {
    ::HeapFree(::GetProcessHeap(), 0, groups);
    return false;
  }

  SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
  PSID administrators = nullptr;
  if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    ::HeapFree(::GetProcessHeap(), 0, groups);
    return false;
  }
  // Membership alone counts; the group's attributes are not looked at.
  bool member = false;
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    if (::EqualSid(groups->Groups[i].Sid, administrators)) {
      member = true;
      break;
    }
  }
  ::FreeSid(administrators);
  ::HeapFree(::GetProcessHeap(), 0, groups);
  return member;
}

bool System::RestartWindows() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
    return false;
  TOKEN_PRIVILEGES privileges;
  std::memset(&privileges, 0, sizeof privileges);
  ::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  ::SetLastError(0);
  ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
  DWORD error = ::GetLastError();
  ::CloseHandle(token);
  if (error != 0) return false;
  ::ExitWindowsEx(EWX_REBOOT, 0);
  return true;
}

uint32_t System::StartProcess(const std::string& applicationName, uint32_t creationFlags) {
  // An otherwise empty start-up record of 68 bytes, the size that the
  // Sockets clean-up is started with.
  static_assert(sizeof(STARTUPINFOA) == 68, "STARTUPINFOA of 32-bit Windows");
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::memset(&process, 0, sizeof process);
  if (!::CreateProcessA(applicationName.c_str(), nullptr, nullptr, nullptr, FALSE, creationFlags,
                        nullptr, nullptr, &startup, &process)) {
    DWORD error = ::GetLastError();
    return error != 0 ? error : ERROR_FILE_NOT_FOUND;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return 0;
}

uint32_t System::GetWindowsDirectory(std::string* out) {
  char buffer[MAX_PATH + 1] = {};
  UINT n = ::GetWindowsDirectoryA(buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  if (out != nullptr) out->assign(buffer, n);
  return n;
}

uint32_t System::GetSystemDirectory(std::string* out) {
  char buffer[MAX_PATH + 1] = {};
  UINT n = ::GetSystemDirectoryA(buffer, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 0;
  if (out != nullptr) out->assign(buffer, n);
  return n;
}

bool System::GetEnvironmentVariable(const std::string& name, std::string* value) {
  ::SetLastError(0);
  DWORD needed = ::GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (needed == 0) {
    // An empty variable also answers 0, without an error.
    if (::GetLastError() != 0) return false;
    if (value != nullptr) value->clear();
    return true;
  }
  std::vector<char> buffer(needed + 1u, '\0');
  DWORD n = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), needed + 1u);
  if (n > needed) return false;
  if (value != nullptr) value->assign(buffer.data(), n);
  return true;
}

uint32_t System::WNetGetConnection(const std::string& localName, std::string* remoteName) {
  char buffer[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH;
  DWORD status = ::WNetGetConnectionA(localName.c_str(), buffer, &size);
  if (status == NO_ERROR && remoteName != nullptr) remoteName->assign(buffer);
  return status;
}

std::string System::GetCommandLineArgs() { return Win32CommandLineArgs(::GetCommandLineA()); }

void System::NotifyEnvironmentChange() {
  HWND progman = ::FindWindowA("Progman", nullptr);
  if (progman != nullptr) {
    ::SendMessageA(progman, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("Environment"));
  }
}

bool System::LoadString(uint32_t id, std::string* text) {
  if (id > 0xFFFF) return false;
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  std::vector<char> buffer(1024);
  for (;;) {
    int n = ::LoadStringA(instance, id, buffer.data(), static_cast<int>(buffer.size()));
    if (n <= 0) return false;  // missing, or an empty entry
    if (static_cast<size_t>(n) + 1 < buffer.size()) {
      if (text != nullptr) text->assign(buffer.data(), static_cast<size_t>(n));
      return true;
    }
    buffer.resize(buffer.size() * 2);  // the text may have been cut; ask again
  }
}

bool System::EqualNoCase(const std::string& a, const std::string& b) {
  // Case pairs have the same length in the code page; the length test also
  // keeps characters that the comparison ignores from making texts equal.
  if (a.size() != b.size()) return false;
  if (a.empty()) return true;
  return ::CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

}  // namespace win32
}  // namespace svp
