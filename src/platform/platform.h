// The operating system as the portable core sees it.
//
// Every call the core makes to files, registry, system, user interface, shell
// or the network setup library goes through one of the interfaces below.  They
// mirror the Win32 "A" calls closely (same arguments, same status numbers) so
// that the core's logic reads like the real thing and the Win32 implementation
// stays a thin layer.  Texts are byte strings in the system code page.
//
// Two implementations exist: platform/win32 (the real one, used by
// KITPURGE.EXE) and platform/memory (a simulated workstation for native tests).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The members below carry the plain names of the Win32 calls they stand for,
// which <windows.h> turns into macros (CreateFile into CreateFileA).  A file
// that saw those macros first would give these classes other members than
// every other file does; such a file includes platform/win32/win32_api.h,
// which undoes them, instead of <windows.h>.
#if defined(CreateFile) || defined(DeleteFile) || defined(MoveFileEx) || defined(CopyFile) ||  \
    defined(CreateDirectory) || defined(RemoveDirectory) || defined(GetFileAttributes) ||       \
    defined(SetFileAttributes) || defined(GetDiskFreeSpace) || defined(GetFullPathName) ||      \
    defined(GetShortPathName) || defined(GetCurrentDirectory) ||                                \
    defined(SetCurrentDirectory) || defined(GetModuleFileName) ||                               \
    defined(GetFileVersionInfoSize) || defined(GetFileVersionInfo) || defined(VerQueryValue) || \
    defined(GetVersionEx) || defined(GetWindowsDirectory) || defined(GetSystemDirectory) ||     \
    defined(GetEnvironmentVariable) || defined(WNetGetConnection) || defined(LoadString) ||     \
    defined(MessageBox) || defined(GetOpenFileName)
#error "<windows.h> name macros are defined: include platform/win32/win32_api.h instead"
#endif

namespace svp {

// ---------------------------------------------------------------------------
// Status numbers (the platform's error numbers, used as plain integers).
enum : uint32_t {
  kErrSuccess = 0,
  kErrFileNotFound = 2,
  kErrPathNotFound = 3,
  kErrAccessDenied = 5,
  kErrInvalidHandle = 6,
  kErrNotEnoughMemory = 8,
  kErrSharingViolation = 32,
  kErrDiskFull = 112,
  kErrFileExists = 80,
  kErrInvalidParameter = 87,
  kErrInsufficientBuffer = 122,
  kErrDirNotEmpty = 145,
  kErrBadPathName = 161,
  kErrAlreadyExists = 183,
  kErrMoreData = 234,
  kErrNoMoreItems = 259,
  kErrBadKey = 1010,
  kErrKeyDeleted = 1018,
  kErrNotConnected = 2250,
};

// ---------------------------------------------------------------------------
// Files and directories.
using FileHandle = intptr_t;
constexpr FileHandle kInvalidFile = -1;

enum : uint32_t { kGenericRead = 0x80000000u, kGenericWrite = 0x40000000u };
enum : uint32_t { kShareRead = 1, kShareWrite = 2, kShareDelete = 4 };
enum : uint32_t {
  kCreateNew = 1,
  kCreateAlways = 2,
  kOpenExisting = 3,
  kOpenAlways = 4,
  kTruncateExisting = 5
};
enum : uint32_t {
  kAttrReadOnly = 0x1,
  kAttrHidden = 0x2,
  kAttrSystem = 0x4,
  kAttrDirectory = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
};
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFFu;
enum : uint32_t { kMoveReplaceExisting = 1, kMoveCopyAllowed = 2, kMoveDelayUntilReboot = 4 };

struct FileTime {
  uint32_t low = 0;
  uint32_t high = 0;
};

// Field order of the platform's by-handle file information.
struct ByHandleFileInfo {
  uint32_t attributes = 0;
  FileTime creation;
  FileTime lastAccess;
  FileTime lastWrite;
  uint32_t volumeSerial = 0;
  uint32_t sizeHigh = 0;
  uint32_t sizeLow = 0;
  uint32_t links = 0;
  uint32_t indexHigh = 0;
  uint32_t indexLow = 0;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  // CreateFileA.  On failure returns kInvalidFile and sets the last error.
  virtual FileHandle CreateFile(const std::string& path, uint32_t access, uint32_t share,
                                uint32_t disposition) = 0;
  virtual bool ReadFile(FileHandle h, void* buffer, uint32_t count, uint32_t* read) = 0;
  virtual bool WriteFile(FileHandle h, const void* data, uint32_t count, uint32_t* written) = 0;
  virtual bool FlushFileBuffers(FileHandle h) = 0;
  // Moves the file pointer to an absolute position.
  virtual bool SetFilePointer(FileHandle h, uint64_t position) = 0;
  // SetEndOfFile at the current position.
  virtual bool SetEndOfFile(FileHandle h) = 0;
  virtual bool CloseHandle(FileHandle h) = 0;
  virtual bool GetFileInformationByHandle(FileHandle h, ByHandleFileInfo* info) = 0;
  // SetFileTime on an open handle; a null time leaves that time alone.
  virtual bool SetFileTime(FileHandle h, const FileTime* creation, const FileTime* lastAccess,
                           const FileTime* lastWrite) = 0;

