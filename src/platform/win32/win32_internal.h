// Shared by the Win32 platform's sources only.
#pragma once

#include "platform/win32/win32_api.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace svp {
namespace win32 {

inline HANDLE ToHandle(FileHandle h) { return reinterpret_cast<HANDLE>(h); }

class FileSystem : public IFileSystem {
 public:
  FileHandle CreateFile(const std::string& path, uint32_t access, uint32_t share,
                        uint32_t disposition) override;
  bool ReadFile(FileHandle h, void* buffer, uint32_t count, uint32_t* read) override;
  bool WriteFile(FileHandle h, const void* data, uint32_t count, uint32_t* written) override;
  bool FlushFileBuffers(FileHandle h) override;
  bool SetFilePointer(FileHandle h, uint64_t position) override;
  bool SetEndOfFile(FileHandle h) override;
  bool CloseHandle(FileHandle h) override;
  bool GetFileInformationByHandle(FileHandle h, ByHandleFileInfo* info) override;
  bool SetFileTime(FileHandle h, const FileTime* creation, const FileTime* lastAccess,
                   const FileTime* lastWrite) override;
  bool DeleteFile(const std::string& path) override;
  bool MoveFileEx(const std::string& path, const std::string* newPath, uint32_t flags) override;
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override;
  bool CreateDirectory(const std::string& path) override;
  bool RemoveDirectory(const std::string& path) override;
  uint32_t GetFileAttributes(const std::string& path) override;
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override;
  int AccessExists(const std::string& path) override;
  bool GetDiskFreeSpace(const std::string* root, uint32_t* sectorsPerCluster,
                        uint32_t* bytesPerSector, uint32_t* freeClusters,
                        uint32_t* totalClusters) override;
  uint32_t GetFullPathName(const std::string& path, uint32_t bufferSize,
                           std::string* out) override;
  uint32_t GetShortPathName(const std::string& path, uint32_t bufferSize,
                            std::string* out) override;
  uint32_t GetCurrentDirectory(std::string* out) override;
  bool SetCurrentDirectory(const std::string& path) override;
  uint32_t GetModuleFileName(std::string* out) override;
  uint32_t GetLastError() override;
  void SetLastError(uint32_t error) override;
  bool FormatErrorText(uint32_t error, std::string* text) override;
  uint32_t GetFileVersionInfoSize(const std::string& path) override;
  bool GetFileVersionInfo(const std::string& path, std::vector<uint8_t>* block) override;
  bool VerQueryValue(const std::vector<uint8_t>& block, const std::string& subBlock,
                     std::vector<uint8_t>* value) override;
};

class Registry : public IRegistry {
 public:
  uint32_t OpenKey(RegKey root, const std::string& subKey, uint32_t access, RegKey* out) override;
  uint32_t CreateKey(RegKey root, const std::string& subKey, uint32_t options, uint32_t access,
                     RegKey* out, bool* created) override;
  uint32_t CloseKey(RegKey key) override;
  uint32_t QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                      uint32_t* size) override;
  uint32_t SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override;
  uint32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) override;
  uint32_t EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                     uint8_t* data, uint32_t* dataSize) override;
  uint32_t QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                        uint32_t* maxValueNameLen, uint32_t* maxValueLen) override;
  uint32_t DeleteKey(RegKey root, const std::string& subKey) override;
  uint32_t DeleteValue(RegKey key, const std::string& name) override;
};

class System : public ISystem {
 public:
  bool GetVersionEx(OsVersion* version) override;
  bool IsUserAdmin() override;
  bool RestartWindows() override;
  uint32_t StartProcess(const std::string& applicationName, uint32_t creationFlags) override;
  uint32_t GetWindowsDirectory(std::string* out) override;
  uint32_t GetSystemDirectory(std::string* out) override;
  bool GetEnvironmentVariable(const std::string& name, std::string* value) override;
  uint32_t WNetGetConnection(const std::string& localName, std::string* remoteName) override;
  std::string GetCommandLineArgs() override;
  void NotifyEnvironmentChange() override;
  bool LoadString(uint32_t id, std::string* text) override;
  bool EqualNoCase(const std::string& a, const std::string& b) override;
};

class UserInterface : public IUserInterface {
 public:
  int MessageBox(const std::string& text, const std::string& caption, uint32_t type,
                 bool owned) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  bool GetOpenFileName(const OpenFileRequest& request, std::string* chosen) override;
  void PumpMessages() override;

 private:
  static constexpr DWORD kLookInterval = 10;  // ms
  int waitDepth_ = 0;
  HCURSOR savedCursor_ = nullptr;
  bool queueWasEmpty_ = false;
  DWORD lastLook_ = 0;
};

class Shell : public IShell {
 public:
  bool GetSpecialFolderPath(int csidl, std::string* path) override;
  void OpenDocument(const std::string& path) override;
  void InitializeCom() override;
  void UninitializeCom() override;
};

class NetSetup : public INetSetup {
 public:
  explicit NetSetup(std::string libraryName = "NETCFG.DLL");
  ~NetSetup() override;
  uint32_t Load() override;
  void Free() override;
  bool IsLoaded() const override;
  uint32_t FindSoftwareComponent(const std::string& option, std::string* infName) override;
  uint32_t ComponentRemove(const std::string& option, uint32_t* infResult) override;
  uint32_t ReviewBindings() override;

 private:
  using ReviewBindingsFn = DWORD(WINAPI*)(HWND owner);
  using FindComponentFn = DWORD(WINAPI*)(PCWSTR option, PWSTR infName, PDWORD infSize,
                                         PWSTR regBase, PDWORD regBaseSize);
  using ComponentRemoveFn = DWORD(WINAPI*)(HWND owner, PCWSTR option, DWORD flags,
                                           PDWORD infResult);

  std::string libraryName_;
  HMODULE library_ = nullptr;
  // In the order the library is bound.
  FARPROC entries_[6] = {};
};

// The owner for windows the program opens: the main window while it exists.
HWND OwnerWindow();

}  // namespace win32
}  // namespace svp
