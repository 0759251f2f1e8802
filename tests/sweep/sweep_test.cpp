// Every platform call of a silent uninstall of the sample workstation fails
// in turn, once and from then on.  Each run must end, leave no handle or key
// open, leave a setup log of whole lines, touch nothing outside what the kit
// and the removal sequence name, and end in one of the sequence's outcomes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/setupapp.h"
#include "log/svlog.h"
#include "platform/memory/memory_platform.h"
#include "sample_workstation.h"

namespace {

using svp::FaultPlan;
using sample::Capture;
using sample::State;
using svp::Upper;

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// What the kit and the removal sequence may change on the sample workstation.
bool Named(const std::string& item) {
  const std::string kind = item.substr(0, 2), rest = item.substr(2);
  if (kind == "N ") return true;  // only the kit's components are captured
  if (kind == "P ") {  // queued for the restart: both ends must be named
    const size_t arrow = rest.find('>');
    const std::string to = rest.substr(arrow + 1);
    return Named("F " + rest.substr(0, arrow)) && (to.empty() || Named("F " + to));
  }
  const std::string sys = "C:\\WINNT\\SYSTEM32\\", env = "HKLM\\" + Upper(sample::kEnvironment);
  const std::string services = "HKLM\\SYSTEM\\CURRENTCONTROLSET\\SERVICES\\";
  const std::string exact[] = {
      "F C:\\SVSETUP.LOG", "F C:\\WINNT\\PROTOCOL.INI", "F C:\\WINNT\\SYSTEM.INI",
      "F " + Upper(sample::kDesktop) + "\\SOLVANE 32 REMOTE.LNK", "V " + env + "|PATH",
      "V " + env + "|KSTA", "V " + services + "E100B1\\PARAMETERS|NETWORKADDRESS",
      "V " + services + "NE20002\\PARAMETERS|NETWORKADDRESS"};
  for (const std::string& named : exact)
    if (item == named) return true;
  for (const char* f : {"AUTOEXEC.NT", "AUTOEXEC.SV", "SVNETLIB.DLL", "SVPRINT.DLL", "SVWSOCK.DLL",
                        "TNP16.EXE", "OEMNXPTL.INF", "OEMNXRDR.INF", "OEMNXPRT.INF",
                        "DRIVERS\\RIZUDAV.SYS", "DRIVERS\\TRLLAT.SYS", "DRIVERS\\RAVEDOZ.SYS"})
    if (item == "F " + sys + f) return true;
  // Trees: files and directories, keys and their values.
  for (const std::string& tree :
       {std::string("C:\\SV32"), Upper(sample::kPrograms) + "\\SOLVANE 32",
        std::string("HKLM\\SOFTWARE\\ORRISLOGICCORPORATION\\SOLVANE"),
        std::string("HKCU\\SOFTWARE\\ORRISLOGICCORPORATION\\SOLVANE"), services + "RIZUDAV",
        services + "TRLLAT", services + "RAVEDOZERUZU"})
    if (rest == tree || StartsWith(rest, tree + "\\") || StartsWith(rest, tree + "|")) return true;
  return false;
}

std::vector<std::string> Unnamed(const State& before, const State& after) {
  std::vector<std::string> out;
  for (const auto& [item, value] : after) {
    auto it = before.find(item);
    if ((it == before.end() || it->second != value) && !Named(item)) out.push_back("+" + item);
  }
  for (const auto& [item, value] : before)
    if (!after.count(item) && !Named(item)) out.push_back("-" + item);
  return out;
}

// Every line ends in CR LF.
bool WholeLines(const std::string& log) {
  if (!log.empty() && log.back() != '\n') return false;
  for (size_t i = 0; i < log.size(); ++i)
    if (log[i] == '\n' && (i == 0 || log[i - 1] != '\r')) return false;
  return true;
}

constexpr const char* kFailed = "The uninstall of SOLVANE 32 for Windows NT has failed.";
constexpr const char* kRestart = "To complete the uninstall of SOLVANE";

struct Fault {
  std::string call;
  uint64_t nth = 0;  // 0: no fault
  bool fromThenOn = false;
};

struct RunResult {
  std::string outcome;
  std::vector<std::string> boxes;
  std::vector<std::string> problems;
  uint64_t injected = 0;
  std::map<std::string, uint64_t> counts;
  std::vector<svp::MemoryCall> changes;  // the changing calls, in order
};

// The error each call fails with: what the system reports for it in the field.
uint32_t ErrorFor(const std::string& call) {
  if (call == "WriteFile" || call == "CopyFile" || call == "SetEndOfFile") return 112;
  if (call == "ReadFile") return 23;
  if (call == "Load") return 2;
  if (call == "ComponentRemove" || call == "FindSoftwareComponent") return 1;
  if (call == "CreateFile" || call == "DeleteFile" || call == "MoveFileEx") return 32;
  return 5;
}

// Runs KITPURGE.EXE once on the platform, from start-up to the end of its
// message loop, as the unattended user of a silent run, and ends its
// process.  The faults planned before the call apply.
RunResult RunProgram(svp::MemoryPlatform& platform) {
  RunResult run;
  svp::MemorySheetHost& sheets = platform.sheets();
  // A run that keeps asking has not ended.
  int boxes = 0;
  platform.ui().SetResponder([&boxes](const svp::MemoryUserInterface::ShownBox& box) {
    if (++boxes > 200) {
      std::fprintf(stderr, "the run keeps asking: %s\n", box.text.c_str());
      std::abort();
    }
    return sample::Answer(box);
  });
  uint64_t pumps = 0;
  platform.ui().SetPumpHook([&pumps] {
    if (++pumps > 1000000) {
      std::fprintf(stderr, "the run does not end\n");
      std::abort();
    }
  });
  platform.ui().ClearBoxes();
  platform.dialogs().QueueVersionAnswer(1);
  {
    CSetupApp app;
    if (app.InitInstance()) {
      for (int i = 0; i < 100 && !sheets.QuitPosted(); ++i) {
        if (sheets.DispatchPosted() == 0 && !sheets.QuitPosted()) {
          // Stopped on a page: a silent run waits for the user, who cancels.
          run.outcome = "page " + std::to_string(sheets.CurrentTemplate()) + ", cancelled";
          if (!sheets.ClickCancel()) break;
        }
      }
      if (!sheets.QuitPosted()) run.problems.push_back("the message loop did not quit");
      app.ExitInstance(sheets.QuitCode());
    } else {
      run.outcome = "start refused";
    }
  }
  if (SvIsLogOpen()) run.problems.push_back("the setup log is still open");
  SvCloseLog();
  run.injected = platform.faults().Injected();
  for (const auto& [call, count] : platform.faults().Counts()) run.counts[call] = count;
  run.changes = platform.faults().Changes();
  platform.faults().Clear();

  if (platform.files().OpenHandleCount() != 0) run.problems.push_back("a file handle is open");
  if (platform.registry().OpenKeyCount() != 0) run.problems.push_back("a registry key is open");
  if (!WholeLines(platform.files().ReadFile("C:\\SVSETUP.LOG")))
    run.problems.push_back("the log has a broken line");
  for (const auto& box : platform.ui().boxes()) {
    run.boxes.push_back(box.text);
    if (box.text == kFailed) run.outcome = "10005";
    if (StartsWith(box.text, kRestart)) run.outcome = "10006";
  }
  if (run.outcome.empty()) run.outcome = "no final message";
  platform.EndProcess();
  return run;
}

// The sample workstation as the installer left it, for a silent uninstall.
struct SampleWorkstation {
  svp::InstalledMemoryPlatform platform;
  State before;
  explicit SampleWorkstation(std::vector<std::string>* problems) {
    svp::SetMemoryFailureReporter(
        [problems](const std::string& what) { problems->push_back("platform: " + what); });
    sample::Stage(platform);
    platform.system().SetCommandLine("/SILENT");
    before = Capture(platform);
  }
  ~SampleWorkstation() { svp::SetMemoryFailureReporter(nullptr); }
  // What changed that the kit and the removal sequence do not name, now and
  // after the restart that follows.
  void CheckNamed(const std::string& when, std::vector<std::string>* problems) {
    for (const std::string& item : Unnamed(before, Capture(platform)))
      problems->push_back(when + ", changed outside the kit: " + item);
  }
};

// A silent uninstall of the sample workstation with one planned fault.
RunResult Uninstall(const Fault& fault) {
  std::vector<std::string> problems;
  SampleWorkstation station(&problems);
  svp::MemoryPlatform& platform = station.platform;
  platform.faults().Clear();
  if (fault.nth != 0)
    platform.faults().Fail(fault.call, fault.nth, ErrorFor(fault.call), fault.fromThenOn);
  RunResult run = RunProgram(platform);
  station.CheckNamed("at the end", &problems);
  platform.Restart();
  station.CheckNamed("after the restart", &problems);
  run.problems.insert(run.problems.end(), problems.begin(), problems.end());
  return run;
}

std::string Describe(const Fault& f, const RunResult& run) {
  std::string out = f.call + " #" + std::to_string(f.nth) + (f.fromThenOn ? " onwards" : " once");
  for (const std::string& text : run.boxes) out += "\n  box: " + text;
  return out;
}

TEST(FaultSweep, EveryCallFailingOnceAndFromThenOnEndsCleanly) {
  const RunResult clean = Uninstall({});
  EXPECT_EQ("10006", clean.outcome);
  EXPECT_EQ(std::vector<std::string>{}, clean.problems);
  std::map<std::string, int> outcomes;
  for (const auto& [call, count] : clean.counts) {
    for (uint64_t nth = 1; nth <= count; ++nth) {
      for (bool onwards : {false, true}) {
        const Fault fault{call, nth, onwards};
        const RunResult run = Uninstall(fault);
        ++outcomes[run.outcome];
        EXPECT_GE(run.injected, 1u) << Describe(fault, run);
        // Without its text from the string table a box is not shown at all.
        if (call != "LoadString") {
          EXPECT_NE("no final message", run.outcome) << Describe(fault, run);
        }
        for (const std::string& problem : run.problems)
          ADD_FAILURE() << Describe(fault, run) << ": " << problem;
      }
    }
  }
  std::printf("fault sweep outcomes:");
  for (const auto& [outcome, n] : outcomes) std::printf(" %s: %d;", outcome.c_str(), n);
  std::printf("\n");
}

}  // namespace
