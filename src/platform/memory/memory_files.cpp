#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/memory/memory_internal.h"
#include "platform/memory/memory_platform.h"

namespace svp {

namespace {

constexpr uint32_t kErrInvalidName = 123;
constexpr uint32_t kErrFilenameTooLong = 206;
constexpr uint32_t kErrDirectory = 267;
constexpr uint32_t kErrNotSameDevice = 17;
constexpr uint32_t kErrBadNetPath = 53;
constexpr uint32_t kErrResourceTypeNotFound = 1813;
constexpr uint32_t kErrMessageNotFound = 317;
constexpr uint32_t kMaxPath = 260;

// 1999-06-01 12:00:00 UTC.
constexpr uint64_t kInitialClock = 125727120000000000ull;

constexpr uint32_t kDefaultVolumeSerial = 0x1C2A3B4Du;

FileTime ToFileTime(uint64_t t) {
  FileTime ft;
  ft.low = static_cast<uint32_t>(t);
  ft.high = static_cast<uint32_t>(t >> 32);
  return ft;
}

bool IsDriveSpec(const std::string& s) {
  return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// Splits a full path into its root ("C:" or "\\server\share") and its
// components.
void SplitFull(const std::string& full, std::string* root, std::vector<std::string>* parts) {
  parts->clear();
  size_t start = 0;
  if (full.size() >= 2 && full[0] == '\\' && full[1] == '\\') {
    size_t server = full.find('\\', 2);
    size_t share = server == std::string::npos ? std::string::npos : full.find('\\', server + 1);
    *root = full.substr(0, share);
    start = share == std::string::npos ? full.size() : share + 1;
  } else {
    *root = full.substr(0, 2);
    start = std::min<size_t>(3, full.size());
  }
  while (start < full.size()) {
    size_t end = full.find('\\', start);
    if (end == std::string::npos) end = full.size();
    if (end > start) parts->push_back(full.substr(start, end - start));
    start = end + 1;
  }
}

bool ValidComponent(const std::string& name) {
  for (unsigned char c : name) {
    if (c < 32 || std::strchr("<>:\"|?*/", c) != nullptr) return false;
  }
  return true;
}

void PutU32(std::vector<uint8_t>* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutBytes(std::vector<uint8_t>* out, const std::string& s) {
  PutU32(out, static_cast<uint32_t>(s.size()));
  out->insert(out->end(), s.begin(), s.end());
}

class Reader {
 public:
  explicit Reader(const std::vector<uint8_t>& b) : b_(b) {}
  bool U32(uint32_t* v) {
    if (pos_ > b_.size() || b_.size() - pos_ < 4) return false;
    *v = 0;
    for (int i = 0; i < 4; ++i) *v |= static_cast<uint32_t>(b_[pos_ + i]) << (8 * i);
    pos_ += 4;
    return true;
  }
  bool Bytes(std::string* s) {
    uint32_t n = 0;
    if (!U32(&n) || b_.size() - pos_ < n) return false;  // U32 left pos_ in range
    s->assign(reinterpret_cast<const char*>(b_.data()) + pos_, n);
    pos_ += n;
    return true;
  }

 private:
  const std::vector<uint8_t>& b_;
  size_t pos_ = 0;
};

const char kVersionMagic[] = "SVVR";

}  // namespace

// ---------------------------------------------------------------------------

struct MemoryFileSystem::Node {
  std::string name;
  bool directory = false;
  uint32_t attributes = 0;  // without the directory bit
  uint64_t creation = 0, access = 0, write = 0;
  std::string data;
  std::map<std::string, std::shared_ptr<Node>> children;  // upper-case names
  // Another process's open handle (0 access: none).
  uint32_t otherAccess = 0, otherShare = 0;
  bool inaccessible = false;
  std::optional<MemoryVersionResource> version;
  uint32_t versionSize = 0;
  uint64_t index = 0;
  Volume* volume = nullptr;
};

struct MemoryFileSystem::Volume {
  std::string root;  // "C:" or "\\server\share"
  std::shared_ptr<Node> top;
  bool full = false;
  uint64_t freeBytes = 1ull << 30;
  uint64_t totalBytes = 2ull << 30;
  uint32_t serial = kDefaultVolumeSerial;
};

struct MemoryFileSystem::Handle {
  std::shared_ptr<Node> node;
  uint32_t access = 0;
  uint32_t share = 0;
  uint64_t position = 0;
};

struct MemoryFileSystem::Lookup {
  std::string full;
  Volume* volume = nullptr;
  std::shared_ptr<Node> parent;  // null for a root
  std::string leaf;
  std::shared_ptr<Node> node;  // null when missing
};

namespace {
using Node = MemoryFileSystem::Node;

uint32_t Attributes(const Node& n) {
  if (n.directory) return kAttrDirectory | n.attributes;
  return n.attributes != 0 ? n.attributes : static_cast<uint32_t>(kAttrNormal);
}

void ForEachNode(const std::shared_ptr<Node>& n, const std::function<void(Node&)>& f) {
  f(*n);
  for (auto& c : n->children) ForEachNode(c.second, f);
}
}  // namespace

MemoryFileSystem::MemoryFileSystem(MemoryShared* shared) : shared_(shared), clock_(kInitialClock) {
  AddDrive('C');
  MakeDirectory("C:\\WINNT\\system32");
  MakeDirectory("C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs");
  MakeDirectory("C:\\WINNT\\Profiles\\Administrator\\Desktop");
  MakeDirectory("C:\\TEMP");
}

MemoryFileSystem::~MemoryFileSystem() = default;

bool MemoryFileSystem::Fail(uint32_t error) {
  shared_->lastError = error;
  return false;
}

FileTime MemoryFileSystem::Now() const { return ToFileTime(clock_); }
void MemoryFileSystem::SetClock(FileTime now) {
  clock_ = (static_cast<uint64_t>(now.high) << 32) | now.low;
}
void MemoryFileSystem::AdvanceClock(uint64_t ticks) { clock_ += ticks; }

std::shared_ptr<MemoryFileSystem::Node> MemoryFileSystem::NewNode(const std::string& name,
                                                                   bool directory) {
  auto n = std::make_shared<Node>();
  n->name = name;
  n->directory = directory;
  n->attributes = directory ? 0 : static_cast<uint32_t>(kAttrArchive);
  n->creation = n->access = n->write = clock_;
  n->index = nextIndex_++;
  return n;
}

// The absolute form of a path, as GetFullPathName gives it.
std::string MemoryFileSystem::FullPath(const std::string& in, uint32_t* error) const {
  if (in.empty()) {
    *error = kErrPathNotFound;
    return std::string();
  }
  std::string cwdRoot;
  std::vector<std::string> parts;
  SplitFull(currentDirectory_, &cwdRoot, &parts);

  std::string root;
  std::string rest;
  std::vector<std::string> comps;
  if (in.size() >= 2 && in[0] == '\\' && in[1] == '\\') {
    size_t server = in.find('\\', 2);
    if (server == std::string::npos) return in;  // "\\server": nothing to resolve
    size_t share = in.find('\\', server + 1);
    root = in.substr(0, share);
    rest = share == std::string::npos ? std::string() : in.substr(share + 1);
  } else if (IsDriveSpec(in)) {
    root = in.substr(0, 2);
    if (in.size() >= 3 && in[2] == '\\') {
      rest = in.substr(3);
    } else {
      // Drive-relative: the current directory of that drive, which is ours
      // when it is the current drive and its root otherwise.
      if (EqualNoCase(root, cwdRoot)) {
        comps = parts;
        root = cwdRoot;
      }
      rest = in.substr(2);
    }
  } else if (in[0] == '\\') {
    root = cwdRoot;
    rest = in.substr(1);
  } else {
    root = cwdRoot;
    comps = parts;
    rest = in;
  }

  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    std::string c = rest.substr(start, end - start);
    if (c == "..") {
      if (!comps.empty()) comps.pop_back();
    } else if (!c.empty() && c != ".") {
      comps.push_back(c);
    }
    start = end + 1;
  }
  const bool uncRoot = root.size() >= 2 && root[0] == '\\';
  std::string full = root;
  if (!uncRoot || !comps.empty()) full += '\\';
  for (size_t i = 0; i < comps.size(); ++i) {
    if (i) full += '\\';
    full += comps[i];
  }
  if (!comps.empty() && !rest.empty() && rest.back() == '\\') full += '\\';
  return full;
}

std::string MemoryFileSystem::StorageRoot(const std::string& root) const {
  if (IsDriveSpec(root)) {
    auto it = mapped_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(root[0]))));
    if (it != mapped_.end()) {
      std::string remoteRoot;
      std::vector<std::string> ignored;
      SplitFull(it->second, &remoteRoot, &ignored);
      return remoteRoot;
    }
  }
  return root;
}

