#include "platform/memory/memory_platform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/memory/memory_internal.h"
#include "res/stringtable.h"

namespace svp {

namespace {
MemoryFailureReporter& Reporter() {
  static MemoryFailureReporter reporter;
  return reporter;
}

constexpr uint32_t kErrNotAllAssigned = 1300;
constexpr uint32_t kErrBadDevice = 1200;

// The buttons a box of this style has.
bool IsButtonOf(uint32_t type, int button) {
  switch (type & 0xF) {
    case 0:
      return button == kIdOk;
    case 1:
      return button == kIdOk || button == kIdCancel;
    case 2:
      return button == kIdAbort || button == kIdRetry || button == kIdIgnore;
    case 3:
      return button == kIdYes || button == kIdNo || button == kIdCancel;
    case 4:
      return button == kIdYes || button == kIdNo;
    case 5:
      return button == kIdRetry || button == kIdCancel;
    default:
      return false;
  }
}
}  // namespace

void SetMemoryFailureReporter(MemoryFailureReporter reporter) { Reporter() = std::move(reporter); }

void ReportMemoryFailure(const std::string& what) {
  if (Reporter()) {
    Reporter()(what);
    return;
  }
  std::fprintf(stderr, "simulated workstation: %s\n", what.c_str());
  std::abort();
}

// ---------------------------------------------------------------------------
// System.

MemorySystem::MemorySystem(MemoryShared* shared) : shared_(shared) {
  version_.major = 4;
  version_.minor = 0;
  version_.build = 1381;
  version_.platformId = 2;
  version_.csdVersion = "Service Pack 6";
  const char* defaults[][2] = {
      {"COMPUTERNAME", "WORKSTATION"},      {"ComSpec", "C:\\WINNT\\system32\\cmd.exe"},
      {"OS", "Windows_NT"},                 {"Path", "C:\\WINNT\\system32;C:\\WINNT"},
      {"SystemDrive", "C:"},                {"SystemRoot", "C:\\WINNT"},
      {"TEMP", "C:\\TEMP"},                 {"TMP", "C:\\TEMP"},
      {"USERNAME", "Administrator"},        {"windir", "C:\\WINNT"},
  };
  for (const auto& d : defaults) SetEnvironment(d[0], d[1]);
}

bool MemorySystem::GetVersionEx(OsVersion* version) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetVersionEx)) {
    shared_->lastError = e;
    return false;
  }
  // The record's size field must name one of the two record layouts.
  if (version->size != 148 && version->size != 156) {
    shared_->lastError = kErrInsufficientBuffer;
    return false;
  }
  uint32_t size = version->size;
  *version = version_;
  version->size = size;
  return true;
}

bool MemorySystem::IsUserAdmin() { return shared_->admin; }

bool MemorySystem::RestartWindows() {
  if (uint32_t e = shared_->faults.Check(MemoryCall::RestartWindows)) {
    shared_->lastError = e;
    return false;
  }
  if (!shutdownPrivilege_) {
    // The privilege adjustment "succeeds" but assigns nothing.
    shared_->lastError = kErrNotAllAssigned;
    return false;
  }
  shared_->lastError = 0;
  ++restartCount_;
  return true;
}

uint32_t MemorySystem::StartProcess(const std::string& applicationName, uint32_t creationFlags) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::StartProcess)) {
    shared_->lastError = e;
    return e;
  }
  started_.push_back(applicationName);
  startedFlags_.push_back(creationFlags);
  return 0;
}

uint32_t MemorySystem::GetWindowsDirectory(std::string* out) {
  *out = windowsDirectory_;
  return static_cast<uint32_t>(out->size());
}

uint32_t MemorySystem::GetSystemDirectory(std::string* out) {
  *out = windowsDirectory_ + "\\system32";
  return static_cast<uint32_t>(out->size());
}

void MemorySystem::SetWindowsDirectory(const std::string& path) {
  windowsDirectory_ = path;
  if (!windowsDirectory_.empty() && windowsDirectory_.back() == '\\' &&
      windowsDirectory_.size() > 3) {
    windowsDirectory_.pop_back();
  }
}