  virtual bool DeleteFile(const std::string& path) = 0;
  // MoveFileExA; newPath null means "delete" (with kMoveDelayUntilReboot: at restart).
  virtual bool MoveFileEx(const std::string& path, const std::string* newPath, uint32_t flags) = 0;
  virtual bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) = 0;
  virtual bool CreateDirectory(const std::string& path) = 0;
  virtual bool RemoveDirectory(const std::string& path) = 0;
  virtual uint32_t GetFileAttributes(const std::string& path) = 0;  // kInvalidAttributes on failure
  virtual bool SetFileAttributes(const std::string& path, uint32_t attributes) = 0;

  // The C runtime's _access(path, 0): 0 when the path exists, otherwise the
  // runtime's errno (2 no such file or directory, 13 permission denied, ...).
  virtual int AccessExists(const std::string& path) = 0;

  // GetDiskFreeSpaceA; root null means the current directory's drive.
  virtual bool GetDiskFreeSpace(const std::string* root, uint32_t* sectorsPerCluster,
                                uint32_t* bytesPerSector, uint32_t* freeClusters,
                                uint32_t* totalClusters) = 0;

  // GetFullPathNameA with a buffer of bufferSize characters: returns the
  // length written (out set) or, when it does not fit, the size needed
  // (out unchanged); 0 on failure.
  virtual uint32_t GetFullPathName(const std::string& path, uint32_t bufferSize,
                                   std::string* out) = 0;
  // GetShortPathNameA, same return convention.
  virtual uint32_t GetShortPathName(const std::string& path, uint32_t bufferSize,
                                    std::string* out) = 0;
  virtual uint32_t GetCurrentDirectory(std::string* out) = 0;  // length, 0 on failure
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual uint32_t GetModuleFileName(std::string* out) = 0;  // length, 0 on failure

  // Thread's last error.
  virtual uint32_t GetLastError() = 0;
  virtual void SetLastError(uint32_t error) = 0;
  // FormatMessageA from the system message table, user's default language.
  virtual bool FormatErrorText(uint32_t error, std::string* text) = 0;

  // Version resources: GetFileVersionInfoSizeA, GetFileVersionInfoA and
  // VerQueryValueA.  The block is opaque to the core; Query copies the bytes
  // of the sub-block (for string values: the text without its NUL).
  virtual uint32_t GetFileVersionInfoSize(const std::string& path) = 0;
  virtual bool GetFileVersionInfo(const std::string& path, std::vector<uint8_t>* block) = 0;
  virtual bool VerQueryValue(const std::vector<uint8_t>& block, const std::string& subBlock,
                             std::vector<uint8_t>* value) = 0;
};

// ---------------------------------------------------------------------------
// Registry.
using RegKey = uintptr_t;
constexpr RegKey kHKeyClassesRoot = 0x80000000u;
constexpr RegKey kHKeyCurrentUser = 0x80000001u;
constexpr RegKey kHKeyLocalMachine = 0x80000002u;
constexpr RegKey kHKeyUsers = 0x80000003u;

enum : uint32_t {
  kKeyQueryValue = 0x0001,
  kKeySetValue = 0x0002,
  kKeyCreateSubKey = 0x0004,
  kKeyEnumerateSubKeys = 0x0008,
  kKeyNotify = 0x0010,
  kKeyCreateLink = 0x0020,
  kDelete = 0x00010000,
  kKeyRead = 0x00020019,
  kKeyWrite = 0x00020006,
  kKeyAllAccess = 0x000F003F,
  kMaximumAllowed = 0x02000000,
};
enum : uint32_t { kRegNone = 0, kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4, kRegMultiSz = 7 };
enum : uint32_t { kRegOptionNonVolatile = 0, kRegOptionVolatile = 1 };

