// The plan: the silent uninstall run over the dry-run platform, and what it
// would do, phase by phase, as text or as one JSON document.
#pragma once

#include <string>
#include <vector>

#include "plan/dryrun.h"

class CSvPlan {
 public:
  // Runs start-up, initialisation and Finish as KITPURGE.EXE /SILENT with
  // `switches` would, over `dry` (which it installs).  The process's
  // platform is left as the dry run's; the caller reinstalls its own.
  void Run(svp::DryRunPlatform& dry, const std::string& switches);

  std::string Text() const;
  std::string Json() const;
  // The setup log the real run would write.
  const std::string& Log() const { return log_; }

 private:
  struct Before {
    std::string before, after;
    bool hadBefore = false, hasAfter = false;
  };
  struct DroppedLine {
    size_t number;
    std::string text;
  };

  std::string commandLine_;
  std::string logPath_;
  std::string log_;
  std::vector<svp::DryRunEvent> events_;
  svp::DryRunEffect effect_;
  Before path_, ksta_;
  std::string autoexecPath_;
  std::vector<DroppedLine> autoexecDropped_;
  std::vector<std::string> shortcutsKept_;
  std::string finalMessage_, finalAnswer_;
};