bool MemoryFileSystem::Resolve(const std::string& path, Lookup* out, bool createMissing) {
  uint32_t error = 0;
  out->full = FullPath(path, &error);
  if (out->full.empty()) return Fail(error);
  if (out->full.size() >= kMaxPath) return Fail(kErrFilenameTooLong);
  std::string root;
  std::vector<std::string> parts;
  SplitFull(out->full, &root, &parts);
  for (const auto& p : parts) {
    if (!ValidComponent(p)) return Fail(kErrInvalidName);
  }
  std::string storage = StorageRoot(root);
  bool unc = storage.size() >= 2 && storage[0] == '\\';
  if (unc && storage.find('\\', 2) == std::string::npos) return Fail(kErrBadNetPath);
  auto vit = volumes_.find(Upper(storage));
  if (vit == volumes_.end()) {
    if (!createMissing) return Fail(unc ? kErrBadNetPath : kErrPathNotFound);
    auto v = std::make_unique<Volume>();
    v->root = storage;
    v->top = NewNode(storage, true);
    v->top->volume = v.get();
    v->serial = kDefaultVolumeSerial + static_cast<uint32_t>(volumes_.size()) * 0x1111;
    vit = volumes_.emplace(Upper(storage), std::move(v)).first;
  }
  out->volume = vit->second.get();
  out->parent.reset();
  out->node = out->volume->top;
  out->leaf.clear();
  for (size_t i = 0; i < parts.size(); ++i) {
    std::shared_ptr<Node> dir = out->node;
    if (dir->inaccessible && !createMissing) return Fail(kErrAccessDenied);
    auto it = dir->children.find(Upper(parts[i]));
    std::shared_ptr<Node> next = it == dir->children.end() ? nullptr : it->second;
    if (i + 1 < parts.size()) {
      if (!next && createMissing) {
        next = NewNode(parts[i], true);
        next->volume = out->volume;
        dir->children[Upper(parts[i])] = next;
      }
      if (!next || !next->directory) return Fail(kErrPathNotFound);
    }
    out->parent = dir;
    out->leaf = parts[i];
    out->node = next;
  }
  return true;
}

