#include <algorithm>
#include <cstring>

#include "platform/memory/memory_internal.h"
#include "platform/memory/memory_platform.h"

namespace svp {

namespace {
constexpr uint32_t kErrChildMustBeVolatile = 1021;
constexpr uint32_t kErrNoAccess = 998;

bool IsPredefined(RegKey key) {
  return key == kHKeyClassesRoot || key == kHKeyCurrentUser || key == kHKeyLocalMachine ||
         key == kHKeyUsers;
}

uint32_t Granted(uint32_t access) {
  return (access & kMaximumAllowed) ? static_cast<uint32_t>(kKeyAllAccess) : access;
}

// Key path components; a leading backslash is a bad path, doubled or
// trailing ones are passed over.
bool SplitKeyPath(const std::string& path, std::vector<std::string>* parts) {
  parts->clear();
  if (!path.empty() && path[0] == '\\') return false;
  size_t start = 0;
  while (start < path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    if (end > start) parts->push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return true;
}
}  // namespace

struct MemoryRegistry::Node {
  struct Value {
    std::string name;
    uint32_t type = kRegNone;
    std::vector<uint8_t> data;
  };
  std::string name;
  Node* parent = nullptr;
  // Sub-keys enumerate in the order of their upper-case names, as the
  // system keeps them; values in the order they were first written.
  std::map<std::string, std::shared_ptr<Node>> subkeys;
  std::vector<Value> values;
  bool deleted = false;
  bool denied = false;
  bool isVolatile = false;
  bool predefined = false;

