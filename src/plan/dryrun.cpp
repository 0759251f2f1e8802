#include "plan/dryrun.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace svp {

namespace {

constexpr uint32_t kMaxPath = 260;
constexpr uint32_t kMaxValueName = 16384;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string Hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%X", value);
  return text;
}

// A full path's prefixes from its drive root to itself: "C:\", "C:\A",
// "C:\A\B".  Empty for paths that are not on a drive.
std::vector<std::string> Prefixes(const std::string& full) {
  std::vector<std::string> out;
  if (full.size() < 3 || full[1] != ':' || full[2] != '\\') return out;
  out.push_back(full.substr(0, 3));
  for (size_t slash = full.find('\\', 3); ; slash = full.find('\\', slash + 1)) {
    const std::string prefix = full.substr(0, slash);
    if (prefix.size() > 3 && prefix != out.back()) out.push_back(prefix);
    if (slash == std::string::npos) break;
  }
  return out;
}

std::string Join(const std::string& directory, const std::string& name) {
  return directory.back() == '\\' ? directory + name : directory + "\\" + name;
}

// How a value reads in the plan.
std::string ValueText(uint32_t type, const std::string& bytes) {
  if (type == kRegSz || type == kRegExpandSz) return "\"" + std::string(bytes.c_str()) + "\"";
  if (type == kRegDword && bytes.size() == 4) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[i]);
    return Hex(v);
  }
  if (type == kRegMultiSz) {
    std::string out;
    for (size_t at = 0; at < bytes.size() && bytes[at] != '\0'; at = bytes.find('\0', at) + 1) {
      if (!out.empty()) out += " ";
      out += "\"" + std::string(bytes.c_str() + at) + "\"";
      if (bytes.find('\0', at) == std::string::npos) break;
    }
    return "[" + out + "]";
  }
  std::string out = "hex:";
  char byte[4];
  for (unsigned char c : bytes) {
    snprintf(byte, sizeof byte, "%02x", c);
    out += byte;
  }
  return out;
}

bool ReadValue(IRegistry& reg, RegKey root, const std::string& key, const std::string& name,
               uint32_t* type, std::string* bytes) {
  RegKey h = 0;
  if (reg.OpenKey(root, key, kKeyQueryValue, &h) != 0) return false;
  uint32_t size = 0;
  uint32_t status = reg.QueryValue(h, name, type, nullptr, &size);
  if (status == 0) {
    bytes->assign(size, '\0');
    status = reg.QueryValue(h, name, type, reinterpret_cast<uint8_t*>(&(*bytes)[0]), &size);
    bytes->resize(size);
  }
  reg.CloseKey(h);
  return status == 0;
}

bool KeyExists(IRegistry& reg, RegKey root, const std::string& key) {
  RegKey h = 0;
  if (reg.OpenKey(root, key, kKeyQueryValue, &h) != 0) return false;
  reg.CloseKey(h);
  return true;
}

bool ReadWholeFile(IFileSystem& fs, const std::string& path, std::string* bytes) {
  const FileHandle h = fs.CreateFile(path, kGenericRead, kShareRead | kShareWrite, kOpenExisting);
  if (h == kInvalidFile) return false;
  bytes->clear();
  char buffer[65536];
  uint32_t got = 0;
  while (fs.ReadFile(h, buffer, sizeof buffer, &got) && got != 0) bytes->append(buffer, got);
  fs.CloseHandle(h);
  return true;
}

}  // namespace

std::string DryRunRootName(RegKey root) {
  switch (root) {
    case kHKeyLocalMachine: return "HKLM";
    case kHKeyCurrentUser: return "HKCU";
    case kHKeyClassesRoot: return "HKCR";
    case kHKeyUsers: return "HKU";
    default: return Hex(static_cast<uint32_t>(root));
  }
}

// ---------------------------------------------------------------------------
class DryRunPlatform::Files : public IFileSystem {
 public:
  Files(IFileSystem& real, DryRunLister lister, std::vector<DryRunEvent>* events)
      : real_(real), lister_(std::move(lister)), events_(*events), model_(&shared_) {
    last_ = &real_;
  }

  MemoryFileSystem& model() { return model_; }
  IFileSystem& real() { return real_; }

