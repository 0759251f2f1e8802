// The dry-run platform: a layer over the real platform that reads through to
// it and keeps every change to itself.  What the program reads is copied into
// an in-memory workstation the first time it is touched (a directory with the
// names in it, a registry key with its values and the names of its sub-keys;
// a file's bytes when it is opened); from then on the program works on that
// copy.  Deletions, copies, renames, value writes, key deletions, delayed
// operations, process starts, restarts and network removals happen only
// there and are recorded, in order, with the result the program met.
// Questions get the answer a silent run would give.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialogs.h"
#include "platform/memory/memory_platform.h"
#include "platform/platform.h"

namespace svp {

// One entry of a real directory.
struct DryRunDirEntry {
  std::string name;
  uint32_t attributes = 0;
};
// Lists a real directory (full path, no trailing backslash except a drive
// root); false when it cannot be read.  The file interface has no listing;
// removing a directory needs to know what else is in it.
using DryRunLister = std::function<bool(const std::string& directory,
                                        std::vector<DryRunDirEntry>* entries)>;

enum class DryRunKind {
  kWrite,            // target: the file; detail: the bytes written
  kFileDeleted,      // target
  kFileDeleteAtRestart,
  kFileMoved,        // target -> detail
  kFileMoveAtRestart,
  kFileCopied,       // target -> detail
  kFileWritten,      // target (opened for writing)
  kAttributesSet,    // target; detail: the attributes in hex
  kDirectoryCreated,
  kDirectoryRemoved,
  kKeyCreated,       // target: "HKLM\path"
  kKeyDeleted,
  kValueSet,         // target: key; detail: "name" = new (was: old)
  kValueDeleted,     // target: key; detail: "name" (was: old)
  kProcessStarted,   // target: program
  kRestart,
  kEnvironmentNotified,
  kNetRemove,        // target: option
  kNetReview,
  kQuestion,         // target: the text; detail: the answer given
  kDocumentOpened,
};

struct DryRunEvent {
  DryRunKind kind;
  std::string target;
  std::string detail;
  uint32_t result = 0;  // 0 done; otherwise the error the program met
};

// What the run would leave different on the workstation, against the
// workstation as the run first met it.  Paths are full; keys are "HKLM\path" and values
// "HKLM\path\\name" (two backslashes before the value name).
struct DryRunEffect {
  std::vector<std::string> filesRemoved, filesCreated, filesChanged;
  std::vector<std::string> directoriesRemoved, directoriesCreated;
  std::vector<std::string> keysRemoved, keysCreated;
  std::vector<std::string> valuesRemoved, valuesSet;  // set: "...\\name=text"
  std::vector<std::string> pendingOperations;         // "delete path", "move a -> b"
};

class DryRunPlatform {
 public:
  // `real` must stay installed-free: the layer calls it directly.
  DryRunPlatform(const Platform& real, DryRunLister lister);
  ~DryRunPlatform();
  DryRunPlatform(const DryRunPlatform&) = delete;
  DryRunPlatform& operator=(const DryRunPlatform&) = delete;

  // The command line a run would get.
  void SetCommandLine(const std::string& args);
  // Whether a real file that another program holds open is met as in use,
  // by opening it without sharing the first time the run touches it (on by
  // default): one open a file, the most of what a large plan costs.
  void SetProbeInUse(bool probe);
  // Every slot of the layer, with the given sheet host, for a
  // ScopedPlatform to install.
  Platform Parts(ISheetHost* sheets);

  const std::vector<DryRunEvent>& Events() const;
  // The bytes of a file as the run would leave it; false when absent.
  bool ModelFile(const std::string& path, std::string* bytes);
  // The bytes of a file as it is now on the workstation.
  bool RealFile(const std::string& path, std::string* bytes);
  // A registry string as the run would leave it and as it is now.
  bool ModelString(RegKey root, const std::string& key, const std::string& name,
                   std::string* value);
  bool RealString(RegKey root, const std::string& key, const std::string& name,
                  std::string* value);
  DryRunEffect Effect();
  // A full path's attributes on the workstation when the run first met it
  // (kInvalidAttributes: absent).
  uint32_t RealAttributes(const std::string& path);
  // Whether another program holds a real file open now.
  bool RealInUse(const std::string& path);
  // What the run would leave in a directory; false when it is none.
  bool ModelEntries(const std::string& directory, std::vector<DryRunDirEntry>* entries);

  class Files;
  class Registry;
  class System;
  class UserInterface;
  class Shell;
  class NetSetup;
  class Dialogs;

 private:
  Platform real_;
  std::vector<DryRunEvent> events_;
  std::unique_ptr<Files> files_;
  std::unique_ptr<Registry> registry_;
  std::unique_ptr<System> system_;
  std::unique_ptr<UserInterface> ui_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<NetSetup> net_;
  std::unique_ptr<Dialogs> dialogs_;
};

// "HKLM", "HKCU", "HKCR", "HKU" or the number.
std::string DryRunRootName(RegKey root);

}  // namespace svp