  Value* FindValue(const std::string& valueName) {
    for (auto& v : values) {
      if (EqualNoCase(v.name, valueName)) return &v;
    }
    return nullptr;
  }
  std::shared_ptr<Node> Child(const std::string& childName) const {
    auto it = subkeys.find(Upper(childName));
    return it == subkeys.end() ? nullptr : it->second;
  }
  std::shared_ptr<Node> AddChild(const std::string& childName) {
    auto n = std::make_shared<Node>();
    n->name = childName;
    n->parent = this;
    subkeys[Upper(childName)] = n;
    return n;
  }
};

struct MemoryRegistry::Handle {
  std::shared_ptr<Node> node;
  uint32_t access = 0;
};

MemoryRegistry::MemoryRegistry(MemoryShared* shared) : shared_(shared) {
  hklm_ = std::make_shared<Node>();
  hklm_->name = "HKEY_LOCAL_MACHINE";
  hkcu_ = std::make_shared<Node>();
  hkcu_->name = "HKEY_CURRENT_USER";
  hku_ = std::make_shared<Node>();
  hku_->name = "HKEY_USERS";
  for (auto* n : {&hklm_, &hkcu_, &hku_}) (*n)->predefined = true;

  // A fresh workstation's skeleton.  Only what a program may count on is
  // here: no environment Path, no network cards, no services of our own;
  // tests add those as their cases need.
  CreateKeyPath(kHKeyLocalMachine, "SOFTWARE\\Classes");
  hkcr_ = Walk(kHKeyLocalMachine, "SOFTWARE\\Classes", false);
  CreateKeyPath(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
  SetString(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
            "CurrentVersion", "4.0");
  SetString(kHKeyLocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
            "CurrentBuildNumber", "1381");
  SetString(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions",
            "ProductType", "WinNT");
  CreateKeyPath(kHKeyLocalMachine,
                "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment");
  CreateKeyPath(kHKeyLocalMachine, "SYSTEM\\CurrentControlSet\\Services");
  CreateKeyPath(kHKeyCurrentUser, "Software");
  CreateKeyPath(kHKeyCurrentUser, "Environment");
  CreateKeyPath(kHKeyUsers, ".DEFAULT\\Software");
}

MemoryRegistry::~MemoryRegistry() = default;

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::RootNode(RegKey root) const {
  switch (root) {
    case kHKeyLocalMachine:
      return hklm_;
    case kHKeyCurrentUser:
      return hkcu_;
    case kHKeyUsers:
      return hku_;
    case kHKeyClassesRoot:
      return hkcr_;
    default:
      return nullptr;
  }
}

uint32_t MemoryRegistry::NodeOf(RegKey key, std::shared_ptr<Node>* node, uint32_t* access) const {
  if (IsPredefined(key)) {
    *node = RootNode(key);
    *access = kKeyAllAccess;
    return *node ? 0u : static_cast<uint32_t>(kErrInvalidHandle);
  }
  auto it = handles_.find(key);
  if (it == handles_.end()) return kErrInvalidHandle;
  if (it->second->node->deleted) return kErrKeyDeleted;
  *node = it->second->node;
  *access = it->second->access;
  return 0;
}

uint32_t MemoryRegistry::FindKey(RegKey root, const std::string& subKey,
                                 std::shared_ptr<Node>* found) const {
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(root, &node, &granted)) return status;
  std::vector<std::string> parts;
  if (!SplitKeyPath(subKey, &parts)) return kErrBadPathName;
  for (const auto& p : parts) {
    node = node->Child(p);
    if (!node) return kErrFileNotFound;
  }
  *found = node;
  return 0;
}

RegKey MemoryRegistry::NewHandle(const std::shared_ptr<Node>& node, uint32_t access) {
  auto h = std::make_unique<Handle>();
  h->node = node;
  h->access = Granted(access);
  RegKey id = nextHandle_;
  nextHandle_ += 4;
  handles_[id] = std::move(h);
  return id;
}

uint32_t MemoryRegistry::OpenKey(RegKey root, const std::string& subKey, uint32_t access,
                                 RegKey* out) {
  *out = 0;
  if (uint32_t e = shared_->faults.Check(MemoryCall::OpenKey)) return e;
  std::shared_ptr<Node> node;
  if (uint32_t status = FindKey(root, subKey, &node)) return status;
  if (node->denied) return kErrAccessDenied;
  *out = NewHandle(node, access);
  return 0;
}

uint32_t MemoryRegistry::CreateKey(RegKey root, const std::string& subKey, uint32_t options,
                                   uint32_t access, RegKey* out, bool* created) {
  *out = 0;
  if (created) *created = false;
  if (uint32_t e = shared_->faults.Check(MemoryCall::CreateKey)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(root, &node, &granted)) return status;
  std::vector<std::string> parts;
  if (!SplitKeyPath(subKey, &parts)) return kErrBadPathName;
  const bool makeVolatile = (options & kRegOptionVolatile) != 0;
  bool made = false;
  for (const auto& p : parts) {
    std::shared_ptr<Node> next = node->Child(p);
    if (!next) {
      if (!(granted & kKeyCreateSubKey) || node->denied) return kErrAccessDenied;
      if (node->isVolatile && !makeVolatile) return kErrChildMustBeVolatile;
      next = node->AddChild(p);
      next->isVolatile = makeVolatile;
      made = true;
      granted = kKeyAllAccess;  // the keys made on the way are ours
    }
    node = next;
  }
  if (node->denied) return kErrAccessDenied;
  *out = NewHandle(node, access);
  if (created) *created = made;
  return 0;
}

void MemoryRegistry::EndProcess() { handles_.clear(); }

uint32_t MemoryRegistry::CloseKey(RegKey key) {
  if (IsPredefined(key)) return 0;
  if (handles_.erase(key) == 0) return kErrInvalidHandle;
  // A failing close still releases the key.
  return shared_->faults.Check(MemoryCall::CloseKey);
}

uint32_t MemoryRegistry::QueryValue(RegKey key, const std::string& name, uint32_t* type,
                                    uint8_t* data, uint32_t* size) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::QueryValue)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(key, &node, &granted)) return status;
  if (!(granted & kKeyQueryValue)) return kErrAccessDenied;
  if (data && !size) return kErrInvalidParameter;
  Node::Value* v = node->FindValue(name);
  if (!v) return kErrFileNotFound;
  if (type) *type = v->type;
  uint32_t needed = static_cast<uint32_t>(v->data.size());
  if (!data) {
    if (size) *size = needed;
    return 0;
  }
  if (*size < needed) {
    *size = needed;
    return kErrMoreData;
  }
  if (needed) std::memcpy(data, v->data.data(), needed);
  *size = needed;
  return 0;
}

uint32_t MemoryRegistry::SetValue(RegKey key, const std::string& name, uint32_t type,
                                  const uint8_t* data, uint32_t size) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::SetValue)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(key, &node, &granted)) return status;
  if (!(granted & kKeySetValue)) return kErrAccessDenied;
  if (!data && size > 0) return kErrNoAccess;
  Node::Value* v = node->FindValue(name);
  if (!v) {
    node->values.push_back(Node::Value());
    v = &node->values.back();
    v->name = name;
  }
  v->type = type;
  v->data.assign(data, data + size);
  return 0;
}

