#include "kit/kit.h"

#include "log/svlog.h"
#include "macros/macros.h"
#include "platform/platform.h"
#include "textedit/textedit.h"
#include "textedit/texthelpers.h"

namespace {
const std::string kEmpty;
}

// ---------------------------------------------------------------------------
CSvLocation::CSvLocation(const std::string& path) : path_(path) {}

int CSvLocation::ExpandPath(const CSvMacroList* macros) {
  if (macros == nullptr) return 0;
  std::string expanded;
  // An unterminated reference still leaves the text before it: good enough.
  macros->ExpandMacros(path_.c_str(), expanded, '{', '}');
  path_.swap(expanded);
  return 1;
}

int CSvLocation::MapUncPath() {
  if (path_.size() < 3 || path_[0] != '\\' || path_[1] != '\\') return 1;

  // The share ends at the third backslash.  Without one (nothing after the
  // share) the last character is cut off as the remainder, so no drive
  // matches and the network path is kept: the file phase then simply leaves
  // it uncreated, which is the safe outcome for a path we cannot place.
  size_t cut = path_.size() - 1;
  size_t serverEnd = path_.find('\\', 2);
  if (serverEnd != std::string::npos) {
    size_t shareEnd = path_.find('\\', serverEnd + 1);
    if (shareEnd != std::string::npos) cut = shareEnd;
  }
  const std::string share = path_.substr(0, cut);
  SvLogText("Found UNC Path, Share is %s\r\n", share);

  std::string local;
  std::string remote;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    local.assign(1, letter);
    local.push_back(':');
    remote.clear();
    if (svp::Sys().WNetGetConnection(local, &remote) != 0) continue;
    if (!SvEqualNoCase(remote, share)) continue;
    path_ = local + path_.substr(cut);
    return 1;
  }
  return 0;
}

int CSvLocation::SetPath(const std::string& path) {
  path_ = path;
  return 1;
}

void CSvLocation::AddFile(const CSvFile* file) {
  ++fileCount_;
  bytes_ += file->GetSize();
}

void CSvLocation::RemoveFile(const CSvFile* file) {
  if (fileCount_ > 0) --fileCount_;
  bytes_ -= file->GetSize();
}

// ---------------------------------------------------------------------------
CSvFile::CSvFile(const std::string& sourceName, const std::string& destName,
                 CSvLocation* sourceLocation, CSvLocation* destLocation, CSvGroup* group,
                 uint32_t copyFlags, uint32_t size)
    : sourceName_(sourceName),
      destName_(destName.empty()           ? nullptr
                : destName == sourceName ? &sourceName_
                                         : new std::string(destName)),
      sourceLocation_(sourceLocation),
      destLocation_(destLocation),
      group_(group),
      copyFlags_(copyFlags),
      size_(size) {}

CSvFile::~CSvFile() {
  if (destName_ != &sourceName_) delete destName_;
}

const std::string& CSvFile::Empty() { return kEmpty; }

// ---------------------------------------------------------------------------
CSvGroup::CSvGroup(const std::string& name) : name_(name) {}

CSvGroup::~CSvGroup() {
  for (CSvFile* file = head_; file != nullptr;) {
    CSvFile* next = file->groupNext_;
    delete file;
    file = next;
  }
  head_ = tail_ = nullptr;
  count_ = 0;
}

void CSvGroup::AppendFile(CSvFile* file) {
  file->groupNext_ = nullptr;
  if (tail_ != nullptr) {
    tail_->groupNext_ = file;
  } else {
    head_ = file;
  }
  tail_ = file;
  ++count_;
}

void CSvGroup::PrependFile(CSvFile* file) {
  file->groupNext_ = head_;
  head_ = file;
  if (tail_ == nullptr) tail_ = file;
  ++count_;
}

// ---------------------------------------------------------------------------
CSvShortcut::CSvShortcut(const std::string* fields) {
  for (int i = 0; i < 8; ++i) fields_[i] = fields[i];
}

const std::string& CSvShortcut::GetField(int field) const {
  if (field < 1 || field > 8) return kEmpty;
  return fields_[field - 1];
}

CSvNetComponent::CSvNetComponent(const std::string& option, const std::string& infFile,
                                 const std::string& displayName, const std::string& condition,
                                 uint32_t flags)
    : option_(option),
      infFile_(infFile),
      displayName_(displayName),
      condition_(condition),
      flags_(flags) {}

CSvComponent::CSvComponent(const std::string* fields) {
  for (int i = 0, j = 0; i < 10; ++i) {
    if (i == 3) continue;  // field 4 is not kept
    fields_[j++] = fields[i];
  }
}

const std::string& CSvComponent::GetField(int field) const {
  if (field < 1 || field > 10 || field == 4) return kEmpty;
  return fields_[field < 4 ? field - 1 : field - 2];
}

// ---------------------------------------------------------------------------
CSvKit::CSvKit(CSvWizard* wizard, CSvMacroList* macros, const CSvSwitchList* switches)
    : wizard_(wizard), macros_(macros), switches_(switches) {}

CSvKit::~CSvKit() {
  for (CSvTextEdit* edit : textEdits_) delete edit;
  textEdits_.clear();
  for (CSvNetComponent* component : netComponents_) delete component;
  netComponents_.clear();
  for (CSvComponent* component : transports_) delete component;
  transports_.clear();
  shortcutKeys_.clear();
  for (CSvShortcut* shortcut : shortcuts_) delete shortcut;
  shortcuts_.clear();
  locationIndex_.clear();
  for (CSvLocation* location : locations_) delete location;
  locations_.clear();
  groupIndex_.clear();
  for (CSvGroup* group : groups_) delete group;
  groups_.clear();
  // The selected list only pointed at files the groups owned.
  selectedHead_ = selectedTail_ = nullptr;
  selectedCount_ = 0;
}

