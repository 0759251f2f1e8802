// The verify: is the product gone from this workstation?  The silent
// uninstall is planned over the dry-run platform; what it would still remove
// or try to remove is what is left of the product (its own bookkeeping
// aside).  A present item that an operation waiting for the restart removes
// counts apart.  The answer comes with the outcome of the last real run, read
// from its setup log, as text or as one JSON document for a share.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "plan/dryrun.h"

// The verdict is the exit code of KITPLAN.EXE /VERIFY.
enum class SvVerdict : int {
  kClean = 0,           // nothing of the product is left
  kRestartPending = 1,  // what is left goes with the operations waiting for the restart
  kTracesRemain = 2,
  kCannotTell = 3,      // no kit, an unreadable kit, or a refused start-up check
};

// One thing of the product's on the workstation.
//   kind   network-component, file, shortcut, directory, program-group, line
//          (a line a text file would lose), file-content (other changes to a
//          file), entry (of a list value such as Path), value, key
//   where  the component, path, "HKLM\key" or "HKLM\key\\value"
//   item   the line or entry, for lines and entries
//   note   its state: "in use", "not empty", "kept: ...", the value's data
struct SvTrace {
  std::string kind, where, item, note;
};

struct SvLastRun {
  // none (no setup log), finished, stopped, cancelled, interrupted (no end
  // was logged: stopped by force, or still running)
  std::string outcome = "none";
  // stopped or interrupted: start (before the removal), finish, network,
  // files, shortcuts, text files, clean-up
  std::string phase;
  std::string message;  // stopped: the failure the phase logged, on one line
  std::string log;      // the setup log's path
};

struct SvVerifyResult {
  SvVerdict verdict = SvVerdict::kCannotTell;
  std::string computer;
  std::string reason;  // cannot tell: why
  std::vector<SvTrace> traces;     // left after a restart
  std::vector<SvTrace> atRestart;  // present, removed by a pending operation
  std::vector<std::string> pendingOperations;  // "delete path", "move a -> b", for product paths
  SvLastRun lastRun;

  int ExitCode() const { return static_cast<int>(verdict); }
  std::string Text() const;
  // One document; each trace and operation on a line of its own.
  std::string Json() const;
};

// The operations waiting for the restart.
using SvPendingReader = std::function<std::vector<svp::PendingOperation>()>;
// The session manager's PendingFileRenameOperations, where Windows keeps
// them.
std::vector<svp::PendingOperation> SvReadPendingOperations(svp::IRegistry& registry);

// Verifies the workstation behind `workstation` (any platform: the real one,
// or a simulated one in a test), whose directories `lister` lists.  The kit
// and the log are found as KITPURGE.EXE beside the module would find them.
// Without `pending` the operations are read from the workstation's registry.
// Nothing on the workstation changes; the process's platform is left as it
// was.
SvVerifyResult SvVerify(const svp::Platform& workstation, const svp::DryRunLister& lister,
                        const SvPendingReader& pending = SvPendingReader());

// Names for the verdicts in texts and documents.
const char* SvVerdictName(SvVerdict verdict);