  FileHandle CreateFile(const std::string& path, uint32_t access, uint32_t share,
                        uint32_t disposition) override {
    const std::string full = Prepare(path);
    Load(full);
    Probe(full);
    const bool existed = model_.Exists(full);
    const FileHandle h = model_.CreateFile(full, access, share, disposition);
    last_ = &model_;
    if (h != kInvalidFile && (access & kGenericWrite) != 0) {
      writers_[h] = full;
      derived_[Upper(full)] = "";
      changed_.insert(Upper(full));
      if (!existed || disposition == kCreateAlways || disposition == kTruncateExisting)
        Record(DryRunKind::kFileWritten, full, existed ? "replaced" : "created", 0);
    }
    return h;
  }
  bool ReadFile(FileHandle h, void* buffer, uint32_t count, uint32_t* read) override {
    return Model(model_.ReadFile(h, buffer, count, read));
  }
  bool WriteFile(FileHandle h, const void* data, uint32_t count, uint32_t* written) override {
    const bool ok = model_.WriteFile(h, data, count, written);
    auto writer = writers_.find(h);
    if (ok && writer != writers_.end() && count != 0)
      Record(DryRunKind::kWrite, writer->second,
             std::string(static_cast<const char*>(data), count), 0);
    return Model(ok);
  }
  bool FlushFileBuffers(FileHandle h) override { return Model(model_.FlushFileBuffers(h)); }
  bool SetFilePointer(FileHandle h, uint64_t position) override {
    return Model(model_.SetFilePointer(h, position));
  }
  bool SetEndOfFile(FileHandle h) override { return Model(model_.SetEndOfFile(h)); }
  bool CloseHandle(FileHandle h) override {
    writers_.erase(h);
    return Model(model_.CloseHandle(h));
  }
  bool GetFileInformationByHandle(FileHandle h, ByHandleFileInfo* info) override {
    return Model(model_.GetFileInformationByHandle(h, info));
  }
  bool SetFileTime(FileHandle h, const FileTime* c, const FileTime* a, const FileTime* w) override {
    return Model(model_.SetFileTime(h, c, a, w));
  }

