// A simulated Windows NT 4.0 workstation behind the platform interfaces, for
// the native tests: drives and directories with files, attributes, times,
// share modes and version resources; a registry tree; the system, user
// interface, shell and network setup library, each scriptable and recording
// what the program asked of it.  Status numbers are the platform's own.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/memory/memory_dialogs.h"
#include "platform/memory/memory_faults.h"
#include "platform/memory/memory_sheet.h"
#include "platform/platform.h"

namespace svp {

// Called when a test leaves the simulated user unable to answer (a question
// box or a file dialog with nothing scripted).  The test program installs a
// reporter that fails the current test; without one the process aborts.
using MemoryFailureReporter = std::function<void(const std::string& what)>;
void SetMemoryFailureReporter(MemoryFailureReporter reporter);
void ReportMemoryFailure(const std::string& what);

// State the parts of one workstation share.
struct MemoryShared {
  uint32_t lastError = 0;
  bool admin = true;
  FaultPlan faults;
};

// ---------------------------------------------------------------------------
// Files.
struct MemoryVersionResource {
  bool present = true;  // the fixed block exists
  uint32_t fixed[13] = {0xFEEF04BDu, 0x00010000u};
  std::vector<uint32_t> translations;  // each language | code page << 16
  bool hasTranslationBlock = false;
  // "040904b0\\FileVersion" -> "4.0.1.2"; keys compare without case.
  std::map<std::string, std::string> strings;
};

// An operation queued for the next restart of Windows.
struct PendingOperation {
  std::string from;     // full path
  std::string to;       // full path; empty: delete
  bool replace = false;  // a rename that may replace an existing file
};

class MemoryFileSystem : public IFileSystem {
 public:
  explicit MemoryFileSystem(MemoryShared* shared);
  ~MemoryFileSystem() override;

  // IFileSystem.
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

  // Test helpers.  Paths are resolved like the interface's; the helpers
  // create missing drives and parent directories and ignore share modes,
  // attributes and full disks.
  void WriteFile(const std::string& path, const std::string& bytes);
  bool ReadFile(const std::string& path, std::string* bytes);
  std::string ReadFile(const std::string& path);  // empty when missing
  bool Exists(const std::string& path);
  bool IsDirectory(const std::string& path);
  void MakeDirectory(const std::string& path);
  void AddDrive(char letter);
  // Another process holds the file open with read access, sharing read only
  // (a running program or a loaded library).
  void SetInUse(const std::string& path, bool inUse, uint32_t otherShare = kShareRead);
  void SetReadOnly(const std::string& path, bool readOnly);
  // _access reports 13 and opening fails with 5.
  void SetInaccessible(const std::string& path, bool inaccessible);
  void SetDiskFull(char drive, bool full);
  void SetFreeSpace(char drive, uint64_t bytes);
  void SetTotalSpace(char drive, uint64_t bytes);
  void SetVersionResource(const std::string& path, const MemoryVersionResource& resource);
  // Overrides the size that GetFileVersionInfoSize reports (0: the real
  // size), e.g. a size no allocation can satisfy.
  void SetVersionInfoSize(const std::string& path, uint32_t size);
  void SetFileTimes(const std::string& path, FileTime creation, FileTime access, FileTime write);
  bool GetFileTimes(const std::string& path, FileTime* creation, FileTime* access,
                    FileTime* write);
  void SetModuleFileName(const std::string& path);
  void MapNetworkDrive(char letter, const std::string& remote);
  const std::map<char, std::string>& MappedDrives() const { return mapped_; }
  const std::vector<PendingOperation>& PendingOperations() const { return pending_; }
  // Carries out the queued operations in order (a restart of Windows): other
  // programs end, so files are no longer in use.
  void Restart();
  // The program's process has ended, however: its handles close and the
  // next program starts in C:\.
  void EndProcess();
  // Names in a directory (files and directories, sorted without case).
  std::vector<std::string> List(const std::string& directory);
  size_t OpenHandleCount() const { return handles_.size(); }
  // The simulated clock that stamps file times.
  FileTime Now() const;
  void SetClock(FileTime now);
  void AdvanceClock(uint64_t ticks);  // 100-ns units

  struct Node;
  struct Volume;
  struct Handle;

