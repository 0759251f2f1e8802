// Every platform call of a silent uninstall of the sample workstation fails
// in turn, once and from then on.  Each run must end, leave no handle or key
// open, leave a setup log of whole lines, touch nothing outside what the kit
// and the removal sequence name, and end in one of the sequence's outcomes.
// Then the crash sweep: the same uninstall dies before each of its changes
// in turn and is run again (below).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "app/setupapp.h"
#include "log/svlog.h"
#include "plan/verify.h"
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
  // Reports what has changed that the kit and the removal sequence do not name.
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

// ---------------------------------------------------------------------------
// The crash sweep: the uninstall's process dies before each change it makes
// in turn (a cut before a call that changes nothing leaves what a cut before
// the next change leaves), Windows restarts or not, and the administrator
// runs KITPURGE.EXE /SILENT again.  The second run must end with the restart
// question, change nothing the kit does not name, keep the user's lines of
// the edited text files, and leave what an uninterrupted run leaves (a file
// left half-written would differ), but for the differences listed below.

constexpr const char* kLog = "F C:\\SVSETUP.LOG";

// The items of `a` that `b` lacks or holds otherwise (+), and of `b` that `a`
// lacks (-).  Each run writes a setup log of its own.
std::vector<std::string> Differences(const State& a, const State& b) {
  std::vector<std::string> out;
  for (const auto& [item, value] : a) {
    auto it = b.find(item);
    if (it == b.end() || (it->second != value && item != kLog)) out.push_back("+" + item);
  }
  for (const auto& [item, value] : b)
    if (!a.count(item)) out.push_back("-" + item);
  return out;
}

// The text files the uninstall edits, each with the copy it saves first.
const std::pair<const char*, const char*> kEdited[] = {
    {"C:\\WINNT\\SYSTEM32\\AUTOEXEC.NT", "C:\\WINNT\\SYSTEM32\\AUTOEXEC.SV"},
    {"C:\\WINNT\\SYSTEM.INI", ""}};

std::vector<std::string> Lines(const State& state, const std::string& path) {
  std::vector<std::string> lines;
  auto it = state.find("F " + path);
  if (it == state.end()) return lines;
  const std::string bytes = it->second.substr(0, it->second.rfind('|'));
  for (size_t at = 0, end; at < bytes.size(); at = end + 2) {
    end = bytes.find("\r\n", at);
    if (end == std::string::npos) end = bytes.size();
    lines.push_back(bytes.substr(at, end - at));
  }
  return lines;
}