void MemorySystem::SetEnvironment(const std::string& name, const std::string& value) {
  environment_[Upper(name)] = {name, value};
}

void MemorySystem::UnsetEnvironment(const std::string& name) { environment_.erase(Upper(name)); }

bool MemorySystem::GetEnvironmentVariable(const std::string& name, std::string* value) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetEnvironmentVariable)) {
    shared_->lastError = e;
    return false;
  }
  auto it = environment_.find(Upper(name));
  if (it == environment_.end()) {
    shared_->lastError = 203;  // ERROR_ENVVAR_NOT_FOUND
    return false;
  }
  *value = it->second.second;
  return true;
}

uint32_t MemorySystem::WNetGetConnection(const std::string& localName, std::string* remoteName) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::WNetGetConnection)) return e;
  if (localName.size() != 2 || localName[1] != ':' ||
      !std::isalpha(static_cast<unsigned char>(localName[0]))) {
    return kErrBadDevice;
  }
  if (mapped_) {
    const auto& drives = mapped_();
    auto it = drives.find(static_cast<char>(std::toupper(static_cast<unsigned char>(localName[0]))));
    if (it != drives.end()) {
      *remoteName = it->second;
      return 0;
    }
  }
  return kErrNotConnected;
}

std::string MemorySystem::GetCommandLineArgs() { return commandLine_; }

void MemorySystem::NotifyEnvironmentChange() {
  if (progman_) ++settingChanges_;
}

bool MemorySystem::LoadString(uint32_t id, std::string* text) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::LoadString)) {
    shared_->lastError = e;
    return false;
  }
  if (removedStrings_.count(id)) return false;
  auto extra = extraStrings_.find(id);
  if (extra != extraStrings_.end()) {
    if (extra->second.empty()) return false;
    *text = extra->second;
    return true;
  }
  size_t count = 0;
  const SvStringEntry* table = SvStringTable(&count);
  for (size_t i = 0; i < count; ++i) {
    if (table[i].id == id) {
      if (table[i].text == nullptr || table[i].text[0] == '\0') return false;
      *text = table[i].text;
      return true;
    }
  }
  return false;
}