 private:
  struct Lookup;
  bool Fail(uint32_t error);
  uint32_t AttributesOf(const std::string& path);
  bool Resolve(const std::string& path, Lookup* out, bool createMissing = false);
  std::string FullPath(const std::string& path, uint32_t* error) const;
  std::string StorageRoot(const std::string& root) const;
  Handle* FindHandle(FileHandle h);
  bool ShareConflict(const Node* node, uint32_t access, uint32_t share) const;
  std::shared_ptr<Node> NewNode(const std::string& name, bool directory);
  Volume* FindVolume(const std::string& path);
  bool VolumeFull(const Node* node) const;
  std::vector<uint8_t> SerializeVersion(const MemoryVersionResource& r) const;

  MemoryShared* shared_;
  std::map<std::string, std::unique_ptr<Volume>> volumes_;  // key: upper-case root
  std::map<FileHandle, std::unique_ptr<Handle>> handles_;
  FileHandle nextHandle_ = 0x100;
  uint64_t nextIndex_ = 1;
  uint64_t clock_;
  std::string currentDirectory_ = "C:\\";
  std::string moduleFileName_ = "C:\\SV\\KITPURGE.EXE";
  std::map<char, std::string> mapped_;
  std::vector<PendingOperation> pending_;
};

// ---------------------------------------------------------------------------
// Registry.
class MemoryRegistry : public IRegistry {
 public:
  explicit MemoryRegistry(MemoryShared* shared);
  ~MemoryRegistry() override;

  // IRegistry.
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

  // Test helpers; they create keys as needed and ignore access rights.
  // Strings are stored with their terminating NUL, as the program writes them.
  void SetString(RegKey root, const std::string& path, const std::string& name,
                 const std::string& value, uint32_t type = kRegSz);
  void SetDword(RegKey root, const std::string& path, const std::string& name, uint32_t value);
  void SetBinary(RegKey root, const std::string& path, const std::string& name, uint32_t type,
                 const std::string& bytes);
  // The text without the terminating NUL (the stored bytes up to the first NUL).
  bool GetString(RegKey root, const std::string& path, const std::string& name,
                 std::string* value, uint32_t* type = nullptr);
  bool GetDword(RegKey root, const std::string& path, const std::string& name, uint32_t* value);
  // The stored bytes exactly.
  bool GetRaw(RegKey root, const std::string& path, const std::string& name, std::string* bytes,
              uint32_t* type = nullptr);
  bool KeyExists(RegKey root, const std::string& path);
  bool ValueExists(RegKey root, const std::string& path, const std::string& name);
  void CreateKeyPath(RegKey root, const std::string& path);
  void RemoveKeyTree(RegKey root, const std::string& path);
  void RemoveValue(RegKey root, const std::string& path, const std::string& name);
  std::vector<std::string> SubKeys(RegKey root, const std::string& path);  // enumeration order
  std::vector<std::string> ValueNames(RegKey root, const std::string& path);
  // Opening (or deleting) the key fails with 5.
  void DenyAccess(RegKey root, const std::string& path, bool deny);
  size_t OpenKeyCount() const { return handles_.size(); }
  // A restart: volatile keys are gone.
  void Restart();
  // The program's process has ended: its keys close.
  void EndProcess();

  struct Node;

 private:
  struct Handle;
  std::shared_ptr<Node> RootNode(RegKey root) const;
  // The node of a handle: 6 invalid, 1018 deleted.
  uint32_t NodeOf(RegKey key, std::shared_ptr<Node>* node, uint32_t* access) const;
  // The existing key root\subKey: 2 when absent, 161 for a malformed path.
  uint32_t FindKey(RegKey root, const std::string& subKey, std::shared_ptr<Node>* node) const;
  std::shared_ptr<Node> Walk(RegKey root, const std::string& path, bool create);
  RegKey NewHandle(const std::shared_ptr<Node>& node, uint32_t access);

  MemoryShared* shared_;
  std::shared_ptr<Node> hklm_, hkcu_, hku_, hkcr_;
  std::map<RegKey, std::unique_ptr<Handle>> handles_;
  RegKey nextHandle_ = 0x1000;
};

// ---------------------------------------------------------------------------
// System.
class MemorySystem : public ISystem {
 public:
  explicit MemorySystem(MemoryShared* shared);

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
  // Folds the letters of Latin-1 (code page 1252's accented letters too).
  bool EqualNoCase(const std::string& a, const std::string& b) override;