CSvGroup* CSvKit::FindGroup(const std::string& name) const {
  auto it = groupIndex_.find(name);
  return it == groupIndex_.end() ? nullptr : it->second;
}

CSvLocation* CSvKit::FindLocation(const std::string& path) const {
  auto it = locationIndex_.find(path);
  return it == locationIndex_.end() ? nullptr : it->second;
}

CSvGroup* CSvKit::FindOrAddGroup(const std::string& name) {
  auto it = groupIndex_.find(name);
  if (it != groupIndex_.end()) return it->second;
  auto* group = new CSvGroup(name);
  groups_.push_back(group);
  groupIndex_.emplace(name, group);
  return group;
}

CSvLocation* CSvKit::FindOrAddLocation(const std::string& path) {
  auto it = locationIndex_.find(path);
  if (it != locationIndex_.end()) return it->second;
  auto* location = new CSvLocation(path);
  locations_.push_back(location);
  locationIndex_.emplace(path, location);
  return location;
}

void CSvKit::AddShortcut(CSvShortcut* shortcut) {
  auto key = shortcutKeys_.find(shortcut->GetKey());
  if (key == shortcutKeys_.end()) {
    shortcuts_.push_back(shortcut);
    shortcutKeys_.emplace(shortcut->GetKey(), std::prev(shortcuts_.end()));
  } else {
    // Later lines of a key stand before the earlier ones.
    key->second = shortcuts_.insert(key->second, shortcut);
  }
}

void CSvKit::AddTransport(CSvComponent* component) {
  if (transports_.empty()) {
    transports_.push_back(component);
  } else {
    transports_.insert(std::next(transports_.begin()), component);
  }
}

uint32_t CSvKit::SelectGroup(const std::string& name) { return ChangeGroupSelection(name, true); }

uint32_t CSvKit::DeselectGroup(const std::string& name) {
  return ChangeGroupSelection(name, false);
}

uint32_t CSvKit::ChangeGroupSelection(const std::string& name, bool select) {
  CSvGroup* group = FindGroup(name);
  if (group == nullptr) return kSvKitNotFound;
  const std::string macro = name + "_GROUP_COPIED";
  if (select) {
    group->AddRef();
    if (group->GetSelectionCount() == 1 && macros_ != nullptr) {
      macros_->AddMacro(macro.c_str(), "TRUE", 0x80000001u);
    }
  } else {
    group->Release();
    if (group->GetSelectionCount() == 0 && macros_ != nullptr) {
      macros_->AddMacro(macro.c_str(), "FALSE", 0x80000001u);
    }
  }
  group->ForEachFile([this, select](CSvFile* file) {
    if (select) {
      AddSelectedFile(file);
    } else {
      RemoveSelectedFile(file);
    }
  });
  return kSvKitOk;
}

uint32_t CSvKit::AddSelectedFile(CSvFile* file) {
  if (file == nullptr) return kSvKitNotFound;
  file->AddRef();
  if (file->listed_) return kSvKitAlreadyPresent;
  file->listed_ = true;
  file->selectedNext_ = nullptr;
  file->selectedPrev_ = selectedTail_;
  if (selectedTail_ != nullptr) {
    selectedTail_->selectedNext_ = file;
  } else {
    selectedHead_ = file;
  }
  selectedTail_ = file;
  ++selectedCount_;
  if (file->destLocation_ != nullptr) file->destLocation_->AddFile(file);
  return kSvKitOk;
}

uint32_t CSvKit::RemoveSelectedFile(CSvFile* file) {
  if (file == nullptr || !file->listed_) return kSvKitNotFound;
  file->Release();
  if (file->selectionCount_ > 0) return kSvKitOk;
  if (file->selectedPrev_ != nullptr) {
    file->selectedPrev_->selectedNext_ = file->selectedNext_;
  } else {
    selectedHead_ = file->selectedNext_;
  }
  if (file->selectedNext_ != nullptr) {
    file->selectedNext_->selectedPrev_ = file->selectedPrev_;
  } else {
    selectedTail_ = file->selectedPrev_;
  }
  file->selectedPrev_ = file->selectedNext_ = nullptr;
  file->listed_ = false;
  --selectedCount_;
  if (file->destLocation_ != nullptr) file->destLocation_->RemoveFile(file);
  return kSvKitOk;
}

// ---------------------------------------------------------------------------
bool IsServerProduct() {
  svp::IRegistry& reg = svp::Reg();
  svp::RegKey key = 0;
  if (reg.OpenKey(svp::kHKeyLocalMachine, "System\\CurrentControlSet\\Control\\ProductOptions",
                  svp::kMaximumAllowed, &key) != 0) {
    return false;
  }
  uint8_t buffer[40] = {};
  uint32_t size = sizeof(buffer);
  uint32_t type = 0;
  uint32_t status = reg.QueryValue(key, "ProductType", &type, buffer, &size);
  reg.CloseKey(key);
  if (status != 0) return false;
  if (size > sizeof(buffer)) size = sizeof(buffer);
  std::string value(reinterpret_cast<const char*>(buffer), size);
  size_t nul = value.find('\0');
  if (nul != std::string::npos) value.resize(nul);
  return value == "ServerNT" || value == "LanmanNT";
}