MemoryFileSystem::Handle* MemoryFileSystem::FindHandle(FileHandle h) {
  auto it = handles_.find(h);
  return it == handles_.end() ? nullptr : it->second.get();
}

// Share modes as the system checks them: a new opener's access against the
// sharing of every open handle, and its sharing against their access.
bool MemoryFileSystem::ShareConflict(const Node* node, uint32_t access, uint32_t share) const {
  auto conflicts = [&](uint32_t hAccess, uint32_t hShare) {
    if ((access & kGenericRead) && !(hShare & kShareRead)) return true;
    if ((access & kGenericWrite) && !(hShare & kShareWrite)) return true;
    if ((access & kDelete) && !(hShare & kShareDelete)) return true;
    if ((hAccess & kGenericRead) && !(share & kShareRead)) return true;
    if ((hAccess & kGenericWrite) && !(share & kShareWrite)) return true;
    if ((hAccess & kDelete) && !(share & kShareDelete)) return true;
    return false;
  };
  if (node->otherAccess != 0 && conflicts(node->otherAccess, node->otherShare)) return true;
  for (const auto& h : handles_) {
    if (h.second->node.get() == node && conflicts(h.second->access, h.second->share)) return true;
  }
  return false;
}

bool MemoryFileSystem::VolumeFull(const Node* node) const {
  return node->volume != nullptr && node->volume->full;
}

// ---------------------------------------------------------------------------
// Handles.

FileHandle MemoryFileSystem::CreateFile(const std::string& path, uint32_t access, uint32_t share,
                                        uint32_t disposition) {
  // Opening for writing, or making the file, changes the workstation.
  const bool changes = (access & kGenericWrite) || disposition != kOpenExisting;
  if (uint32_t e = shared_->faults.Check(MemoryCall::CreateFile, changes)) {
    Fail(e);
    return kInvalidFile;
  }
  if (disposition < kCreateNew || disposition > kTruncateExisting) {
    Fail(kErrInvalidParameter);
    return kInvalidFile;
  }
  Lookup f;
  if (!Resolve(path, &f)) return kInvalidFile;
  if (!f.parent) {
    Fail(kErrAccessDenied);
    return kInvalidFile;
  }
  uint32_t resultError = 0;
  std::shared_ptr<Node> node = f.node;
  if (node) {
    const bool truncates = disposition == kCreateAlways || disposition == kTruncateExisting;
    if (node->directory || node->inaccessible) {
      Fail(kErrAccessDenied);
      return kInvalidFile;
    }
    if (disposition == kCreateNew) {
      Fail(kErrFileExists);
      return kInvalidFile;
    }
    if (disposition == kTruncateExisting && !(access & kGenericWrite)) {
      Fail(kErrInvalidParameter);
      return kInvalidFile;
    }
    if ((node->attributes & kAttrReadOnly) && ((access & kGenericWrite) || truncates)) {
      Fail(kErrAccessDenied);
      return kInvalidFile;
    }
    if (disposition == kCreateAlways && (node->attributes & (kAttrHidden | kAttrSystem))) {
      Fail(kErrAccessDenied);
      return kInvalidFile;
    }
    if (ShareConflict(node.get(), access, share)) {
      Fail(kErrSharingViolation);
      return kInvalidFile;
    }
    if (truncates) {
      node->data.clear();
      node->write = node->access = clock_;
      if (disposition == kCreateAlways) {
        node->attributes |= kAttrArchive;
        node->version.reset();
        node->versionSize = 0;
      }
    }
    if (disposition == kCreateAlways || disposition == kOpenAlways) resultError = kErrAlreadyExists;
  } else {
    if (disposition == kOpenExisting || disposition == kTruncateExisting) {
      Fail(kErrFileNotFound);
      return kInvalidFile;
    }
    node = NewNode(f.leaf, false);
    node->volume = f.volume;
    f.parent->children[Upper(f.leaf)] = node;
    f.parent->write = clock_;
  }
  auto h = std::make_unique<Handle>();
  h->node = node;
  h->access = access;
  h->share = share;
  FileHandle id = nextHandle_;
  nextHandle_ += 4;
  handles_[id] = std::move(h);
  shared_->lastError = resultError;
  return id;
}

bool MemoryFileSystem::ReadFile(FileHandle h, void* buffer, uint32_t count, uint32_t* read) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::ReadFile)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (read) *read = 0;
  if (!handle) return Fail(kErrInvalidHandle);
  if (!(handle->access & kGenericRead)) return Fail(kErrAccessDenied);
  const std::string& data = handle->node->data;
  uint64_t available = handle->position < data.size() ? data.size() - handle->position : 0;
  uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(count, available));
  if (n > 0) std::memcpy(buffer, data.data() + handle->position, n);
  handle->position += n;
  if (read) *read = n;
  return true;
}

bool MemoryFileSystem::WriteFile(FileHandle h, const void* data, uint32_t count,
                                 uint32_t* written) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::WriteFile)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (written) *written = 0;
  if (!handle) return Fail(kErrInvalidHandle);
  if (!(handle->access & kGenericWrite)) return Fail(kErrAccessDenied);
  if (count == 0) return true;
  if (VolumeFull(handle->node.get())) return Fail(kErrDiskFull);
  std::string& bytes = handle->node->data;
  if (bytes.size() < handle->position + count) bytes.resize(handle->position + count, '\0');
  std::memcpy(&bytes[handle->position], data, count);
  handle->position += count;
  handle->node->write = handle->node->access = clock_;
  handle->node->attributes |= kAttrArchive;
  if (written) *written = count;
  return true;
}