  // Test helpers.
  OsVersion& version() { return version_; }
  void SetAdmin(bool admin) { shared_->admin = admin; }
  void SetShutdownPrivilege(bool granted) { shutdownPrivilege_ = granted; }
  void SetCommandLine(const std::string& args) { commandLine_ = args; }
  void SetEnvironment(const std::string& name, const std::string& value);
  void UnsetEnvironment(const std::string& name);
  // Sets the Windows directory; the system directory follows as
  // <windows>\system32.
  void SetWindowsDirectory(const std::string& path);
  std::vector<std::string>& startedProcesses() { return started_; }
  std::vector<uint32_t>& startedProcessFlags() { return startedFlags_; }
  bool restartRequested() const { return restartCount_ > 0; }
  int restartCount() const { return restartCount_; }
  int settingChangeCount() const { return settingChanges_; }
  // Without the program manager's window nobody hears of the change.
  void SetProgramManagerRunning(bool running) { progman_ = running; }
  void RemoveString(uint32_t id);
  void SetString(uint32_t id, const std::string& text);
  void SetNetworkLookup(std::function<const std::map<char, std::string>&()> mapped) {
    mapped_ = std::move(mapped);
  }

 private:
  MemoryShared* shared_;
  OsVersion version_;
  bool shutdownPrivilege_ = true;
  std::string commandLine_;
  std::map<std::string, std::pair<std::string, std::string>> environment_;  // upper name
  std::string windowsDirectory_ = "C:\\WINNT";
  std::vector<std::string> started_;
  std::vector<uint32_t> startedFlags_;
  int restartCount_ = 0;
  int settingChanges_ = 0;
  bool progman_ = true;
  std::set<uint32_t> removedStrings_;
  std::map<uint32_t, std::string> extraStrings_;
  std::function<const std::map<char, std::string>&()> mapped_;
};

// ---------------------------------------------------------------------------
// User interface.
class MemoryUserInterface : public IUserInterface {
 public:
  struct ShownBox {
    std::string text, caption;
    uint32_t type = 0;
    bool owned = false;
  };

  int MessageBox(const std::string& text, const std::string& caption, uint32_t type,
                 bool owned) override;
  void BeginWaitCursor() override { ++waitDepth_; }
  void EndWaitCursor() override { --waitDepth_; }
  bool GetOpenFileName(const OpenFileRequest& request, std::string* chosen) override;
  void PumpMessages() override;

  // Answers for the next boxes, first in first out.  With none left an OK box
  // answers OK; any other box reports a failure and returns -1.  An answer
  // that is not one of the box's buttons is a failure too.
  void QueueAnswer(int button) { answers_.push_back(button); }
  // Answers every box that has no queued answer (a user who always clicks
  // the same way).
  void SetResponder(std::function<int(const ShownBox&)> responder) {
    responder_ = std::move(responder);
  }
  size_t pendingAnswers() const { return answers_.size(); }
  const std::vector<ShownBox>& boxes() const { return boxes_; }
  void ClearBoxes() { boxes_.clear(); }
  void QueueOpenFileAnswer(bool ok, const std::string& path) {
    fileAnswers_.push_back({ok, path});
  }
  std::vector<OpenFileRequest>& openFileRequests() { return fileRequests_; }
  int waitCursorDepth() const { return waitDepth_; }
  int pumpCount() const { return pumps_; }
  // Runs on every pump, as a user's click would arrive between two steps.
  void SetPumpHook(std::function<void()> hook) { pumpHook_ = std::move(hook); }

 private:
  std::deque<int> answers_;
  std::vector<ShownBox> boxes_;
  std::deque<std::pair<bool, std::string>> fileAnswers_;
  std::vector<OpenFileRequest> fileRequests_;
  int waitDepth_ = 0;
  int pumps_ = 0;
  std::function<void()> pumpHook_;
  std::function<int(const ShownBox&)> responder_;
};

// ---------------------------------------------------------------------------
// Shell.
class MemoryShell : public IShell {
 public:
  explicit MemoryShell(MemoryShared* shared);
  bool GetSpecialFolderPath(int csidl, std::string* path) override;
  void OpenDocument(const std::string& path) override { opened_.push_back(path); }
  void InitializeCom() override { ++comInit_; }
  void UninitializeCom() override { ++comUninit_; }