uint32_t MemoryRegistry::EnumKey(RegKey key, uint32_t index, char* name, uint32_t* nameSize) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::EnumKey)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(key, &node, &granted)) return status;
  if (!(granted & kKeyEnumerateSubKeys)) return kErrAccessDenied;
  if (index >= node->subkeys.size()) return kErrNoMoreItems;
  auto it = node->subkeys.begin();
  std::advance(it, index);
  const std::string& n = it->second->name;
  if (!name || !nameSize || n.size() + 1 > *nameSize) return kErrMoreData;
  std::memcpy(name, n.c_str(), n.size() + 1);
  *nameSize = static_cast<uint32_t>(n.size());
  return 0;
}

uint32_t MemoryRegistry::EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize,
                                   uint32_t* type, uint8_t* data, uint32_t* dataSize) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::EnumValue)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(key, &node, &granted)) return status;
  if (!(granted & kKeyQueryValue)) return kErrAccessDenied;
  if (index >= node->values.size()) return kErrNoMoreItems;
  const Node::Value& v = node->values[index];
  if (!name || !nameSize || v.name.size() + 1 > *nameSize) return kErrMoreData;
  if (data && !dataSize) return kErrInvalidParameter;
  uint32_t needed = static_cast<uint32_t>(v.data.size());
  if (type) *type = v.type;
  if (data && *dataSize < needed) {
    *dataSize = needed;
    return kErrMoreData;
  }
  std::memcpy(name, v.name.c_str(), v.name.size() + 1);
  *nameSize = static_cast<uint32_t>(v.name.size());
  if (data && needed) std::memcpy(data, v.data.data(), needed);
  if (dataSize) *dataSize = needed;
  return 0;
}

uint32_t MemoryRegistry::QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen,
                                      uint32_t* values, uint32_t* maxValueNameLen,
                                      uint32_t* maxValueLen) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::QueryInfoKey)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(key, &node, &granted)) return status;
  if (!(granted & kKeyQueryValue)) return kErrAccessDenied;
  size_t maxKey = 0, maxName = 0, maxData = 0;
  for (const auto& s : node->subkeys) maxKey = std::max(maxKey, s.second->name.size());
  for (const auto& v : node->values) {
    maxName = std::max(maxName, v.name.size());
    maxData = std::max(maxData, v.data.size());
  }
  if (subKeys) *subKeys = static_cast<uint32_t>(node->subkeys.size());
  if (maxSubKeyLen) *maxSubKeyLen = static_cast<uint32_t>(maxKey);
  if (values) *values = static_cast<uint32_t>(node->values.size());
  if (maxValueNameLen) *maxValueNameLen = static_cast<uint32_t>(maxName);
  if (maxValueLen) *maxValueLen = static_cast<uint32_t>(maxData);
  return 0;
}

uint32_t MemoryRegistry::DeleteKey(RegKey root, const std::string& subKey) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::DeleteKey)) return e;
  std::shared_ptr<Node> node;
  if (uint32_t status = FindKey(root, subKey, &node)) return status;
  // As on Windows NT: a key that still has sub-keys cannot go.
  if (node->denied || node->predefined || node == hkcr_ || !node->subkeys.empty() ||
      !node->parent) {
    return kErrAccessDenied;
  }
  node->deleted = true;
  node->parent->subkeys.erase(Upper(node->name));
  return 0;
}

uint32_t MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::DeleteValue)) return e;
  std::shared_ptr<Node> node;
  uint32_t granted = 0;
  if (uint32_t status = NodeOf(key, &node, &granted)) return status;
  if (!(granted & kKeySetValue)) return kErrAccessDenied;
  for (auto it = node->values.begin(); it != node->values.end(); ++it) {
    if (EqualNoCase(it->name, name)) {
      node->values.erase(it);
      return 0;
    }
  }
  return kErrFileNotFound;
}

// ---------------------------------------------------------------------------
// Test helpers.

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Walk(RegKey root, const std::string& path,
                                                           bool create) {
  std::shared_ptr<Node> node = RootNode(root);
  std::vector<std::string> parts;
  if (!node || !SplitKeyPath(path, &parts)) return nullptr;
  for (const auto& p : parts) {
    std::shared_ptr<Node> next = node->Child(p);
    if (!next) {
      if (!create) return nullptr;
      next = node->AddChild(p);
    }
    node = next;
  }
  return node;
}

void MemoryRegistry::SetBinary(RegKey root, const std::string& path, const std::string& name,
                               uint32_t type, const std::string& bytes) {
  std::shared_ptr<Node> node = Walk(root, path, true);
  if (!node) return;
  Node::Value* v = node->FindValue(name);
  if (!v) {
    node->values.push_back(Node::Value());
    v = &node->values.back();
    v->name = name;
  }
  v->type = type;
  v->data.assign(bytes.begin(), bytes.end());
}

