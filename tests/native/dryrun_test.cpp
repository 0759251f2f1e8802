// The dry run over a simulated workstation as its "real" side: planning
// changes nothing there, and the plan says what the run would do.  That the
// real run then does exactly that is proven on the real platform, under Wine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "log/svlog.h"
#include "plan/plan.h"
#include "platform/memory/memory_platform.h"
#include "sample_workstation.h"

namespace {

using Strings = std::vector<std::string>;
constexpr svp::RegKey kHklm = svp::kHKeyLocalMachine;
constexpr const char* kConfigKey =
    "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";
constexpr const char* kEnvironment =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr const char* kKit =
    "VERSION,0x1000048\n"
    "NETCPL,TRELLNET,oemnxptl.inf,Trellnet Protocol,TRLCORE_Installed,0\n"
    "DELETE,NETLIB.DLL,{LDID_SV},_REQUIRED\n"
    "DELETE,BUSY.DLL,{LDID_SV},_REQUIRED\n"
    "DELETE,GONE.DLL,{LDID_SV},_REQUIRED\n"
    "DELETE,TRELLNET.INI,{LDID_SV}\\PROTOCOL\\TRELLNET,_REQUIRED\n"
    "SHORTCUT,TRLCORE_Installed,k1,Solvane 32,Read Me,,,,\n"
    "SHORTCUT,VUDU_Installed,k2,Solvane 32,Monitor,KEEP,,,\n";

class DryRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto& files = real_.files();
    files.WriteFile("C:\\SV\\KITPURGE.DAT", kKit);
    files.WriteFile("C:\\SV\\svs2tnst.exe", "exe");
    files.WriteFile("C:\\SV32\\NETLIB.DLL", "lib");
    files.WriteFile("C:\\SV32\\BUSY.DLL", "busy");
    files.SetInUse("C:\\SV32\\BUSY.DLL", true);
    files.WriteFile("C:\\SV32\\PROTOCOL\\TRELLNET\\TRELLNET.INI", "ini");
    files.WriteFile("C:\\SV32\\USER.DAT", "the user's own");
    files.WriteFile(Programs() + "\\Solvane 32\\Read Me.lnk", "lnk");
    files.WriteFile(Programs() + "\\Solvane 32\\Monitor.lnk", "lnk");
    files.WriteFile("C:\\WINNT\\system32\\AUTOEXEC.NT",
                    "@echo off\r\nlh tnp16.exe\r\nREM keep\r\nSET KSTA=C:\\SV32\r\n");
    auto& reg = real_.registry();
    reg.SetString(kHklm, kConfigKey, "LDID_SV", "C:\\SV32");
    reg.SetString(kHklm, kConfigKey, "LDID_SV_LONG", "C:\\SV32");
    reg.CreateKeyPath(kHklm, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Logger");
    reg.CreateKeyPath(svp::kHKeyCurrentUser, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\SVRemote\\Ini");
    reg.CreateKeyPath(kHklm, "SYSTEM\\CurrentControlSet\\Services\\TRLLAT\\Parameters");
    reg.SetString(kHklm, kEnvironment, "Path", "C:\\WINNT\\system32;C:\\SV32;C:\\BIN");
    reg.SetString(kHklm, kEnvironment, "KSTA", "C:\\SV32");
    real_.net().AddComponent("TRELLNET", "oemnxptl.inf");
  }
  void TearDown() override { SvCloseLog(); }

  static std::string Programs() { return "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs"; }

  svp::MemoryPlatform real_;
};

TEST_F(DryRunTest, PlanChangesNothingAndSaysWhatTheRunWouldDo) {
  const auto before = sample::Capture(real_);
  CSvPlan plan;
  {
    const auto lister = [this](const std::string& dir, std::vector<svp::DryRunDirEntry>* out) {
      for (const std::string& name : real_.files().List(dir)) {
        const std::string child = dir.back() == '\\' ? dir + name : dir + "\\" + name;
        out->push_back({name, real_.files().GetFileAttributes(child)});
      }
      return true;
    };
    svp::DryRunPlatform dry(real_.Parts(), lister);
    plan.Run(dry, "/NOSHORTCUTS");
    // The workstation is untouched: no file, key, value, restart request,
    // network component, binding review, process or box.
    EXPECT_EQ(before, sample::Capture(real_));
    EXPECT_EQ(0, real_.net().reviewCount());
    EXPECT_TRUE(real_.system().startedProcesses().empty());
    EXPECT_TRUE(real_.ui().boxes().empty());

    const std::string text = plan.Text();
    for (const char* expected :
         {"What \"KITPURGE.EXE /NOSHORTCUTS /SILENT\" would do",
          "  log        SvDeleteFile: C:\\SV32\\NETLIB.DLL\n",
          "  delete     C:\\SV32\\BUSY.DLL  [in use: error 32]\n",
          "  delete-at-restart C:\\SV32\\BUSY.DLL\n",
          "  delete     C:\\SV32\\GONE.DLL  [already missing]\n",
          "  net-remove TRELLNET  [assumed to succeed]\n  net-review-bindings",
          "  start-process svs2tnst.exe  0x80\n",
          "  Path before: C:\\WINNT\\system32;C:\\SV32;C:\\BIN\n"
          "  Path after:  C:\\WINNT\\system32;C:\\BIN;\n",
          "AUTOEXEC.NT line 2 dropped: lh tnp16.exe\n",
          "AUTOEXEC.NT line 4 dropped: SET KSTA=C:\\SV32\n",
          "shortcut kept: Solvane 32\\Monitor (marker \"KEEP\", VUDU_Installed is true)\n",
          "  final message: \"To complete the uninstall of SOLVANE, Windows NT needs to be "
          "restarted. Would you like to restart your computer now?\" answered No\n"})
      EXPECT_NE(std::string::npos, text.find(expected)) << expected << "\n" << text;
    EXPECT_NE(std::string::npos, plan.Json().find("\"kind\": \"net-remove\", \"target\": \"TRELLNET\""));
    EXPECT_EQ((Strings{"delete C:\\SV32\\GONE.DLL", "delete C:\\SV32\\BUSY.DLL", "delete C:\\SV32"}),
              dry.Effect().pendingOperations);
  }
}

}  // namespace