  // An empty path: the shell cannot name the folder.
  void SetSpecialFolder(int csidl, const std::string& path);
  std::vector<std::string>& openedDocuments() { return opened_; }
  int comInitCount() const { return comInit_; }
  int comUninitCount() const { return comUninit_; }

 private:
  MemoryShared* shared_;
  std::map<int, std::string> folders_;
  std::vector<std::string> opened_;
  int comInit_ = 0;
  int comUninit_ = 0;
};

// ---------------------------------------------------------------------------
// The network setup library.
class MemoryNetSetup : public INetSetup {
 public:
  // The answer of FindSoftwareComponent for an option that is not installed.
  static constexpr uint32_t kNotInstalled = 1207;  // "No match"

  explicit MemoryNetSetup(MemoryShared* shared) : shared_(shared) {}

  uint32_t Load() override;
  void Free() override;
  bool IsLoaded() const override { return loaded_; }
  uint32_t FindSoftwareComponent(const std::string& option, std::string* infName) override;
  uint32_t ComponentRemove(const std::string& option, uint32_t* infResult) override;
  uint32_t ReviewBindings() override;

  // 0, 2 (library missing) or 4 (an entry point missing).
  void SetLoadResult(uint32_t result) { loadResult_ = result; }
  void AddComponent(const std::string& option, const std::string& infName);
  // A non-zero error makes the removal fail and the component stay.
  void SetRemoveError(const std::string& option, uint32_t error);
  bool HasComponent(const std::string& option) const;
  int reviewCount() const { return reviews_; }
  int loadCount() const { return loads_; }
  // One line per call: "<entry point> <option>" ("NetSetupReviewBindings"
  // alone for the review).
  std::vector<std::string>& journal() { return journal_; }

 private:
  struct Component {
    std::string infName;
    uint32_t removeError = 0;
  };
  MemoryShared* shared_;
  uint32_t loadResult_ = 0;
  bool loaded_ = false;
  int loads_ = 0;
  int reviews_ = 0;
  std::map<std::string, Component> components_;  // upper-case option
  std::vector<std::string> journal_;
};

// ---------------------------------------------------------------------------
// The whole workstation.
class MemoryPlatform {
 public:
  MemoryPlatform();
  ~MemoryPlatform();
  MemoryPlatform(const MemoryPlatform&) = delete;
  MemoryPlatform& operator=(const MemoryPlatform&) = delete;

  // Every slot of this workstation, for a ScopedPlatform to install.
  Platform Parts();
  // A restart of Windows: pending file operations, volatile keys.
  void Restart();
  // The program's process has ended, finished or killed: what it held
  // (handles, keys, the network library, its sheet) is released, and the
  // next program starts afresh on what it left of the workstation.  The
  // planned faults and the boxes shown stay for the test to look at.
  void EndProcess();

  MemoryFileSystem& files() { return files_; }
  MemoryRegistry& registry() { return registry_; }
  MemorySystem& system() { return system_; }
  MemoryUserInterface& ui() { return ui_; }
  MemoryShell& shell() { return shell_; }
  MemoryNetSetup& net() { return net_; }
  // Faults planned for this workstation's calls, and their counts.
  FaultPlan& faults() { return shared_.faults; }
  MemorySheetHost& sheets() { return sheets_; }
  MemoryDialogs& dialogs() { return dialogs_; }

 private:
  MemoryShared shared_;
  MemoryFileSystem files_;
  MemoryRegistry registry_;
  MemorySystem system_;
  MemoryUserInterface ui_;
  MemoryShell shell_;
  MemoryNetSetup net_;
  MemorySheetHost sheets_;
  MemoryDialogs dialogs_;
};

// The workstation and its installation in one: tests hold one of these.
class InstalledMemoryPlatform : public MemoryPlatform {
 public:
  InstalledMemoryPlatform() : installed_(Parts()) {}

 private:
  ScopedPlatform installed_;
};

}  // namespace svp