// Each call returns the platform's registry status (0 success).
class IRegistry {
 public:
  virtual ~IRegistry() = default;
  virtual uint32_t OpenKey(RegKey root, const std::string& subKey, uint32_t access, RegKey* out) = 0;
  virtual uint32_t CreateKey(RegKey root, const std::string& subKey, uint32_t options,
                             uint32_t access, RegKey* out, bool* created) = 0;
  virtual uint32_t CloseKey(RegKey key) = 0;
  // RegQueryValueExA: data may be null to ask the size; *size is the buffer
  // size in and the bytes stored (or needed, with 234) out.
  virtual uint32_t QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                              uint32_t* size) = 0;
  virtual uint32_t SetValue(RegKey key, const std::string& name, uint32_t type,
                            const uint8_t* data, uint32_t size) = 0;
  // RegEnumKeyExA with a name buffer of *nameSize characters (in: buffer size
  // including the NUL; out: name length).
  virtual uint32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) = 0;
  virtual uint32_t EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize,
                             uint32_t* type, uint8_t* data, uint32_t* dataSize) = 0;
  // RegQueryInfoKeyA, the counts the core uses.
  virtual uint32_t QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                                uint32_t* values, uint32_t* maxValueNameLen,
                                uint32_t* maxValueLen) = 0;
  // RegDeleteKeyA: fails when the key still has sub-keys.
  virtual uint32_t DeleteKey(RegKey root, const std::string& subKey) = 0;
  virtual uint32_t DeleteValue(RegKey key, const std::string& name) = 0;
};

// ---------------------------------------------------------------------------
// System.
struct OsVersion {
  uint32_t size = 148;  // the version record's size field
  uint32_t major = 0;
  uint32_t minor = 0;
  uint32_t build = 0;
  uint32_t platformId = 0;
  std::string csdVersion;
};

struct StartupInfo {
  uint32_t cb = 68;  // size of the start-up record
};

class ISystem {
 public:
  virtual ~ISystem() = default;
  virtual bool GetVersionEx(OsVersion* version) = 0;
  // The process token lists the local Administrators group.
  virtual bool IsUserAdmin() = 0;
  // Opens the process token (0x28), enables "SeShutdownPrivilege" and, when
  // the thread's last error is 0 afterwards, calls ExitWindowsEx(EWX_REBOOT).
  // Returns whether the restart was requested.
  virtual bool RestartWindows() = 0;
  // CreateProcessA(name, no command line, no inherited handles, flags,
  // default environment and directory, 68-byte start-up record); both handles
  // are closed at once.  Returns 0 or the last error.
  virtual uint32_t StartProcess(const std::string& applicationName, uint32_t creationFlags) = 0;
  virtual uint32_t GetWindowsDirectory(std::string* out) = 0;  // length, 0 on failure
  virtual uint32_t GetSystemDirectory(std::string* out) = 0;
  virtual bool GetEnvironmentVariable(const std::string& name, std::string* value) = 0;
  // WNetGetConnectionA: 0 and the remote name, or the status.
  virtual uint32_t WNetGetConnection(const std::string& localName, std::string* remoteName) = 0;
  // The command line after the program name, as the platform gives it.
  virtual std::string GetCommandLineArgs() = 0;
  // FindWindowA("Progman") + SendMessage(WM_SETTINGCHANGE, 0, "Environment").
  virtual void NotifyEnvironmentChange() = 0;
  // String table entry; false when missing (an empty entry counts as missing).
  virtual bool LoadString(uint32_t id, std::string* text) = 0;
  // CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE) on texts of the
  // same length: whether they are equal once case is ignored in the system
  // code page, accented letters included.
  virtual bool EqualNoCase(const std::string& a, const std::string& b) = 0;
};

// ---------------------------------------------------------------------------
// User interface.
enum : int { kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7 };
enum : uint32_t {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbAbortRetryIgnore = 0x2,
  kMbYesNo = 0x4,
  kMbIconStop = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconExclamation = 0x30,
};