  bool DeleteFile(const std::string& path) override {
    const std::string full = Prepare(path);
    Probe(full);
    const bool ok = Model(model_.DeleteFile(full));
    Forget(full);
    Record(DryRunKind::kFileDeleted, full, "", ok ? 0 : shared_.lastError);
    return ok;
  }
  bool MoveFileEx(const std::string& path, const std::string* newPath, uint32_t flags) override {
    const std::string full = Prepare(path);
    std::string target;
    if (newPath != nullptr) target = Prepare(*newPath);
    const bool delayed = (flags & kMoveDelayUntilReboot) != 0;
    if (!delayed) {
      Load(full);
      Probe(full);
    }
    const bool ok = Model(model_.MoveFileEx(full, newPath != nullptr ? &target : nullptr, flags));
    const uint32_t result = ok ? 0 : shared_.lastError;
    if (delayed) {
      Record(newPath == nullptr ? DryRunKind::kFileDeleteAtRestart : DryRunKind::kFileMoveAtRestart,
             full, target, result);
    } else {
      if (ok) {
        derived_[Upper(target)] = OriginOf(full);
        changed_.insert(Upper(target));
        Forget(full);
      }
      Record(DryRunKind::kFileMoved, full, target, result);
    }
    return ok;
  }
  bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) override {
    const std::string source = Prepare(from);
    const std::string target = Prepare(to);
    Load(source);
    Probe(target);
    const bool ok = Model(model_.CopyFile(source, target, failIfExists));
    if (ok) {
      pending_.erase(Upper(target));
      derived_[Upper(target)] = OriginOf(source);
      changed_.insert(Upper(target));
    }
    Record(DryRunKind::kFileCopied, source, target, ok ? 0 : shared_.lastError);
    return ok;
  }
  bool CreateDirectory(const std::string& path) override {
    const std::string full = Prepare(path);
    const bool ok = Model(model_.CreateDirectory(full));
    Record(DryRunKind::kDirectoryCreated, full, "", ok ? 0 : shared_.lastError);
    return ok;
  }
  bool RemoveDirectory(const std::string& path) override {
    const std::string full = Prepare(path);
    const bool ok = Model(model_.RemoveDirectory(full));
    Record(DryRunKind::kDirectoryRemoved, full, "", ok ? 0 : shared_.lastError);
    return ok;
  }
  uint32_t GetFileAttributes(const std::string& path) override {
    const std::string full = Prepare(path);
    const uint32_t attributes = model_.GetFileAttributes(full);
    last_ = &model_;
    return attributes;
  }
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
    const std::string full = Prepare(path);
    const bool ok = Model(model_.SetFileAttributes(full, attributes));
    if (ok) changed_.insert(Upper(full));
    Record(DryRunKind::kAttributesSet, full, Hex(attributes), ok ? 0 : shared_.lastError);
    return ok;
  }
  int AccessExists(const std::string& path) override {
    const std::string full = Prepare(path);
    last_ = &model_;
    return model_.AccessExists(full);
  }
  bool GetDiskFreeSpace(const std::string* root, uint32_t* spc, uint32_t* bps, uint32_t* free,
                        uint32_t* total) override {
    return Real(real_.GetDiskFreeSpace(root, spc, bps, free, total));
  }
  uint32_t GetFullPathName(const std::string& path, uint32_t size, std::string* out) override {
    last_ = &real_;
    return real_.GetFullPathName(path, size, out);
  }
  // Short names exist only on the workstation; what the run created has
  // the model's answer.
  uint32_t GetShortPathName(const std::string& path, uint32_t size, std::string* out) override {
    const std::string full = Prepare(path);
    if (model_.Exists(full) && real_.GetFileAttributes(full) != kInvalidAttributes) {
      last_ = &real_;
      return real_.GetShortPathName(full, size, out);
    }
    last_ = &model_;
    return model_.GetShortPathName(full, size, out);
  }
  uint32_t GetCurrentDirectory(std::string* out) override {
    last_ = &real_;
    return real_.GetCurrentDirectory(out);
  }
  // The process's own state, not the workstation's.
  bool SetCurrentDirectory(const std::string& path) override {
    return Real(real_.SetCurrentDirectory(path));
  }
  uint32_t GetModuleFileName(std::string* out) override {
    last_ = &real_;
    return real_.GetModuleFileName(out);
  }
  uint32_t GetLastError() override { return last_->GetLastError(); }
  void SetLastError(uint32_t error) override {
    real_.SetLastError(error);
    model_.SetLastError(error);
  }
  bool FormatErrorText(uint32_t error, std::string* text) override {
    return real_.FormatErrorText(error, text);
  }
  // Version resources come from the real file the model's file stems from.
  uint32_t GetFileVersionInfoSize(const std::string& path) override {
    std::string origin;
    if (!Origin(path, &origin)) return 0;
    last_ = &real_;
    return real_.GetFileVersionInfoSize(origin);
  }
  bool GetFileVersionInfo(const std::string& path, std::vector<uint8_t>* block) override {
    std::string origin;
    if (!Origin(path, &origin)) return false;
    return Real(real_.GetFileVersionInfo(origin, block));
  }
  bool VerQueryValue(const std::vector<uint8_t>& block, const std::string& sub,
                     std::vector<uint8_t>* value) override {
    return real_.VerQueryValue(block, sub, value);
  }

  // The full path, with everything on its way copied into the model.
  std::string Prepare(const std::string& path) {
    std::string full;
    const uint32_t length = real_.GetFullPathName(path, kMaxPath, &full);
    if (length == 0 || length >= kMaxPath) full = path;
    for (const std::string& prefix : Prefixes(full)) Materialize(prefix);
    touched_.emplace(Upper(full), full);
    return full;
  }

  // The touched paths that differ between the model and the workstation.
  void Effect(DryRunEffect* effect) {
    for (const auto& touched : touched_) {
      const std::string& key = touched.first;
      const std::string& path = touched.second;
      const uint32_t realAttributes = RealAttributes(key, path);
      const uint32_t modelAttributes = model_.GetFileAttributes(path);
      const bool inReal = realAttributes != kInvalidAttributes;
      const bool inModel = modelAttributes != kInvalidAttributes;
      const bool realDir = inReal && (realAttributes & kAttrDirectory) != 0;
      const bool modelDir = inModel && (modelAttributes & kAttrDirectory) != 0;
      if (inReal && !inModel) {
        (realDir ? effect->directoriesRemoved : effect->filesRemoved).push_back(path);
      } else if (!inReal && inModel) {
        (modelDir ? effect->directoriesCreated : effect->filesCreated).push_back(path);
      } else if (inReal && !realDir && changed_.count(key) != 0) {
        std::string before, after;
        RealBytes(path, &before);
        model_.ReadFile(path, &after);
        if (before != after || realAttributes != modelAttributes)
          effect->filesChanged.push_back(path);
      }
    }
    for (const auto& op : model_.PendingOperations())
      effect->pendingOperations.push_back(op.to.empty() ? "delete " + op.from
                                                        : "move " + op.from + " -> " + op.to);
  }

  bool RealBytes(const std::string& path, std::string* bytes) {
    return ReadWholeFile(real_, path, bytes);
  }
  uint32_t RealAttributesOf(const std::string& path) { return RealAttributes(Upper(path), path); }
  // A real file another program holds open cannot be opened without
  // sharing; opening it so changes nothing.
  bool InUse(const std::string& full) {
    const FileHandle h = real_.CreateFile(full, kGenericRead, 0, kOpenExisting);
    if (h == kInvalidFile) return real_.GetLastError() == kErrSharingViolation;
    real_.CloseHandle(h);
    return false;
  }
  void SetProbe(bool probe) { probe_ = probe; }
  bool ModelEntries(const std::string& directory, std::vector<DryRunDirEntry>* entries) {
    if (!model_.IsDirectory(directory)) return false;
    for (const std::string& name : model_.List(directory))
      entries->push_back({name, model_.GetFileAttributes(Join(directory, name))});
    return true;
  }
  bool ModelBytes(const std::string& path, std::string* bytes) {
    const std::string full = Prepare(path);
    Load(full);
    return model_.ReadFile(full, bytes);
  }

 private:
  bool Model(bool ok) {
    last_ = &model_;
    return ok;
  }
  bool Real(bool ok) {
    last_ = &real_;
    return ok;
  }
  void Record(DryRunKind kind, const std::string& target, const std::string& detail,
              uint32_t result) {
    events_.push_back({kind, target, detail, result});
  }

  // A directory's entries become the model's the first time it is reached;
  // a name it lists never comes back once the run has removed it.
  void Materialize(const std::string& full) {
    const std::string key = Upper(full);
    if (!materialized_.insert(key).second) return;
    const uint32_t attributes = RealAttributes(key, full);
    if (attributes == kInvalidAttributes || (attributes & kAttrDirectory) == 0) return;
    if (full.size() == 3) model_.AddDrive(full[0]);
    if (!model_.IsDirectory(full)) return;
    std::vector<DryRunDirEntry> entries;
    if (!lister_ || !lister_(full, &entries)) return;
    for (const DryRunDirEntry& entry : entries) {
      const std::string child = Join(full, entry.name);
      realAttributes_[Upper(child)] = entry.attributes;
      if ((entry.attributes & kAttrDirectory) != 0) {
        model_.MakeDirectory(child);
      } else {
        model_.WriteFile(child, "");
        pending_.insert(Upper(child));
      }
      model_.SetFileAttributes(child, entry.attributes);
    }
  }

  // What a real path was when first met: its directory's listing says it
  // for all but drive roots and paths off a drive, one call for a thousand.
  uint32_t RealAttributes(const std::string& key, const std::string& full) {
    auto it = realAttributes_.find(key);
    if (it != realAttributes_.end()) return it->second;
    const uint32_t attributes = real_.GetFileAttributes(full);
    realAttributes_[key] = attributes;
    return attributes;
  }

  // The bytes (and times) of a real file, when the program first opens it.
  void Load(const std::string& full) {
    auto it = pending_.find(Upper(full));
    if (it == pending_.end()) return;
    pending_.erase(it);
    const FileHandle h = real_.CreateFile(full, kGenericRead, kShareRead | kShareWrite, kOpenExisting);
    if (h == kInvalidFile) return;
    std::string bytes;
    char buffer[65536];
    uint32_t got = 0;
    while (real_.ReadFile(h, buffer, sizeof buffer, &got) && got != 0) bytes.append(buffer, got);
    ByHandleFileInfo info;
    const bool haveInfo = real_.GetFileInformationByHandle(h, &info);
    real_.CloseHandle(h);
    const uint32_t attributes = model_.GetFileAttributes(full);
    model_.SetFileAttributes(full, kAttrNormal);
    model_.WriteFile(full, bytes);
    if (haveInfo) model_.SetFileTimes(full, info.creation, info.lastAccess, info.lastWrite);
    if (attributes != kInvalidAttributes) model_.SetFileAttributes(full, attributes);
  }

  void Probe(const std::string& full) {
    if (!probe_) return;
    const std::string key = Upper(full);
    if (changed_.count(key) != 0 || !probed_.insert(key).second) return;
    if (!model_.Exists(full) || model_.IsDirectory(full)) return;
    if (InUse(full)) model_.SetInUse(full, true);
  }

  void Forget(const std::string& full) {
    if (model_.Exists(full)) return;
    pending_.erase(Upper(full));
    derived_.erase(Upper(full));
  }

  std::string OriginOf(const std::string& full) const {
    auto it = derived_.find(Upper(full));
    return it == derived_.end() ? full : it->second;
  }
  // The real file whose version resource the model's file has; false (and
  // the model's error) when the run has none.
  bool Origin(const std::string& path, std::string* origin) {
    const std::string full = Prepare(path);
    last_ = &model_;
    if (!model_.Exists(full)) {
      model_.GetFileVersionInfoSize(full);
      return false;
    }
    *origin = OriginOf(full);
    if (origin->empty()) {
      model_.SetLastError(1813);  // a file the run wrote has no resources
      return false;
    }
    return true;
  }

  IFileSystem& real_;
  DryRunLister lister_;
  std::vector<DryRunEvent>& events_;
  MemoryShared shared_;
  MemoryFileSystem model_;
  IFileSystem* last_;
  bool probe_ = true;
  std::set<std::string> materialized_;  // upper-case paths
  std::set<std::string> pending_;       // placeholders whose bytes are still the real file's
  std::set<std::string> probed_;
  std::map<std::string, std::string> touched_;  // upper path -> path as first met
  std::map<std::string, uint32_t> realAttributes_;  // upper path -> as first met
  std::set<std::string> changed_;       // written, copied or renamed onto by the run
  std::map<std::string, std::string> derived_;  // upper path -> real origin ("" none)
  std::map<FileHandle, std::string> writers_;
};

