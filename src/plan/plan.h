// The plan: the silent uninstall run over the dry-run platform, and what it
// would do, phase by phase, as text or as one JSON document.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
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

  // What the run met, in order, and what it would leave different.
  const std::vector<svp::DryRunEvent>& Events() const { return events_; }
  const svp::DryRunEffect& Effect() const { return effect_; }
  const std::string& LogPath() const { return logPath_; }
  // False when the run never reached the removal sequence (a start-up check
  // or the initialisation refused); Refusal is the first message it showed.
  bool Finished() const { return finished_; }
  const std::string& Refusal() const { return refusal_; }

 private:
  struct Before {
    std::string before, after;
    bool hadBefore = false, hasAfter = false;
  };
  std::string commandLine_;
  std::string logPath_;
  std::string log_;
  std::vector<svp::DryRunEvent> events_;
  svp::DryRunEffect effect_;
  Before path_, ksta_;
  std::string autoexecPath_;
  std::vector<std::pair<size_t, std::string>> autoexecDropped_;  // number, text
  std::vector<std::string> shortcutsKept_;
  std::string finalMessage_, finalAnswer_;
  bool finished_ = false;
  std::string refusal_;
};

// A text as a JSON string: bytes of the system code page above 0x7F become
// the Latin-1 code points.
std::string SvJsonQuote(const std::string& text);
// The lines of a text, without their CR LF or LF.
std::vector<std::string> SvTextLines(const std::string& text);
// The lines of `before` that `after` lacks, numbered from 1, when `after` is
// `before` less some lines; false for any other change.
bool SvDroppedLines(const std::string& before, const std::string& after,
                    std::vector<std::pair<size_t, std::string>>* dropped);
// A message on one line: its line ends become blanks.
std::string SvOneLine(std::string text);