bool MemoryFileSystem::FlushFileBuffers(FileHandle h) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::FlushFileBuffers)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (!handle) return Fail(kErrInvalidHandle);
  if (!(handle->access & kGenericWrite)) return Fail(kErrAccessDenied);
  return true;
}

bool MemoryFileSystem::SetFilePointer(FileHandle h, uint64_t position) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::SetFilePointer)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (!handle) return Fail(kErrInvalidHandle);
  handle->position = position;
  return true;
}

bool MemoryFileSystem::SetEndOfFile(FileHandle h) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::SetEndOfFile)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (!handle) return Fail(kErrInvalidHandle);
  if (!(handle->access & kGenericWrite)) return Fail(kErrAccessDenied);
  std::string& bytes = handle->node->data;
  if (handle->position > bytes.size() && VolumeFull(handle->node.get())) return Fail(kErrDiskFull);
  bytes.resize(handle->position, '\0');
  handle->node->write = clock_;
  return true;
}

bool MemoryFileSystem::CloseHandle(FileHandle h) {
  if (handles_.erase(h) == 0) return Fail(kErrInvalidHandle);
  // A failing close still releases the handle, as NT's does.
  if (uint32_t e = shared_->faults.Check(MemoryCall::CloseHandle)) return Fail(e);
  return true;
}

bool MemoryFileSystem::GetFileInformationByHandle(FileHandle h, ByHandleFileInfo* info) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetFileInformationByHandle)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (!handle) return Fail(kErrInvalidHandle);
  const Node& n = *handle->node;
  info->attributes = Attributes(n);
  info->creation = ToFileTime(n.creation);
  info->lastAccess = ToFileTime(n.access);
  info->lastWrite = ToFileTime(n.write);
  info->volumeSerial = n.volume ? n.volume->serial : 0;
  info->sizeHigh = static_cast<uint32_t>(static_cast<uint64_t>(n.data.size()) >> 32);
  info->sizeLow = static_cast<uint32_t>(n.data.size());
  info->links = 1;
  info->indexHigh = static_cast<uint32_t>(n.index >> 32);
  info->indexLow = static_cast<uint32_t>(n.index);
  return true;
}

bool MemoryFileSystem::SetFileTime(FileHandle h, const FileTime* creation,
                                   const FileTime* lastAccess, const FileTime* lastWrite) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::SetFileTime)) return Fail(e);
  Handle* handle = FindHandle(h);
  if (!handle) return Fail(kErrInvalidHandle);
  if (!(handle->access & kGenericWrite)) return Fail(kErrAccessDenied);
  auto get = [](const FileTime* t) { return (static_cast<uint64_t>(t->high) << 32) | t->low; };
  if (creation) handle->node->creation = get(creation);
  if (lastAccess) handle->node->access = get(lastAccess);
  if (lastWrite) handle->node->write = get(lastWrite);
  return true;
}

// ---------------------------------------------------------------------------
// Names.

bool MemoryFileSystem::DeleteFile(const std::string& path) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::DeleteFile)) return Fail(e);
  Lookup f;
  if (!Resolve(path, &f)) return false;
  if (!f.node) return Fail(kErrFileNotFound);
  if (!f.parent || f.node->directory || f.node->inaccessible) return Fail(kErrAccessDenied);
  if (f.node->attributes & kAttrReadOnly) return Fail(kErrAccessDenied);
  if (ShareConflict(f.node.get(), kDelete, kShareRead | kShareWrite | kShareDelete)) {
    return Fail(kErrSharingViolation);
  }
  f.parent->children.erase(Upper(f.leaf));
  f.parent->write = clock_;
  return true;
}

bool MemoryFileSystem::MoveFileEx(const std::string& path, const std::string* newPath,
                                  uint32_t flags) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::MoveFileEx)) return Fail(e);
  if (flags & kMoveDelayUntilReboot) {
    // Only administrators may write the session manager's list.
    if (!shared_->admin) return Fail(kErrAccessDenied);
    uint32_t error = 0;
    PendingOperation op;
    op.from = FullPath(path, &error);
    if (op.from.empty()) return Fail(error);
    if (newPath) {
      op.to = FullPath(*newPath, &error);
      if (op.to.empty()) return Fail(error);
    }
    op.replace = (flags & kMoveReplaceExisting) != 0;
    pending_.push_back(op);
    // Queued whether or not the file exists, and the thread's last error is
    // left as it was, so that a failed delete's error survives the request
    // (as measured under Wine).
    return true;
  }
  if (!newPath) return Fail(kErrInvalidParameter);
  Lookup from;
  if (!Resolve(path, &from)) return false;
  if (!from.node) return Fail(kErrFileNotFound);
  if (!from.parent || from.node->inaccessible) return Fail(kErrAccessDenied);
  Lookup to;
  if (!Resolve(*newPath, &to)) return false;
  if (!to.parent) return Fail(kErrAccessDenied);
  std::shared_ptr<Node> node = from.node;
  if (!node->directory &&
      ShareConflict(node.get(), kDelete, kShareRead | kShareWrite | kShareDelete)) {
    return Fail(kErrSharingViolation);
  }
  if (node->directory) {
    // A directory that holds a process's current directory cannot move.
    std::string cwd = Upper(currentDirectory_) + "\\";
    std::string src = Upper(from.full);
    if (src.back() != '\\') src += '\\';
    if (cwd.compare(0, src.size(), src) == 0) return Fail(kErrSharingViolation);
    std::string dst = Upper(to.full);
    if (dst.back() != '\\') dst += '\\';
    if (dst.compare(0, src.size(), src) == 0 && dst != src) return Fail(kErrAccessDenied);
  }
  if (to.node && to.node != node) {
    if (!(flags & kMoveReplaceExisting)) return Fail(kErrAlreadyExists);
    if (to.node->directory || node->directory) return Fail(kErrAccessDenied);
    if (to.node->attributes & kAttrReadOnly) return Fail(kErrAccessDenied);
    if (ShareConflict(to.node.get(), kDelete, kShareRead | kShareWrite | kShareDelete)) {
      return Fail(kErrSharingViolation);
    }
  }
  if (from.volume != to.volume && (node->directory || !(flags & kMoveCopyAllowed))) {
    return Fail(kErrNotSameDevice);
  }
  if (to.node && to.node != node) to.parent->children.erase(Upper(to.leaf));
  from.parent->children.erase(Upper(from.leaf));
  node->name = to.leaf;
  if (from.volume != to.volume) {
    ForEachNode(node, [&](Node& n) { n.volume = to.volume; });
  }
  to.parent->children[Upper(to.leaf)] = node;
  from.parent->write = to.parent->write = clock_;
  return true;
}