struct OpenFileRequest {
  std::string title;             // empty: the platform's default
  std::string initialDirectory;  // empty: current directory
  std::string fileName;          // proposed name
  std::string defaultExtension;
  // Filter pairs (description, pattern); empty: no filter.
  std::vector<std::pair<std::string, std::string>> filters;
  uint32_t flags = 0;  // OFN_* option bits
  // A dialog template of the program's (0: none).  The directory chooser is
  // built from it; other dialogs stay the system's own.
  uint32_t templateId = 0;
  bool owned = true;        // owned by the main window
  uintptr_t owner = 0;      // or by this window of the caller's (a page)
  // Pick a directory (the directory chooser): the answer is a path inside
  // it, the caller keeps the part before the last backslash.
  bool directoryOnly = false;
};
enum : uint32_t { kOfnReadOnly = 0x1, kOfnOverwritePrompt = 0x2, kOfnHideReadOnly = 0x4 };

class IUserInterface {
 public:
  virtual ~IUserInterface() = default;
  // Message box with caption and style; owned: modal to the main window.
  // Returns the button pressed (kIdOk ...) or -1 when it could not be shown.
  virtual int MessageBox(const std::string& text, const std::string& caption, uint32_t type,
                         bool owned) = 0;
  virtual void BeginWaitCursor() = 0;
  virtual void EndWaitCursor() = 0;
  // The system's file-open dialog; true and the chosen full path on OK.
  virtual bool GetOpenFileName(const OpenFileRequest& request, std::string* chosen) = 0;
  // Lets the user interface catch up: drains the thread's message queue,
  // then runs idle processing.
  virtual void PumpMessages() = 0;
};

// ---------------------------------------------------------------------------
// Shell.
enum : int { kCsidlDesktop = 0x0000, kCsidlCommonPrograms = 0x0017 };

class IShell {
 public:
  virtual ~IShell() = default;
  // Path of a special folder (no trailing backslash); false when the shell
  // cannot name it.
  virtual bool GetSpecialFolderPath(int csidl, std::string* path) = 0;
  // ShellExecuteA(desktop window, "open", path, no parameters, "", SW_SHOW).
  virtual void OpenDocument(const std::string& path) = 0;
  virtual void InitializeCom() = 0;
  virtual void UninitializeCom() = 0;
};

// ---------------------------------------------------------------------------
// The network setup library "NETCFG.DLL", bound at run time.
class INetSetup {
 public:
  virtual ~INetSetup() = default;
  // Loads the library and binds its six entry points: 0, 2 not loadable,
  // 4 an entry point missing.
  virtual uint32_t Load() = 0;
  virtual void Free() = 0;
  virtual bool IsLoaded() const = 0;
  // NetSetupFindSoftwareComponent(option, inf buffer of 260, size 260, null, null).
  virtual uint32_t FindSoftwareComponent(const std::string& option, std::string* infName) = 0;
  // NetSetupComponentRemove(main window, option, 3, &infResult).
  virtual uint32_t ComponentRemove(const std::string& option, uint32_t* infResult) = 0;
  // NetSetupReviewBindings(main window).
  virtual uint32_t ReviewBindings() = 0;
};

// ---------------------------------------------------------------------------
// Declared in their own headers: the wizard's property sheet (sheet.h) and the
// program's own modal dialogs (dialogs.h).
class ISheetHost;
class IDialogs;

// ---------------------------------------------------------------------------
// The platform of the process.  main() (or a test) installs one with a
// ScopedPlatform; the core reaches it through Get().
struct Platform {
  IFileSystem* fs = nullptr;
  IRegistry* reg = nullptr;
  ISystem* sys = nullptr;
  IUserInterface* ui = nullptr;
  IShell* shell = nullptr;
  INetSetup* net = nullptr;
  ISheetHost* sheets = nullptr;
  IDialogs* dialogs = nullptr;
};

const Platform& Get();

// What one run of the program remembers between file operations: the "No to
// all" answer of the version-conflict dialog.  Each installed platform starts
// a run of its own, so nothing carries over from one test to the next.
struct RunState {
  bool noToAll = false;
};
RunState& Run();

// Installs every slot of a platform for its lifetime, with a fresh run state,
// and puts back the platform and run state it replaced.
class ScopedPlatform {
 public:
  explicit ScopedPlatform(const Platform& platform);
  ~ScopedPlatform();
  ScopedPlatform(const ScopedPlatform&) = delete;
  ScopedPlatform& operator=(const ScopedPlatform&) = delete;

 private:
  Platform previous_;
  RunState previousRun_;
};

inline IFileSystem& Fs() { return *Get().fs; }
inline IRegistry& Reg() { return *Get().reg; }
inline ISystem& Sys() { return *Get().sys; }
inline IUserInterface& Ui() { return *Get().ui; }
inline IShell& Shell() { return *Get().shell; }
inline INetSetup& Net() { return *Get().net; }

}  // namespace svp