// ---------------------------------------------------------------------------
class DryRunPlatform::Registry : public IRegistry {
 public:
  Registry(IRegistry& real, std::vector<DryRunEvent>* events) : real_(real), events_(*events) {}

  MemoryRegistry& model() { return model_; }
  IRegistry& real() { return real_; }

  uint32_t OpenKey(RegKey root, const std::string& sub, uint32_t access, RegKey* out) override {
    const Where where = Resolve(root, sub);
    const uint32_t status = model_.OpenKey(root, sub, access, out);
    if (status == 0) handles_[*out] = where;
    return status;
  }
  uint32_t CreateKey(RegKey root, const std::string& sub, uint32_t options, uint32_t access,
                     RegKey* out, bool* created) override {
    const Where where = Resolve(root, sub);
    bool isNew = false;
    const uint32_t status = model_.CreateKey(root, sub, options, access, out, &isNew);
    if (created != nullptr) *created = isNew;
    if (status == 0) handles_[*out] = where;
    if (status != 0 || isNew) {
      Record(DryRunKind::kKeyCreated, Name(where), "", status);
      if (isNew) keys_.insert(where);
    }
    return status;
  }
  uint32_t CloseKey(RegKey key) override {
    handles_.erase(key);
    return model_.CloseKey(key);
  }
  uint32_t QueryValue(RegKey key, const std::string& name, uint32_t* type, uint8_t* data,
                      uint32_t* size) override {
    return model_.QueryValue(key, name, type, data, size);
  }
  uint32_t SetValue(RegKey key, const std::string& name, uint32_t type, const uint8_t* data,
                    uint32_t size) override {
    const Where where = Of(key);
    std::string before;
    uint32_t beforeType = 0;
    const bool had = model_.GetRaw(where.first, where.second, name, &before, &beforeType);
    const uint32_t status = model_.SetValue(key, name, type, data, size);
    const std::string after(reinterpret_cast<const char*>(data), data != nullptr ? size : 0);
    Record(DryRunKind::kValueSet, Name(where),
           "\"" + name + "\" = " + ValueText(type, after) +
               (had ? " (was " + ValueText(beforeType, before) + ")" : " (new)"),
           status);
    values_.insert({where, name});
    return status;
  }
  uint32_t EnumKey(RegKey key, uint32_t index, char* name, uint32_t* size) override {
    return model_.EnumKey(key, index, name, size);
  }
  uint32_t EnumValue(RegKey key, uint32_t index, char* name, uint32_t* nameSize, uint32_t* type,
                     uint8_t* data, uint32_t* dataSize) override {
    return model_.EnumValue(key, index, name, nameSize, type, data, dataSize);
  }
  uint32_t QueryInfoKey(RegKey key, uint32_t* subKeys, uint32_t* maxSubKeyLen, uint32_t* values,
                        uint32_t* maxValueNameLen, uint32_t* maxValueLen) override {
    return model_.QueryInfoKey(key, subKeys, maxSubKeyLen, values, maxValueNameLen, maxValueLen);
  }
  uint32_t DeleteKey(RegKey root, const std::string& sub) override {
    const Where where = Resolve(root, sub);
    uint32_t subKeys = 0;
    RegKey h = 0;
    if (model_.OpenKey(where.first, where.second, kKeyRead, &h) == 0) {
      model_.QueryInfoKey(h, &subKeys, nullptr, nullptr, nullptr, nullptr);
      model_.CloseKey(h);
    }
    const uint32_t status = model_.DeleteKey(root, sub);
    std::string detail;
    if (status != 0 && subKeys != 0) detail = "kept: it has " + std::to_string(subKeys) + " sub-key(s)";
    if (status == kErrFileNotFound) detail = "not there";
    Record(DryRunKind::kKeyDeleted, Name(where), detail, status);
    keys_.insert(where);
    return status;
  }
  uint32_t DeleteValue(RegKey key, const std::string& name) override {
    const Where where = Of(key);
    std::string before;
    uint32_t type = 0;
    const bool had = model_.GetRaw(where.first, where.second, name, &before, &type);
    const uint32_t status = model_.DeleteValue(key, name);
    Record(DryRunKind::kValueDeleted, Name(where),
           "\"" + name + "\"" + (had ? " (was " + ValueText(type, before) + ")" : ""), status);
    values_.insert({where, name});
    return status;
  }

