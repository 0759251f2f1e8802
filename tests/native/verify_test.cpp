// The verify over the simulated sample workstation in the states a fleet
// meets: untouched, uninstalled with a file in use, restarted, a network
// component the library kept, a foreign sub-key, a run cut short, no kit, no
// rights.  Verifying changes nothing, and its document reads back whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/setupapp.h"
#include "plan/rollup.h"
#include "plan/verify.h"
#include "platform/memory/memory_platform.h"
#include "sample_workstation.h"

namespace {

const std::string kEnv = std::string("HKLM\\") + sample::kEnvironment + "\\\\";

void Uninstall(svp::MemoryPlatform& ws, const char* switches = "/SILENT") {
  const svp::ScopedPlatform installed(ws.Parts());
  ws.system().SetCommandLine(switches);
  // An administrator who answers No to the restart.
  ws.ui().SetResponder([](const svp::MemoryUserInterface::ShownBox& box) {
    return (box.type & 0xF) == svp::kMbYesNo ? svp::kIdNo : sample::Answer(box);
  });
  CSetupApp app;
  if (app.InitInstance())
    while (!ws.sheets().QuitPosted() && ws.sheets().DispatchPosted() > 0) {
    }
  app.ExitInstance(0);
}

// Windows keeps the operations in the session manager's value, "\??\" first.
void PendingToRegistry(svp::MemoryPlatform& ws) {
  std::string list;
  for (const svp::PendingOperation& op : ws.files().PendingOperations())
    list += "\\??\\" + op.from + '\0' + (op.to.empty() ? "" : "!\\??\\" + op.to) + '\0';
  ws.registry().SetBinary(svp::kHKeyLocalMachine,
                          "SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                          "PendingFileRenameOperations", svp::kRegMultiSz, list + '\0');
}

struct Case {
  const char* name;
  std::function<void(svp::MemoryPlatform&)> setUp;
  bool pendingFromRegistry;
  SvVerdict verdict;
  size_t traces, atRestart;
  std::vector<SvTrace> expected;  // in traces or at the restart, as kind, where, item
  const char* lastRun;            // outcome/phase/message/
};

std::string Render(const SvTrace& t) { return t.kind + " " + t.where + " " + t.item + " " + t.note; }

TEST(VerifyTest, NamesWhatIsLeftInEachStateOfTheWorkstation) {
  const auto withLog = [](const char* log) {
    return [log](svp::MemoryPlatform& ws) { ws.files().WriteFile("C:\\SVSETUP.LOG", log); };
  };
  const Case cases[] = {
      {"untouched", nullptr, false, SvVerdict::kTracesRemain, 46, 0,
       {{"network-component", "TRELLNET", "", ""},
        {"file", "C:\\SV32\\SVCORE.DLL", "", ""},  // in use, and left all the same
        {"shortcut", std::string(sample::kDesktop) + "\\SOLVANE 32 Remote.lnk", "", ""},
        {"program-group", std::string(sample::kPrograms) + "\\Solvane 32", "", ""},
        {"directory", "C:\\SV32", "", ""},
        {"line", "C:\\WINNT\\system32\\AUTOEXEC.NT", "SET KSTA=C:\\SV32", "line 5"},
        {"line", "C:\\WINNT\\PROTOCOL.INI", "[TRELLNET]", "line 4"},
        {"entry", kEnv + "Path", "C:\\SV32", ""},
        {"value", "HKLM\\SYSTEM\\CurrentControlSet\\Services\\E100B1\\Parameters\\\\NetworkAddress",
         "", "AA0004001C08"},
        {"key", "HKCU\\SOFTWARE\\OrrisLogicCorporation\\SOLVANE", "", ""}},
       "none///"},
      {"uninstalled, a file in use", [](svp::MemoryPlatform& ws) { Uninstall(ws); }, false, SvVerdict::kRestartPending, 0, 2,
       {{"file", "C:\\SV32\\SVCORE.DLL", "", "in use"}, {"directory", "C:\\SV32", "", ""}},
       "finished///"},
      {"the same, the operations read from the registry",
       [](svp::MemoryPlatform& ws) {
         Uninstall(ws);
         PendingToRegistry(ws);
       }, true,
       SvVerdict::kRestartPending, 0, 2, {{"file", "C:\\SV32\\SVCORE.DLL", "", "in use"}},
       "finished///"},
      // The directory's delete waits for the restart, but the files the run
      // skipped keep it there.
      {"uninstalled without the file phase",
       [](svp::MemoryPlatform& ws) { Uninstall(ws, "/SILENT /NOCOPY"); }, false,
       SvVerdict::kTracesRemain, 26, 0,
       {{"directory", "C:\\SV32", "", ""}, {"file", "C:\\SV32\\SVCORE.DLL", "", ""}},
       "finished///"},
      {"restarted", [](svp::MemoryPlatform& ws) {
         Uninstall(ws);
         ws.Restart();
       }, false,
       SvVerdict::kClean, 0, 0, {}, "finished///"},
      {"the library keeps a component",
       [](svp::MemoryPlatform& ws) {
         ws.net().SetRemoveError("SVRDR", 1205);
         Uninstall(ws);
       },
       false, SvVerdict::kTracesRemain, 38, 0,
       {{"network-component", "SVRDR", "", ""}, {"file", "C:\\SV32\\SVREMOTE.EXE", "", ""}},
       "stopped/network/The following error occurred while removing SVRDR Error 1205 (Registry "
       "call failed)/"},
      {"a foreign sub-key keeps the configuration",
       [](svp::MemoryPlatform& ws) {
         ws.registry().SetString(svp::kHKeyLocalMachine, std::string(sample::kConfig) + "\\Plugins",
                                 "Owner", "another product");
         Uninstall(ws);
       },
       false, SvVerdict::kTracesRemain, 6, 2,
       {{"key", std::string("HKLM\\") + sample::kConfig, "", "kept: it has 1 sub-key(s)"},
        {"key", "HKLM\\SYSTEM\\CurrentControlSet\\Services\\RAVEDOZERUZU", "", ""}},
       "finished///"},
      {"a run that stopped logging in the file phase",
       withLog("Starting finish phase\r\nStarting network control panel phase.\r\n"
               "Ending network control panel phase.\r\nVcpOpen()\r\n"),
       false, SvVerdict::kTracesRemain, 46, 0, {}, "interrupted/files//"},
      {"a run cancelled before Finish",
       withLog("Command line parameters \r\nDestroying setup wizard object.\r\n"
               "Closing setup log file.\r\n"),
       false, SvVerdict::kTracesRemain, 46, 0, {}, "cancelled///"},
      {"a run that met a refusal on a page, logged without a line end",
       withLog("Command line parameters \r\nC:\\SV|32 is not a valid directory specification."
               "Destroying setup wizard object.\r\nClosing setup log file.\r\n"),
       false, SvVerdict::kTracesRemain, 46, 0, {},
       "stopped/start/C:\\SV|32 is not a valid directory specification./"},
      {"no kit", [](svp::MemoryPlatform& ws) { ws.files().DeleteFile("C:\\SVKIT\\KITPURGE.DAT"); },
       false, SvVerdict::kCannotTell, 0, 0, {}, "none///"},
      {"no administrator rights", [](svp::MemoryPlatform& ws) { ws.system().SetAdmin(false); },
       false, SvVerdict::kCannotTell, 0, 0, {}, "none///"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    svp::MemoryPlatform ws;
    sample::Stage(ws);
    if (c.setUp) c.setUp(ws);
    const sample::State before = sample::Capture(ws);
    const auto lister = [&ws](const std::string& dir, std::vector<svp::DryRunDirEntry>* out) {
      for (const std::string& name : ws.files().List(dir))
        out->push_back({name, ws.files().GetFileAttributes(dir + (dir.back() == '\\' ? "" : "\\") + name)});
      return true;
    };
    const SvVerifyResult r =
        c.pendingFromRegistry
            ? SvVerify(ws.Parts(), lister)
            : SvVerify(ws.Parts(), lister, [&ws] { return ws.files().PendingOperations(); });
    EXPECT_EQ(before, sample::Capture(ws));

    EXPECT_EQ(c.verdict, r.verdict) << r.Text();
    EXPECT_EQ(static_cast<int>(c.verdict), r.ExitCode());
    EXPECT_EQ(c.traces, r.traces.size()) << r.Text();
    EXPECT_EQ(c.atRestart, r.atRestart.size()) << r.Text();
    EXPECT_EQ(c.verdict == SvVerdict::kCannotTell, !r.reason.empty()) << r.Text();
    std::vector<std::string> all;
    for (const auto* list : {&r.traces, &r.atRestart})
      for (const SvTrace& t : *list) all.push_back(Render(t));
    for (const SvTrace& t : c.expected)
      EXPECT_EQ(1, std::count(all.begin(), all.end(), Render(t))) << Render(t) << "\n" << r.Text();
    const std::string lastRun =
        r.lastRun.outcome + "/" + r.lastRun.phase + "/" + r.lastRun.message + "/";
    EXPECT_EQ(c.lastRun, lastRun);

    SvVerifyResult back;
    std::string why;
    ASSERT_TRUE(SvReadVerifyDocument(r.Json(), &back, &why)) << why << "\n" << r.Json();
    EXPECT_EQ(r.Json(), back.Json());
  }
}

}  // namespace