bool MemoryFileSystem::CopyFile(const std::string& fromPath, const std::string& toPath,
                                bool failIfExists) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::CopyFile)) return Fail(e);
  Lookup from;
  if (!Resolve(fromPath, &from)) return false;
  if (!from.node) return Fail(kErrFileNotFound);
  if (!from.parent || from.node->directory || from.node->inaccessible) {
    return Fail(kErrAccessDenied);
  }
  if (ShareConflict(from.node.get(), kGenericRead, kShareRead)) return Fail(kErrSharingViolation);
  Lookup to;
  if (!Resolve(toPath, &to)) return false;
  if (!to.parent) return Fail(kErrAccessDenied);
  if (to.node) {
    if (to.node->directory || to.node->inaccessible) return Fail(kErrAccessDenied);
    if (failIfExists) return Fail(kErrFileExists);
    if (to.node->attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem)) {
      return Fail(kErrAccessDenied);
    }
    // The source stays open for reading while the copy is written.
    if (to.node == from.node || ShareConflict(to.node.get(), kGenericWrite, 0)) {
      return Fail(kErrSharingViolation);
    }
  }
  // A full disk refuses the copy; the destination is left as it was.
  if (!from.node->data.empty() && to.volume->full) return Fail(kErrDiskFull);
  std::shared_ptr<Node> dest = to.node;
  if (!dest) {
    dest = NewNode(to.leaf, false);
    dest->volume = to.volume;
    to.parent->children[Upper(to.leaf)] = dest;
    to.parent->write = clock_;
  }
  // As the system copies: contents, attributes, last-write time and version
  // resource; an overwritten file keeps its creation time.
  dest->data = from.node->data;
  dest->attributes = from.node->attributes | kAttrArchive;
  dest->access = clock_;
  dest->write = from.node->write;
  dest->version = from.node->version;
  dest->versionSize = from.node->versionSize;
  return true;
}

bool MemoryFileSystem::CreateDirectory(const std::string& path) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::CreateDirectory)) return Fail(e);
  Lookup f;
  if (!Resolve(path, &f)) return false;
  if (f.node) return Fail(kErrAlreadyExists);
  auto dir = NewNode(f.leaf, true);
  dir->volume = f.volume;
  f.parent->children[Upper(f.leaf)] = dir;
  f.parent->write = clock_;
  return true;
}

bool MemoryFileSystem::RemoveDirectory(const std::string& path) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::RemoveDirectory)) return Fail(e);
  Lookup f;
  if (!Resolve(path, &f)) return false;
  if (!f.node) return Fail(kErrFileNotFound);
  if (!f.node->directory) return Fail(kErrDirectory);
  if (!f.parent || f.node->inaccessible || (f.node->attributes & kAttrReadOnly)) {
    return Fail(kErrAccessDenied);
  }
  // The process holds its current directory open, and so may another; the
  // open for deletion fails before the contents are looked at.
  std::string cwd = Upper(currentDirectory_);
  if (!cwd.empty() && cwd.back() == '\\') cwd.pop_back();
  std::string full = Upper(f.full);
  if (!full.empty() && full.back() == '\\') full.pop_back();
  if (cwd == full || f.node->otherAccess != 0) return Fail(kErrSharingViolation);
  if (!f.node->children.empty()) return Fail(kErrDirNotEmpty);
  f.parent->children.erase(Upper(f.leaf));
  f.parent->write = clock_;
  return true;
}

uint32_t MemoryFileSystem::GetFileAttributes(const std::string& path) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetFileAttributes)) {
    Fail(e);
    return kInvalidAttributes;
  }
  return AttributesOf(path);
}

uint32_t MemoryFileSystem::AttributesOf(const std::string& path) {
  Lookup f;
  if (!Resolve(path, &f)) return kInvalidAttributes;
  if (!f.node) {
    Fail(kErrFileNotFound);
    return kInvalidAttributes;
  }
  if (f.node->inaccessible) {
    Fail(kErrAccessDenied);
    return kInvalidAttributes;
  }
  return Attributes(*f.node);
}