  void Effect(DryRunEffect* effect) {
    for (const Where& key : keys_) {
      const bool inReal = KeyExists(real_, key.first, key.second);
      const bool inModel = model_.KeyExists(key.first, key.second);
      if (inReal && !inModel) effect->keysRemoved.push_back(Name(key));
      if (!inReal && inModel) effect->keysCreated.push_back(Name(key));
    }
    for (const auto& value : values_) {
      const Where& key = value.first;
      std::string before, after;
      uint32_t beforeType = 0, afterType = 0;
      const bool inReal = ReadValue(real_, key.first, key.second, value.second, &beforeType, &before);
      const bool inModel = model_.GetRaw(key.first, key.second, value.second, &after, &afterType);
      // A value goes with its key: the key's removal says it.
      if (inReal && !inModel && model_.KeyExists(key.first, key.second))
        effect->valuesRemoved.push_back(Name(key) + "\\\\" + value.second);
      if (inModel && (!inReal || before != after || beforeType != afterType))
        effect->valuesSet.push_back(Name(key) + "\\\\" + value.second + "=" +
                                    ValueText(afterType, after));
    }
  }

 private:
  using Where = std::pair<RegKey, std::string>;  // predefined root, path below it

  Where Of(RegKey key) const {
    auto it = handles_.find(key);
    return it != handles_.end() ? it->second : Where(key, "");
  }
  // The key's place under its predefined root, with the keys on the way
  // copied into the model.
  Where Resolve(RegKey root, const std::string& sub) {
    Where where = Of(root);
    std::string path = where.second;
    if (!sub.empty()) path = path.empty() ? sub : path + "\\" + sub;
    where.second = path;
    Materialize(where.first, "");
    for (size_t slash = path.find('\\'); ; slash = path.find('\\', slash + 1)) {
      Materialize(where.first, path.substr(0, slash));
      if (slash == std::string::npos) break;
    }
    return where;
  }
  // A key's values and the names of its sub-keys, once.
  void Materialize(RegKey root, const std::string& path) {
    if (!materialized_.insert(Upper(DryRunRootName(root) + "\\" + path)).second) return;
    if (!path.empty() && !model_.KeyExists(root, path)) return;
    RegKey h = 0;
    if (real_.OpenKey(root, path, kKeyRead, &h) != 0) return;
    std::vector<char> name(kMaxValueName + 1);
    for (uint32_t i = 0;; ++i) {
      uint32_t size = static_cast<uint32_t>(name.size());
      if (real_.EnumKey(h, i, name.data(), &size) != 0) break;
      model_.CreateKeyPath(root, path.empty() ? name.data() : path + "\\" + name.data());
    }
    for (uint32_t i = 0;; ++i) {
      uint32_t nameSize = static_cast<uint32_t>(name.size());
      uint32_t type = 0, dataSize = 0;
      if (real_.EnumValue(h, i, name.data(), &nameSize, &type, nullptr, &dataSize) != 0) break;
      std::string bytes;
      ReadValue(real_, root, path, std::string(name.data(), nameSize), &type, &bytes);
      model_.SetBinary(root, path, std::string(name.data(), nameSize), type, bytes);
    }
    real_.CloseKey(h);
  }
  static std::string Name(const Where& where) {
    return DryRunRootName(where.first) + (where.second.empty() ? "" : "\\" + where.second);
  }
  void Record(DryRunKind kind, const std::string& target, const std::string& detail,
              uint32_t result) {
    events_.push_back({kind, target, detail, result});
  }