bool MemorySystem::EqualNoCase(const std::string& a, const std::string& b) {
  auto fold = [](unsigned char c) {
    // A-Z and the Latin-1 capitals À-Þ (without the multiplication sign).
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    return static_cast<int>(c);
  };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

void MemorySystem::RemoveString(uint32_t id) { removedStrings_.insert(id); }

void MemorySystem::SetString(uint32_t id, const std::string& text) {
  removedStrings_.erase(id);
  extraStrings_[id] = text;
}

// ---------------------------------------------------------------------------
// User interface.

int MemoryUserInterface::MessageBox(const std::string& text, const std::string& caption,
                                    uint32_t type, bool owned) {
  boxes_.push_back({text, caption, type, owned});
  if (answers_.empty() && responder_) answers_.push_back(responder_(boxes_.back()));
  if (answers_.empty()) {
    if ((type & 0xF) == kMbOk) return kIdOk;
    ReportMemoryFailure("a message box that needs an answer has none scripted: " + text);
    return -1;
  }
  int answer = answers_.front();
  answers_.pop_front();
  if (!IsButtonOf(type, answer)) {
    ReportMemoryFailure("the scripted answer " + std::to_string(answer) +
                        " is not a button of the box (type " + std::to_string(type) +
                        "): " + text);
  }
  return answer;
}

bool MemoryUserInterface::GetOpenFileName(const OpenFileRequest& request, std::string* chosen) {
  fileRequests_.push_back(request);
  if (fileAnswers_.empty()) {
    ReportMemoryFailure("a file dialog was opened with no scripted answer");
    return false;
  }
  auto answer = fileAnswers_.front();
  fileAnswers_.pop_front();
  if (answer.first) *chosen = answer.second;
  return answer.first;
}

void MemoryUserInterface::PumpMessages() {
  ++pumps_;
  if (pumpHook_) pumpHook_();
}

// ---------------------------------------------------------------------------
// Shell.

MemoryShell::MemoryShell(MemoryShared* shared) : shared_(shared) {
  folders_[kCsidlCommonPrograms] = "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs";
  folders_[kCsidlDesktop] = "C:\\WINNT\\Profiles\\Administrator\\Desktop";
}

bool MemoryShell::GetSpecialFolderPath(int csidl, std::string* path) {
  if (shared_->faults.Check(MemoryCall::GetSpecialFolderPath)) return false;
  auto it = folders_.find(csidl);
  if (it == folders_.end()) return false;
  *path = it->second;
  return true;
}

void MemoryShell::SetSpecialFolder(int csidl, const std::string& path) {
  if (path.empty()) {
    folders_.erase(csidl);
  } else {
    folders_[csidl] = path;
  }
}

// ---------------------------------------------------------------------------
// Network setup library.

uint32_t MemoryNetSetup::Load() {
  ++loads_;
  if (uint32_t e = shared_->faults.Check(MemoryCall::Load)) {
    loaded_ = false;
    return e;
  }
  loaded_ = loadResult_ == 0;
  return loadResult_;
}

void MemoryNetSetup::Free() { loaded_ = false; }

uint32_t MemoryNetSetup::FindSoftwareComponent(const std::string& option, std::string* infName) {
  journal_.push_back("NetSetupFindSoftwareComponent " + option);
  if (uint32_t e = shared_->faults.Check(MemoryCall::FindSoftwareComponent)) return e;
  auto it = components_.find(Upper(option));
  if (it == components_.end()) return kNotInstalled;
  *infName = it->second.infName;
  return 0;
}

uint32_t MemoryNetSetup::ComponentRemove(const std::string& option, uint32_t* infResult) {
  journal_.push_back("NetSetupComponentRemove " + option);
  if (infResult) *infResult = 0;
  if (uint32_t e = shared_->faults.Check(MemoryCall::ComponentRemove)) return e;
  auto it = components_.find(Upper(option));
  if (it == components_.end()) return kNotInstalled;
  if (it->second.removeError != 0) return it->second.removeError;
  components_.erase(it);
  return 0;
}

uint32_t MemoryNetSetup::ReviewBindings() {
  journal_.push_back("NetSetupReviewBindings");
  if (uint32_t e = shared_->faults.Check(MemoryCall::ReviewBindings)) return e;
  ++reviews_;
  return 0;
}

void MemoryNetSetup::AddComponent(const std::string& option, const std::string& infName) {
  components_[Upper(option)].infName = infName;
}

void MemoryNetSetup::SetRemoveError(const std::string& option, uint32_t error) {
  auto it = components_.find(Upper(option));
  if (it != components_.end()) it->second.removeError = error;
}

bool MemoryNetSetup::HasComponent(const std::string& option) const {
  return components_.count(Upper(option)) != 0;
}

// ---------------------------------------------------------------------------
// The workstation.

MemoryPlatform::MemoryPlatform()
    : files_(&shared_), registry_(&shared_), system_(&shared_), shell_(&shared_), net_(&shared_) {
  system_.SetNetworkLookup([this]() -> const std::map<char, std::string>& {
    return files_.MappedDrives();
  });
}

MemoryPlatform::~MemoryPlatform() = default;

Platform MemoryPlatform::Parts() {
  Platform p;
  p.fs = &files_;
  p.reg = &registry_;
  p.sys = &system_;
  p.ui = &ui_;
  p.shell = &shell_;
  p.net = &net_;
  p.sheets = &sheets_;
  p.dialogs = &dialogs_;
  return p;
}

void MemoryPlatform::Restart() {
  files_.Restart();
  registry_.Restart();
}

void MemoryPlatform::EndProcess() {
  files_.EndProcess();
  registry_.EndProcess();
  net_.Free();
  sheets_ = MemorySheetHost();
  shared_.lastError = 0;
}

}  // namespace svp