bool MemoryFileSystem::SetFileAttributes(const std::string& path, uint32_t attributes) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::SetFileAttributes)) return Fail(e);
  Lookup f;
  if (!Resolve(path, &f)) return false;
  if (!f.node) return Fail(kErrFileNotFound);
  if (f.node->inaccessible) return Fail(kErrAccessDenied);
  f.node->attributes =
      attributes & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive | 0x100u | 0x2000u);
  return true;
}

int MemoryFileSystem::AccessExists(const std::string& path) {
  // The runtime asks for the attributes and maps the system's error.
  if (uint32_t e = shared_->faults.Check(MemoryCall::AccessExists)) {
    Fail(e);
  } else if (AttributesOf(path) != kInvalidAttributes) {
    return 0;
  }
  switch (shared_->lastError) {
    case kErrFileNotFound:
    case kErrPathNotFound:
    case kErrBadNetPath:
    case kErrBadPathName:
    case kErrFilenameTooLong:
      return 2;
    case kErrAccessDenied:
    case kErrSharingViolation:
      return 13;
    default:
      return 22;
  }
}

bool MemoryFileSystem::GetDiskFreeSpace(const std::string* root, uint32_t* sectorsPerCluster,
                                        uint32_t* bytesPerSector, uint32_t* freeClusters,
                                        uint32_t* totalClusters) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetDiskFreeSpace)) return Fail(e);
  Lookup f;
  if (!Resolve(root ? *root : currentDirectory_, &f)) return false;
  if (!f.node || !f.node->directory) return Fail(kErrPathNotFound);
  const Volume& v = *f.volume;
  constexpr uint64_t kCluster = 8 * 512;
  uint64_t free = v.full ? 0 : v.freeBytes / kCluster;
  uint64_t total = std::max(free, v.totalBytes / kCluster);
  if (sectorsPerCluster) *sectorsPerCluster = 8;
  if (bytesPerSector) *bytesPerSector = 512;
  if (freeClusters) *freeClusters = static_cast<uint32_t>(std::min<uint64_t>(free, 0xFFFFFFFFu));
  if (totalClusters) *totalClusters = static_cast<uint32_t>(std::min<uint64_t>(total, 0xFFFFFFFFu));
  return true;
}

uint32_t MemoryFileSystem::GetFullPathName(const std::string& path, uint32_t bufferSize,
                                           std::string* out) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetFullPathName)) {
    Fail(e);
    return 0;
  }
  uint32_t error = 0;
  std::string full = FullPath(path, &error);
  if (full.empty()) {
    Fail(error);
    return 0;
  }
  uint32_t length = static_cast<uint32_t>(full.size());
  if (length + 1 > bufferSize) return length + 1;
  *out = full;
  return length;
}

uint32_t MemoryFileSystem::GetShortPathName(const std::string& path, uint32_t bufferSize,
                                            std::string* out) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetShortPathName)) {
    Fail(e);
    return 0;
  }
  Lookup f;
  if (!Resolve(path, &f)) return 0;
  if (!f.node) {
    Fail(kErrFileNotFound);
    return 0;
  }
  // Names are kept in the form they were given: the short form is the path.
  uint32_t length = static_cast<uint32_t>(path.size());
  if (length + 1 > bufferSize) return length + 1;
  *out = path;
  return length;
}

uint32_t MemoryFileSystem::GetCurrentDirectory(std::string* out) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetCurrentDirectory)) {
    Fail(e);
    return 0;
  }
  *out = currentDirectory_;
  return static_cast<uint32_t>(out->size());
}

bool MemoryFileSystem::SetCurrentDirectory(const std::string& path) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::SetCurrentDirectory)) return Fail(e);
  Lookup f;
  if (!Resolve(path, &f)) return false;
  if (!f.node) return Fail(kErrFileNotFound);
  if (!f.node->directory) return Fail(kErrDirectory);
  if (f.node->inaccessible) return Fail(kErrAccessDenied);
  std::string full = f.full;
  if (f.parent && full.back() == '\\') full.pop_back();
  if (!f.parent && full.back() != '\\') full += '\\';
  currentDirectory_ = full;
  return true;
}

uint32_t MemoryFileSystem::GetModuleFileName(std::string* out) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetModuleFileName)) {
    Fail(e);
    return 0;
  }
  *out = moduleFileName_;
  return static_cast<uint32_t>(out->size());
}

uint32_t MemoryFileSystem::GetLastError() { return shared_->lastError; }
void MemoryFileSystem::SetLastError(uint32_t error) { shared_->lastError = error; }