  IRegistry& real_;
  std::vector<DryRunEvent>& events_;
  MemoryShared shared_;
  MemoryRegistry model_{&shared_};
  std::map<RegKey, Where> handles_;
  std::set<std::string> materialized_;
  std::set<Where> keys_;
  std::set<std::pair<Where, std::string>> values_;
};

// ---------------------------------------------------------------------------
class DryRunPlatform::System : public ISystem {
 public:
  System(ISystem& real, IFileSystem& realFiles, std::vector<DryRunEvent>* events)
      : real_(real), realFiles_(realFiles), events_(*events) {}
  void SetCommandLine(const std::string& args) { commandLine_ = args; }

  bool GetVersionEx(OsVersion* version) override { return real_.GetVersionEx(version); }
  bool IsUserAdmin() override { return real_.IsUserAdmin(); }
  bool RestartWindows() override {
    events_.push_back({DryRunKind::kRestart, "", "", 0});
    return true;
  }
  // The name carries no directory: the process would come from the current
  // directory, so its presence there tells whether it would start.
  uint32_t StartProcess(const std::string& name, uint32_t flags) override {
    const bool present = realFiles_.GetFileAttributes(name) != kInvalidAttributes;
    const uint32_t result = present ? 0u : static_cast<uint32_t>(kErrFileNotFound);
    events_.push_back({DryRunKind::kProcessStarted, name, Hex(flags), result});
    return result;
  }
  uint32_t GetWindowsDirectory(std::string* out) override { return real_.GetWindowsDirectory(out); }
  uint32_t GetSystemDirectory(std::string* out) override { return real_.GetSystemDirectory(out); }
  bool GetEnvironmentVariable(const std::string& name, std::string* value) override {
    return real_.GetEnvironmentVariable(name, value);
  }
  uint32_t WNetGetConnection(const std::string& local, std::string* remote) override {
    return real_.WNetGetConnection(local, remote);
  }
  std::string GetCommandLineArgs() override { return commandLine_; }
  void NotifyEnvironmentChange() override {
    events_.push_back({DryRunKind::kEnvironmentNotified, "", "", 0});
  }
  bool LoadString(uint32_t id, std::string* text) override { return real_.LoadString(id, text); }
  bool EqualNoCase(const std::string& a, const std::string& b) override {
    return real_.EqualNoCase(a, b);
  }