bool Holds(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The user's lines (those an uninterrupted run keeps) are each still whole in
// their file or in its saved copy.
void CheckUserLines(const State& before, const State& cleanEnd, const State& now,
                    const std::string& when, std::vector<std::string>* problems) {
  for (const auto& [file, copy] : kEdited) {
    const std::vector<std::string> kept = Lines(cleanEnd, file), inFile = Lines(now, file),
                                   inCopy = Lines(now, copy);
    for (const std::string& line : Lines(before, file))
      if (Holds(kept, line) && !Holds(inFile, line) && !Holds(inCopy, line))
        problems->push_back(when + ", a line of " + file + " is lost: " + line);
  }
}

// The question the file phase asks about a file whose directory is gone.
std::string PathNotFound(const std::string& file) {
  return "SvDeleteFile failed.  File " + file +
         ", Error 3, The system cannot find the path specified.\r\n\n";
}

// Where the second run differs from an uninterrupted one: from the cut after
// the nth call of `after` in the clean run to the end, it asks these
// questions too and its end state differs in these items.
struct Divergence {
  const char* after;
  uint64_t nth;
  std::vector<std::string> questions, items;
  const char* what;
  const char* why;
};
const Divergence kDivergences[] = {
    // The second MoveFileEx puts the cleaned AUTOEXEC.NT in place.
    {"MoveFileEx", 2, {}, {"+F C:\\WINNT\\SYSTEM32\\AUTOEXEC.SV"}, "AUTOEXEC.SV cleaned",
     "AUTOEXEC.SV holds the cleaned AUTOEXEC.NT: the second run saves the file as it finds it, "
     "so the product's two lines are in neither file; keeping the first copy would mean "
     "skipping the backup that an uninterrupted run makes on a workstation without them"},
    // The removal of {LDID_SV}\PROTOCOL\TRELLNET, then of {LDID_SV}\PROTOCOL.
    {"RemoveDirectory", 2,
     {PathNotFound("C:\\SV32\\PROTOCOL\\TRELLNET\\TRELLNET.INI"),
      PathNotFound("C:\\SV32\\PROTOCOL\\TRELLNET\\TRLCFG.DAT")}, {}, "2 questions on TRELLNET",
     "the file phase asks about a DELETE record whose directory is gone (error 3); answered "
     "Ignore it goes on; not asking would change what an uninterrupted run asks on a "
     "workstation where that directory is missing"},
    {"RemoveDirectory", 3, {PathNotFound("C:\\SV32\\PROTOCOL\\PROTOCOL.INI")}, {},
     "1 question on PROTOCOL", "as above, for the PROTOCOL directory"}};

// KITPLAN.EXE /VERIFY on the simulated workstation, as the administrator
// would run it before running the uninstall again.
SvVerifyResult Verify(svp::MemoryPlatform& platform) {
  const svp::FaultPlan saved = platform.faults();
  platform.faults() = svp::FaultPlan();
  svp::MemoryFileSystem& fs = platform.files();
  const auto lister = [&fs](const std::string& dir, std::vector<svp::DryRunDirEntry>* out) {
    for (const std::string& name : fs.List(dir))
      out->push_back({name, fs.GetFileAttributes(dir + (dir.back() == '\\' ? "" : "\\") + name)});
    return true;
  };
  SvVerifyResult result = SvVerify(platform.Parts(), lister, [&fs] { return fs.PendingOperations(); });
  platform.faults() = saved;
  return result;
}

// Whether a trace of the verify stands for an item of the capture: the same
// file, directory, component or value, or a key it lists with what is in it.
bool Covers(const SvTrace& trace, const std::string& item) {
  const std::string kind = item.substr(0, 2), rest = item.substr(2);
  std::string where = Upper(trace.where);
  const size_t twin = where.find("\\\\");  // "key\\value" in a trace
  if (twin != std::string::npos) where.replace(twin, 2, "|");
  if (trace.kind == "key")
    return (kind == "K " || kind == "V ") &&
           (rest == where || StartsWith(rest, where + "\\") || StartsWith(rest, where + "|"));
  if (trace.kind == "network-component") return kind == "N " && rest == where;
  if (trace.kind == "directory" || trace.kind == "program-group") return kind == "D " && rest == where;
  if (trace.kind == "entry" || trace.kind == "value") return kind == "V " && rest == where;
  return kind == "F " && rest == where;  // a file, a shortcut, lines of a text file
}

// What a cut leaves for the next run to remove: the items that the clean
// run's end lacks or holds otherwise, but for the run's own bookkeeping.
std::vector<std::string> LeftForTheNextRun(const State& now, const State& cleanEnd) {
  std::vector<std::string> left;
  for (const auto& [item, value] : now) {
    if (StartsWith(item, "P ") || item == "F C:\\SVSETUP.LOG" ||
        item == "F C:\\WINNT\\SYSTEM32\\AUTOEXEC.SV")
      continue;
    const auto it = cleanEnd.find(item);
    if (it == cleanEnd.end() || it->second != value) left.push_back(item);
  }
  return left;
}

// The verify at a cut point names everything left there, and nothing else.
void CheckVerifyNamesWhatIsLeft(svp::MemoryPlatform& platform, const State& cleanEnd,
                                std::vector<std::string>* problems) {
  const SvVerifyResult verify = Verify(platform);
  std::vector<SvTrace> named = verify.traces;
  named.insert(named.end(), verify.atRestart.begin(), verify.atRestart.end());
  const std::vector<std::string> left = LeftForTheNextRun(Capture(platform), cleanEnd);
  for (const std::string& item : left)
    if (std::none_of(named.begin(), named.end(), [&](const SvTrace& t) { return Covers(t, item); }))
      problems->push_back("the verify does not name " + item);
  for (const SvTrace& trace : named)
    if (std::none_of(left.begin(), left.end(), [&](const std::string& i) { return Covers(trace, i); }))
      problems->push_back("the verify names " + trace.kind + " " + trace.where + ", which is gone");
  const SvVerdict expected = !verify.traces.empty() ? SvVerdict::kTracesRemain
                             : left.empty()          ? SvVerdict::kClean
                                                     : SvVerdict::kRestartPending;
  if (verify.verdict != expected)
    problems->push_back(std::string("the verify says ") + SvVerdictName(verify.verdict));
}

struct Resumed {
  RunResult second;
  std::vector<std::string> problems;
  std::vector<std::string> differences;  // from the clean run's end, both after a restart
};

// The process dies before change `cut` (past the last: the run completes);
// with `restart`, Windows restarts before KITPURGE.EXE /SILENT runs again.
void Resume(SampleWorkstation& station, uint64_t cut, bool restart, const State& cleanEnd,
            Resumed* out) {
  svp::MemoryPlatform& platform = station.platform;
  platform.faults().Clear();
  platform.faults().CutBefore(cut);
  const RunResult first = RunProgram(platform);
  if ((first.injected != 0) != (cut <= first.changes.size()))
    out->problems.push_back("the first run was not cut where planned");
  for (const std::string& problem : first.problems)
    out->problems.push_back("first run: " + problem);
  CheckUserLines(station.before, cleanEnd, Capture(platform), "after the cut", &out->problems);
  if (restart) platform.Restart();
  CheckVerifyNamesWhatIsLeft(platform, cleanEnd, &out->problems);
  out->second = RunProgram(platform);
  out->problems.insert(out->problems.end(), out->second.problems.begin(),
                       out->second.problems.end());
  station.CheckNamed("at the end", &out->problems);
  platform.Restart();
  station.CheckNamed("after the restart", &out->problems);
  const State end = Capture(platform);
  CheckUserLines(station.before, cleanEnd, end, "at the end", &out->problems);
  if (Verify(platform).verdict != SvVerdict::kClean)
    out->problems.push_back("the verify finds the product after the second run and its restart");
  out->differences = Differences(end, cleanEnd);
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

class CrashSweep : public ::testing::TestWithParam<bool> {};

TEST_P(CrashSweep, EveryCutPointResumesToTheCleanRunsEnd) {
  const bool restart = GetParam();
  std::vector<std::string> problems;
  RunResult clean;
  State cleanEnd;
  {
    SampleWorkstation station(&problems);
    clean = RunProgram(station.platform);
    station.platform.Restart();
    cleanEnd = Capture(station.platform);
  }
  ASSERT_EQ(std::vector<std::string>{}, problems);
  ASSERT_EQ("10006", clean.outcome);

  // Each cut point is named by its call and that call's number among its kind.
  std::vector<std::string> names;
  std::map<std::string, uint64_t> seen;
  for (svp::MemoryCall call : clean.changes) {
    const std::string kind = svp::MemoryCallName(call);
    names.push_back(kind + " #" + std::to_string(++seen[kind]));
  }
  names.push_back("none (the run completes)");

  int converged = 0;
  std::map<std::string, int> listed;
  for (uint64_t cut = 1; cut <= names.size(); ++cut) {
    const std::string where = "cut before change " + std::to_string(cut) + ", " + names[cut - 1];
    Resumed r;
    SampleWorkstation station(&r.problems);
    Resume(station, cut, restart, cleanEnd, &r);
    for (const std::string& problem : r.problems) ADD_FAILURE() << where << ": " << problem;

    std::vector<std::string> questions = clean.boxes, items;
    std::string why;
    for (const Divergence& d : kDivergences) {
      const std::string name = d.after + std::string(" #") + std::to_string(d.nth);
      const auto at = std::find(names.begin(), names.end(), name);
      ASSERT_NE(names.end(), at) << "the clean run has no " << name;
      if (cut <= static_cast<uint64_t>(at - names.begin()) + 1) continue;
      questions.insert(questions.end(), d.questions.begin(), d.questions.end());
      items.insert(items.end(), d.items.begin(), d.items.end());
      why += std::string("\n  listed: ") + d.why;
      ++listed[d.what];
    }
    EXPECT_EQ(Sorted(questions), Sorted(r.second.boxes)) << where << why;
    EXPECT_EQ(Sorted(items), Sorted(r.differences)) << where << why;
    if (why.empty()) {
      ++converged;
      continue;
    }
    std::string left;
    for (const std::string& item : r.differences) left += " " + item;
    std::printf("%s: %zu more question(s); left otherwise:%s\n", where.c_str(),
                r.second.boxes.size() - clean.boxes.size(),
                left.empty() ? " nothing" : left.c_str());
  }
  std::printf("crash sweep, %s: %zu cut points, %d converge, %zu end as listed (",
              restart ? "restart between" : "no restart", names.size(), converged,
              names.size() - converged);
  for (const auto& [what, n] : listed) std::printf("%s: %d; ", what.c_str(), n);
  std::printf(")\n");
}

INSTANTIATE_TEST_SUITE_P(, CrashSweep, ::testing::Bool(), [](const auto& info) {
  return std::string(info.param ? "RestartBetween" : "NoRestart");
});

}  // namespace