bool MemoryFileSystem::FormatErrorText(uint32_t error, std::string* text) {
  // The system's own message texts (English).
  static const std::map<uint32_t, const char*> kTexts = {
      {0, "The operation completed successfully."},
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough storage is available to process this command."},
      {17, "The system cannot move the file to a different disk drive."},
      {19, "The media is write protected."},
      {21, "The device is not ready."},
      {32, "The process cannot access the file because it is being used by another process."},
      {53, "The network path was not found."},
      {80, "The file exists."},
      {87, "The parameter is incorrect."},
      {112, "There is not enough space on the disk."},
      {122, "The data area passed to a system call is too small."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {145, "The directory is not empty."},
      {161, "The specified path is invalid."},
      {183, "Cannot create a file when that file already exists."},
      {206, "The filename or extension is too long."},
      {234, "More data is available."},
      {259, "No more data is available."},
      {267, "The directory name is invalid."},
      {1010, "The configuration registry key is invalid."},
      {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
      {1813, "The specified resource type cannot be found in the image file."},
      {2250, "This network connection does not exist."},
  };
  auto it = kTexts.find(error);
  if (it == kTexts.end()) return Fail(kErrMessageNotFound);
  *text = std::string(it->second) + "\r\n";
  return true;
}

// ---------------------------------------------------------------------------
// Version resources.  The block is this layout: "SVVR", the fixed block's
// presence and 13 words, the translation block's presence, count and
// entries, then the count of strings and each key and value (length-prefixed).

std::vector<uint8_t> MemoryFileSystem::SerializeVersion(const MemoryVersionResource& r) const {
  std::vector<uint8_t> out(kVersionMagic, kVersionMagic + 4);
  PutU32(&out, r.present ? 1 : 0);
  for (uint32_t w : r.fixed) PutU32(&out, w);
  PutU32(&out, r.hasTranslationBlock ? 1 : 0);
  PutU32(&out, static_cast<uint32_t>(r.translations.size()));
  for (uint32_t t : r.translations) PutU32(&out, t);
  PutU32(&out, static_cast<uint32_t>(r.strings.size()));
  for (const auto& s : r.strings) {
    PutBytes(&out, s.first);
    PutBytes(&out, s.second);
  }
  return out;
}

uint32_t MemoryFileSystem::GetFileVersionInfoSize(const std::string& path) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetFileVersionInfoSize)) {
    Fail(e);
    return 0;
  }
  Lookup f;
  if (!Resolve(path, &f)) return 0;
  if (!f.node) {
    Fail(kErrFileNotFound);
    return 0;
  }
  if (f.node->directory || f.node->inaccessible) {
    Fail(kErrAccessDenied);
    return 0;
  }
  if (ShareConflict(f.node.get(), kGenericRead, kShareRead)) {
    Fail(kErrSharingViolation);
    return 0;
  }
  if (!f.node->version) {
    Fail(kErrResourceTypeNotFound);
    return 0;
  }
  if (f.node->versionSize != 0) return f.node->versionSize;
  return static_cast<uint32_t>(SerializeVersion(*f.node->version).size());
}

bool MemoryFileSystem::GetFileVersionInfo(const std::string& path, std::vector<uint8_t>* block) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::GetFileVersionInfo)) return Fail(e);
  Lookup f;
  if (!Resolve(path, &f)) return false;
  if (!f.node) return Fail(kErrFileNotFound);
  if (f.node->directory || f.node->inaccessible) return Fail(kErrAccessDenied);
  if (ShareConflict(f.node.get(), kGenericRead, kShareRead)) return Fail(kErrSharingViolation);
  if (!f.node->version) return Fail(kErrResourceTypeNotFound);
  *block = SerializeVersion(*f.node->version);
  return true;
}

bool MemoryFileSystem::VerQueryValue(const std::vector<uint8_t>& block,
                                     const std::string& subBlock,
                                     std::vector<uint8_t>* value) {
  if (uint32_t e = shared_->faults.Check(MemoryCall::VerQueryValue)) return Fail(e);
  if (block.size() < 4 || std::memcmp(block.data(), kVersionMagic, 4) != 0) return false;
  std::vector<uint8_t> body(block.begin() + 4, block.end());
  Reader in(body);
  uint32_t present = 0, hasTranslations = 0, count = 0;
  uint32_t fixed[13];
  if (!in.U32(&present)) return false;
  for (uint32_t& w : fixed) {
    if (!in.U32(&w)) return false;
  }
  if (!in.U32(&hasTranslations) || !in.U32(&count)) return false;
  std::vector<uint32_t> translations;
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t t = 0;
    if (!in.U32(&t)) return false;
    translations.push_back(t);
  }

  std::string query = subBlock;
  if (!query.empty() && query[0] == '\\') query.erase(0, 1);
  std::string upper = Upper(query);
  value->clear();
  if (upper.empty()) {
    if (!present) return false;
    for (uint32_t w : fixed) PutU32(value, w);
    return true;
  }
  if (upper == "VARFILEINFO\\TRANSLATION") {
    if (!hasTranslations) return false;
    for (uint32_t t : translations) PutU32(value, t);
    return true;
  }
  const std::string prefix = "STRINGFILEINFO\\";
  if (upper.compare(0, prefix.size(), prefix) != 0) return false;
  std::string key = upper.substr(prefix.size());
  uint32_t strings = 0;
  if (!in.U32(&strings)) return false;
  for (uint32_t i = 0; i < strings; ++i) {
    std::string k, v;
    if (!in.Bytes(&k) || !in.Bytes(&v)) return false;
    if (Upper(k) == key) {
      value->assign(v.begin(), v.end());
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// Test helpers.

void MemoryFileSystem::AddDrive(char letter) {
  Lookup f;
  std::string root(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter))));
  root += ":\\";
  Resolve(root, &f, true);
}

void MemoryFileSystem::WriteFile(const std::string& path, const std::string& bytes) {
  Lookup f;
  if (!Resolve(path, &f, true) || !f.parent) return;
  if (f.node && f.node->directory) return;
  if (!f.node) {
    f.node = NewNode(f.leaf, false);
    f.node->volume = f.volume;
    f.parent->children[Upper(f.leaf)] = f.node;
  }
  f.node->data = bytes;
  f.node->write = f.node->access = clock_;
}

bool MemoryFileSystem::ReadFile(const std::string& path, std::string* bytes) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node || f.node->directory) return false;
  *bytes = f.node->data;
  return true;
}