 private:
  ISystem& real_;
  IFileSystem& realFiles_;
  std::vector<DryRunEvent>& events_;
  std::string commandLine_;
};

// ---------------------------------------------------------------------------
// A silent run meets its questions with these answers: Ignore to the
// Abort/Retry/Ignore box, No to the restart question, Cancel where a box
// offers it, OK to a plain box.
class DryRunPlatform::UserInterface : public IUserInterface {
 public:
  explicit UserInterface(std::vector<DryRunEvent>* events) : events_(*events) {}
  int MessageBox(const std::string& text, const std::string&, uint32_t type, bool) override {
    int answer = kIdOk;
    const char* name = "OK";
    switch (type & 0xF) {
      case kMbAbortRetryIgnore: answer = kIdIgnore; name = "Ignore"; break;
      case kMbYesNo: answer = kIdNo; name = "No"; break;
      case kMbOkCancel: answer = kIdCancel; name = "Cancel"; break;
      default: break;
    }
    events_.push_back({DryRunKind::kQuestion, text, name, 0});
    return answer;
  }
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  bool GetOpenFileName(const OpenFileRequest& request, std::string*) override {
    events_.push_back({DryRunKind::kQuestion, "file dialog " + request.title, "Cancel", 0});
    return false;
  }
  void PumpMessages() override {}

 private:
  std::vector<DryRunEvent>& events_;
};

class DryRunPlatform::Shell : public IShell {
 public:
  Shell(IShell& real, std::vector<DryRunEvent>* events) : real_(real), events_(*events) {}
  bool GetSpecialFolderPath(int csidl, std::string* path) override {
    return real_.GetSpecialFolderPath(csidl, path);
  }
  void OpenDocument(const std::string& path) override {
    events_.push_back({DryRunKind::kDocumentOpened, path, "", 0});
  }
  void InitializeCom() override { real_.InitializeCom(); }
  void UninitializeCom() override { real_.UninitializeCom(); }

 private:
  IShell& real_;
  std::vector<DryRunEvent>& events_;
};