void MemoryRegistry::SetString(RegKey root, const std::string& path, const std::string& name,
                               const std::string& value, uint32_t type) {
  SetBinary(root, path, name, type, value + std::string(1, '\0'));
}

void MemoryRegistry::SetDword(RegKey root, const std::string& path, const std::string& name,
                              uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (8 * i));
  SetBinary(root, path, name, kRegDword, bytes);
}

bool MemoryRegistry::GetRaw(RegKey root, const std::string& path, const std::string& name,
                            std::string* bytes, uint32_t* type) {
  std::shared_ptr<Node> node = Walk(root, path, false);
  Node::Value* v = node ? node->FindValue(name) : nullptr;
  if (!v) return false;
  bytes->assign(v->data.begin(), v->data.end());
  if (type) *type = v->type;
  return true;
}

bool MemoryRegistry::GetString(RegKey root, const std::string& path, const std::string& name,
                               std::string* value, uint32_t* type) {
  std::string bytes;
  if (!GetRaw(root, path, name, &bytes, type)) return false;
  size_t nul = bytes.find('\0');
  if (nul != std::string::npos) bytes.resize(nul);
  *value = bytes;
  return true;
}

bool MemoryRegistry::GetDword(RegKey root, const std::string& path, const std::string& name,
                              uint32_t* value) {
  std::string bytes;
  if (!GetRaw(root, path, name, &bytes) || bytes.size() < 4) return false;
  *value = 0;
  for (int i = 0; i < 4; ++i) *value |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << (8 * i);
  return true;
}

bool MemoryRegistry::KeyExists(RegKey root, const std::string& path) {
  return Walk(root, path, false) != nullptr;
}

bool MemoryRegistry::ValueExists(RegKey root, const std::string& path, const std::string& name) {
  std::shared_ptr<Node> node = Walk(root, path, false);
  return node && node->FindValue(name) != nullptr;
}

void MemoryRegistry::CreateKeyPath(RegKey root, const std::string& path) { Walk(root, path, true); }

void MemoryRegistry::RemoveKeyTree(RegKey root, const std::string& path) {
  std::shared_ptr<Node> node = Walk(root, path, false);
  if (!node || !node->parent || node->predefined) return;
  std::function<void(Node&)> mark = [&](Node& n) {
    n.deleted = true;
    for (auto& c : n.subkeys) mark(*c.second);
  };
  mark(*node);
  node->parent->subkeys.erase(Upper(node->name));
}

void MemoryRegistry::RemoveValue(RegKey root, const std::string& path, const std::string& name) {
  std::shared_ptr<Node> node = Walk(root, path, false);
  if (!node) return;
  node->values.erase(std::remove_if(node->values.begin(), node->values.end(),
                                    [&](const Node::Value& v) { return EqualNoCase(v.name, name); }),
                     node->values.end());
}

std::vector<std::string> MemoryRegistry::SubKeys(RegKey root, const std::string& path) {
  std::vector<std::string> names;
  std::shared_ptr<Node> node = Walk(root, path, false);
  if (node) {
    for (const auto& s : node->subkeys) names.push_back(s.second->name);
  }
  return names;
}

std::vector<std::string> MemoryRegistry::ValueNames(RegKey root, const std::string& path) {
  std::vector<std::string> names;
  std::shared_ptr<Node> node = Walk(root, path, false);
  if (node) {
    for (const auto& v : node->values) names.push_back(v.name);
  }
  return names;
}

void MemoryRegistry::DenyAccess(RegKey root, const std::string& path, bool deny) {
  std::shared_ptr<Node> node = Walk(root, path, true);
  if (node) node->denied = deny;
}

void MemoryRegistry::Restart() {
  std::function<void(Node&)> sweep = [&](Node& n) {
    for (auto it = n.subkeys.begin(); it != n.subkeys.end();) {
      if (it->second->isVolatile) {
        std::function<void(Node&)> mark = [&](Node& d) {
          d.deleted = true;
          for (auto& c : d.subkeys) mark(*c.second);
        };
        mark(*it->second);
        it = n.subkeys.erase(it);
      } else {
        sweep(*it->second);
        ++it;
      }
    }
  };
  sweep(*hklm_);
  sweep(*hkcu_);
  sweep(*hku_);
}

}  // namespace svp