std::string MemoryFileSystem::ReadFile(const std::string& path) {
  std::string bytes;
  ReadFile(path, &bytes);
  return bytes;
}

bool MemoryFileSystem::Exists(const std::string& path) {
  Lookup f;
  return Resolve(path, &f) && f.node != nullptr;
}

bool MemoryFileSystem::IsDirectory(const std::string& path) {
  Lookup f;
  return Resolve(path, &f) && f.node != nullptr && f.node->directory;
}

void MemoryFileSystem::MakeDirectory(const std::string& path) {
  Lookup f;
  if (!Resolve(path, &f, true) || !f.parent || f.node) return;
  auto dir = NewNode(f.leaf, true);
  dir->volume = f.volume;
  f.parent->children[Upper(f.leaf)] = dir;
}

void MemoryFileSystem::SetInUse(const std::string& path, bool inUse, uint32_t otherShare) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node) return;
  f.node->otherAccess = inUse ? static_cast<uint32_t>(kGenericRead) : 0u;
  f.node->otherShare = inUse ? otherShare : 0u;
}

void MemoryFileSystem::SetReadOnly(const std::string& path, bool readOnly) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node) return;
  if (readOnly) {
    f.node->attributes |= kAttrReadOnly;
  } else {
    f.node->attributes &= ~static_cast<uint32_t>(kAttrReadOnly);
  }
}

void MemoryFileSystem::SetInaccessible(const std::string& path, bool inaccessible) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node) return;
  f.node->inaccessible = inaccessible;
}

MemoryFileSystem::Volume* MemoryFileSystem::FindVolume(const std::string& path) {
  Lookup f;
  if (!Resolve(path, &f, true)) return nullptr;
  return f.volume;
}

void MemoryFileSystem::SetDiskFull(char drive, bool full) {
  if (Volume* v = FindVolume(std::string(1, drive) + ":\\")) v->full = full;
}

void MemoryFileSystem::SetFreeSpace(char drive, uint64_t bytes) {
  if (Volume* v = FindVolume(std::string(1, drive) + ":\\")) {
    v->freeBytes = bytes;
    v->totalBytes = std::max(v->totalBytes, bytes);
  }
}

void MemoryFileSystem::SetTotalSpace(char drive, uint64_t bytes) {
  if (Volume* v = FindVolume(std::string(1, drive) + ":\\")) v->totalBytes = bytes;
}

void MemoryFileSystem::SetVersionResource(const std::string& path,
                                          const MemoryVersionResource& resource) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node || f.node->directory) return;
  f.node->version = resource;
}

void MemoryFileSystem::SetVersionInfoSize(const std::string& path, uint32_t size) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node) return;
  f.node->versionSize = size;
}

void MemoryFileSystem::SetFileTimes(const std::string& path, FileTime creation, FileTime access,
                                    FileTime write) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node) return;
  auto get = [](FileTime t) { return (static_cast<uint64_t>(t.high) << 32) | t.low; };
  f.node->creation = get(creation);
  f.node->access = get(access);
  f.node->write = get(write);
}

bool MemoryFileSystem::GetFileTimes(const std::string& path, FileTime* creation,
                                    FileTime* access, FileTime* write) {
  Lookup f;
  if (!Resolve(path, &f) || !f.node) return false;
  if (creation) *creation = ToFileTime(f.node->creation);
  if (access) *access = ToFileTime(f.node->access);
  if (write) *write = ToFileTime(f.node->write);
  return true;
}

void MemoryFileSystem::SetModuleFileName(const std::string& path) { moduleFileName_ = path; }

void MemoryFileSystem::MapNetworkDrive(char letter, const std::string& remote) {
  char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (remote.empty()) {
    mapped_.erase(drive);
    return;
  }
  mapped_[drive] = remote;
  // The share exists once a drive is connected to it.
  Lookup f;
  Resolve(remote, &f, true);
}

void MemoryFileSystem::EndProcess() {
  handles_.clear();
  currentDirectory_ = "C:\\";
}

std::vector<std::string> MemoryFileSystem::List(const std::string& directory) {
  std::vector<std::string> names;
  Lookup f;
  if (!Resolve(directory, &f) || !f.node || !f.node->directory) return names;
  for (const auto& c : f.node->children) names.push_back(c.second->name);
  return names;
}

void MemoryFileSystem::Restart() {
  std::vector<PendingOperation> ops;
  ops.swap(pending_);
  for (const auto& v : volumes_) {
    ForEachNode(v.second->top, [](Node& n) { n.otherAccess = n.otherShare = 0; });
  }
  for (const auto& op : ops) {
    Lookup from;
    if (!Resolve(op.from, &from) || !from.node || !from.parent) continue;
    if (op.to.empty()) {
      // Files go; a directory goes when it is empty by then.
      if (from.node->directory && !from.node->children.empty()) continue;
      from.parent->children.erase(Upper(from.leaf));
      continue;
    }
    Lookup to;
    if (!Resolve(op.to, &to) || !to.parent) continue;
    if (to.node && to.node != from.node) {
      if (!op.replace || to.node->directory) continue;
      to.parent->children.erase(Upper(to.leaf));
    }
    std::shared_ptr<Node> node = from.node;
    from.parent->children.erase(Upper(from.leaf));
    node->name = to.leaf;
    ForEachNode(node, [&](Node& n) { n.volume = to.volume; });
    to.parent->children[Upper(to.leaf)] = node;
  }
}

}  // namespace svp