// Looking components up asks the library; removing them and reviewing the
// bindings only records the request.
class DryRunPlatform::NetSetup : public INetSetup {
 public:
  NetSetup(INetSetup& real, std::vector<DryRunEvent>* events) : real_(real), events_(*events) {}
  uint32_t Load() override { return real_.Load(); }
  void Free() override { real_.Free(); }
  bool IsLoaded() const override { return real_.IsLoaded(); }
  uint32_t FindSoftwareComponent(const std::string& option, std::string* inf) override {
    if (removed_.count(Upper(option)) != 0) return MemoryNetSetup::kNotInstalled;
    return real_.FindSoftwareComponent(option, inf);
  }
  uint32_t ComponentRemove(const std::string& option, uint32_t* infResult) override {
    events_.push_back({DryRunKind::kNetRemove, option, "", 0});
    removed_.insert(Upper(option));
    if (infResult != nullptr) *infResult = 0;
    return 0;
  }
  uint32_t ReviewBindings() override {
    events_.push_back({DryRunKind::kNetReview, "", "", 0});
    return 0;
  }

 private:
  INetSetup& real_;
  std::vector<DryRunEvent>& events_;
  std::set<std::string> removed_;
};

// The version-conflict dialog waits for a person even in a silent run; the
// plan takes Yes, the kit's intent, and shows that it did.
class DryRunPlatform::Dialogs : public IDialogs {
 public:
  Dialogs(IDialogs* real, std::vector<DryRunEvent>* events) : real_(real), events_(*events) {}
  int ShowVersionConflict(const VersionConflictTexts& texts) override {
    events_.push_back({DryRunKind::kQuestion,
                       "version conflict: " + texts.fileName + " " + texts.description, "Yes", 0});
    return kIdVersionYes;
  }
  bool FileTimeToLocalTime(const FileTime& utc, SystemTime* local) override {
    return real_ != nullptr && real_->FileTimeToLocalTime(utc, local);
  }

 private:
  IDialogs* real_;
  std::vector<DryRunEvent>& events_;
};

// ---------------------------------------------------------------------------
DryRunPlatform::DryRunPlatform(const Platform& real, DryRunLister lister) : real_(real) {
  files_ = std::make_unique<Files>(*real.fs, std::move(lister), &events_);
  registry_ = std::make_unique<Registry>(*real.reg, &events_);
  system_ = std::make_unique<System>(*real.sys, *real.fs, &events_);
  ui_ = std::make_unique<UserInterface>(&events_);
  shell_ = std::make_unique<Shell>(*real.shell, &events_);
  net_ = std::make_unique<NetSetup>(*real.net, &events_);
  dialogs_ = std::make_unique<Dialogs>(real.dialogs, &events_);
}

DryRunPlatform::~DryRunPlatform() = default;

void DryRunPlatform::SetCommandLine(const std::string& args) { system_->SetCommandLine(args); }

void DryRunPlatform::SetProbeInUse(bool probe) { files_->SetProbe(probe); }

bool DryRunPlatform::RealInUse(const std::string& path) { return files_->InUse(path); }

Platform DryRunPlatform::Parts(ISheetHost* sheets) {
  Platform p;
  p.fs = files_.get();
  p.reg = registry_.get();
  p.sys = system_.get();
  p.ui = ui_.get();
  p.shell = shell_.get();
  p.net = net_.get();
  p.sheets = sheets;
  p.dialogs = dialogs_.get();
  return p;
}

const std::vector<DryRunEvent>& DryRunPlatform::Events() const { return events_; }

bool DryRunPlatform::ModelFile(const std::string& path, std::string* bytes) {
  return files_->ModelBytes(path, bytes);
}

bool DryRunPlatform::RealFile(const std::string& path, std::string* bytes) {
  return files_->RealBytes(path, bytes);
}

bool DryRunPlatform::ModelString(RegKey root, const std::string& key, const std::string& name,
                                 std::string* value) {
  uint32_t type = 0;
  RegKey h = 0;
  // Through the layer, so that a key never read is copied first.
  if (registry_->OpenKey(root, key, kKeyQueryValue, &h) != 0) return false;
  registry_->CloseKey(h);
  if (!registry_->model().GetRaw(root, key, name, value, &type)) return false;
  value->resize(strnlen(value->c_str(), value->size()));
  return true;
}

bool DryRunPlatform::RealString(RegKey root, const std::string& key, const std::string& name,
                                std::string* value) {
  uint32_t type = 0;
  if (!ReadValue(*real_.reg, root, key, name, &type, value)) return false;
  value->resize(strnlen(value->c_str(), value->size()));
  return true;
}

uint32_t DryRunPlatform::RealAttributes(const std::string& path) {
  return files_->RealAttributesOf(path);
}

bool DryRunPlatform::ModelEntries(const std::string& directory,
                                  std::vector<DryRunDirEntry>* entries) {
  return files_->ModelEntries(directory, entries);
}

DryRunEffect DryRunPlatform::Effect() {
  DryRunEffect effect;
  files_->Effect(&effect);
  registry_->Effect(&effect);
  return effect;
}

}  // namespace svp
