#include "platform/memory/memory_faults.h"

#include "platform/memory/memory_internal.h"

namespace svp {

namespace {
const char* const kNames[] = {
    "CreateFile", "ReadFile", "WriteFile", "FlushFileBuffers", "SetFilePointer", "SetEndOfFile",
    "CloseHandle", "GetFileInformationByHandle", "SetFileTime", "DeleteFile", "MoveFileEx",
    "CopyFile", "CreateDirectory", "RemoveDirectory", "GetFileAttributes", "SetFileAttributes",
    "AccessExists", "GetDiskFreeSpace", "GetFullPathName", "GetShortPathName",
    "GetCurrentDirectory", "SetCurrentDirectory", "GetModuleFileName", "GetFileVersionInfoSize",
    "GetFileVersionInfo", "VerQueryValue", "OpenKey", "CreateKey", "CloseKey", "QueryValue",
    "SetValue", "EnumKey", "EnumValue", "QueryInfoKey", "DeleteKey", "DeleteValue",
    "GetVersionEx", "RestartWindows", "StartProcess", "GetEnvironmentVariable",
    "WNetGetConnection", "LoadString", "GetSpecialFolderPath", "Load", "FindSoftwareComponent",
    "ComponentRemove", "ReviewBindings"};
static_assert(sizeof(kNames) / sizeof(kNames[0]) == static_cast<size_t>(MemoryCall::kCount),
              "one name per call");

int Find(const std::string& name) {
  if (name == FaultPlan::kAnyMutating) return -1;
  for (size_t i = 0; i < sizeof(kNames) / sizeof(kNames[0]); ++i) {
    if (EqualNoCase(name, kNames[i])) return static_cast<int>(i);
  }
  return -2;
}
}  // namespace

const char* MemoryCallName(MemoryCall call) { return kNames[static_cast<int>(call)]; }

bool FaultPlan::IsMutating(MemoryCall call) {
  switch (call) {
    case MemoryCall::WriteFile:
    case MemoryCall::FlushFileBuffers:
    case MemoryCall::SetEndOfFile:
    case MemoryCall::SetFileTime:
    case MemoryCall::DeleteFile:
    case MemoryCall::MoveFileEx:
    case MemoryCall::CopyFile:
    case MemoryCall::CreateDirectory:
    case MemoryCall::RemoveDirectory:
    case MemoryCall::SetFileAttributes:
    case MemoryCall::CreateKey:
    case MemoryCall::SetValue:
    case MemoryCall::DeleteKey:
    case MemoryCall::DeleteValue:
    case MemoryCall::RestartWindows:
    case MemoryCall::StartProcess:
    case MemoryCall::ComponentRemove:
    case MemoryCall::ReviewBindings:
      return true;
    default:
      return false;
  }
}

bool FaultPlan::Fail(const std::string& call, uint64_t nth, uint32_t error, bool fromThenOn) {
  const int id = Find(call);
  if (id < -1 || nth == 0) return false;
  planned_.push_back({id, Counter(id) + nth, error, fromThenOn});
  return true;
}

void FaultPlan::CutBefore(uint64_t nth, uint32_t error) {
  cutAt_ = nth == 0 ? 0 : mutating_ + nth;
  cutError_ = error;
}

void FaultPlan::Clear() {
  planned_.clear();
  changes_.clear();
  cutAt_ = 0;
  cut_ = false;
  for (uint64_t& c : counts_) c = 0;
  mutating_ = 0;
  injected_ = 0;
}

uint64_t FaultPlan::Count(const std::string& call) const {
  const int id = Find(call);
  return id < -1 ? 0 : Counter(id);
}

std::vector<std::pair<std::string, uint64_t>> FaultPlan::Counts() const {
  std::vector<std::pair<std::string, uint64_t>> out;
  for (size_t i = 0; i < sizeof(kNames) / sizeof(kNames[0]); ++i) {
    if (counts_[i] != 0) out.emplace_back(kNames[i], counts_[i]);
  }
  return out;
}

uint32_t FaultPlan::Check(MemoryCall call, bool mutating) {
  const int id = static_cast<int>(call);
  const uint64_t n = ++counts_[id];
  const uint64_t m = mutating ? ++mutating_ : 0;
  if (mutating) changes_.push_back(call);
  if (cutAt_ != 0 && m >= cutAt_) cut_ = true;
  if (cut_) {
    ++injected_;
    return cutError_;
  }
  if (planned_.empty()) return 0;
  for (const Planned& p : planned_) {
    const uint64_t count = p.call < 0 ? (mutating ? m : 0) : (p.call == id ? n : 0);
    if (count == 0) continue;
    if (count == p.at || (p.fromThenOn && count > p.at)) {
      ++injected_;
      return p.error;
    }
  }
  return 0;
}

}  // namespace svp
