// Faults planned at the seam between the program and the simulated
// workstation: the N-th call of one operation (or the N-th of any call that
// changes the workstation) fails with a chosen error number, once or from
// then on; or the program's process dies before its N-th change.  Every
// method of the workstation reports its call here first, so the plan also
// counts the calls a run makes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace svp {

// The operations a fault can be planned for, named as the interfaces name them.
enum class MemoryCall : uint8_t {
  // Files.
  CreateFile, ReadFile, WriteFile, FlushFileBuffers, SetFilePointer, SetEndOfFile, CloseHandle,
  GetFileInformationByHandle, SetFileTime, DeleteFile, MoveFileEx, CopyFile, CreateDirectory,
  RemoveDirectory, GetFileAttributes, SetFileAttributes, AccessExists, GetDiskFreeSpace,
  GetFullPathName, GetShortPathName, GetCurrentDirectory, SetCurrentDirectory, GetModuleFileName,
  GetFileVersionInfoSize, GetFileVersionInfo, VerQueryValue,
  // Registry.
  OpenKey, CreateKey, CloseKey, QueryValue, SetValue, EnumKey, EnumValue, QueryInfoKey, DeleteKey,
  DeleteValue,
  // System and shell.
  GetVersionEx, RestartWindows, StartProcess, GetEnvironmentVariable, WNetGetConnection,
  LoadString, GetSpecialFolderPath,
  // Network setup library.
  Load, FindSoftwareComponent, ComponentRemove, ReviewBindings,
  kCount
};

const char* MemoryCallName(MemoryCall call);

class FaultPlan {
 public:
  // Stands for every call that changes the workstation.
  static constexpr const char* kAnyMutating = "*";
  // "The device is not ready": what a dying process's calls fail with.
  static constexpr uint32_t kErrNotReady = 21;

  // Fails the nth call (from 1) of the named operation, counted from now on,
  // with `error`; with `fromThenOn` every later call of it fails too.  False
  // for a name no operation has.
  bool Fail(const std::string& call, uint64_t nth, uint32_t error, bool fromThenOn = false);
  // The process dies before the nth changing call from now: that call and
  // every later one, of any operation, change nothing and fail with
  // `error`, so the run winds down without touching the workstation again.
  // What it changed before stays.
  void CutBefore(uint64_t nth, uint32_t error = kErrNotReady);
  // Drops every planned fault and cut and starts the counts again.
  void Clear();
  // Calls made since the last Clear (kAnyMutating: the changing ones).
  uint64_t Count(const std::string& call) const;
  // Every operation called at least once since the last Clear, with its count.
  std::vector<std::pair<std::string, uint64_t>> Counts() const;
  // Faults injected since the last Clear (calls refused after a cut too).
  uint64_t Injected() const { return injected_; }
  // The operation of each changing call since the last Clear, in order.
  const std::vector<MemoryCall>& Changes() const { return changes_; }

  // For the workstation: counts the call and returns the error it must fail
  // with, 0 to go on.
  uint32_t Check(MemoryCall call, bool mutating);
  uint32_t Check(MemoryCall call) { return Check(call, IsMutating(call)); }
  static bool IsMutating(MemoryCall call);

 private:
  struct Planned {
    int call;  // a MemoryCall, or -1 for any changing call
    uint64_t at;  // the count that fails
    uint32_t error;
    bool fromThenOn;
  };
  uint64_t Counter(int call) const {
    return call < 0 ? mutating_ : counts_[call];
  }

  uint64_t counts_[static_cast<int>(MemoryCall::kCount)] = {};
  uint64_t mutating_ = 0;
  uint64_t injected_ = 0;
  std::vector<Planned> planned_;
  std::vector<MemoryCall> changes_;
  uint64_t cutAt_ = 0;  // the changing call the process dies before; 0: none
  uint32_t cutError_ = 0;
  bool cut_ = false;
};

}  // namespace svp
