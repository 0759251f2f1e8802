// The removal sequence as the user starts it with Finish: the order of the
// phases, the Sockets clean-up program, the product keys, the final message
// and the restart; the cancel question and the old-version answer.
#include <string>

#include "phase_test_support.h"
#include "res/stringids.h"

namespace {

constexpr svp::RegKey kHklm = svp::kHKeyLocalMachine;
constexpr svp::RegKey kHkcu = svp::kHKeyCurrentUser;
constexpr const char* kEnvironment =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
const std::string kDestroyed =
    "Destroying setup wizard object.\r\n"
    "Closing setup log file.\r\n";
const std::string kEnd = "Ending finish phase.\r\n" + kDestroyed;

constexpr const char* kKit =
    "VERSION,0x1000048\n"
    "NETCPL,TRELLNET,oemnxptl.inf,Trellnet Protocol,TRELLNET_INSTALLED,0\n"
    "DELETE,NETLIB.DLL,{LDID_SV},_REQUIRED\n"
    "SHORTCUT,NOPE,k1,Solvane 32,Read Me,,,,\n";

class FinishTest : public SequenceFixture {
 protected:
  void SetUp() override {
    SequenceFixture::SetUp();
    Define("TRELLNET_INSTALLED", "TRUE");
    platform_.net().AddComponent("TRELLNET", "oemnxptl.inf");
    files().WriteFile("C:\\SV32\\NETLIB.DLL", "lib");
    files().WriteFile(Programs() + "\\Solvane 32\\Read Me.lnk", "lnk");
    registry().SetString(kHklm, kConfigKey, "LDID_SV", "C:\\SV32");
    registry().CreateKeyPath(kHklm, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Logger");
    registry().CreateKeyPath(kHkcu, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\NXFT\\RemoteHostList");
    registry().CreateKeyPath(kHkcu, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Log Viewer");
    registry().CreateKeyPath(kHkcu, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\SVRemote\\Ini");
    for (const char* service : {"RIZUDAV", "TRLLAT", "RAVEDOZERUZU"})
      registry().CreateKeyPath(kHklm, std::string("SYSTEM\\CurrentControlSet\\Services\\") +
                                          service + "\\Parameters\\Linkage");
    registry().SetString(kHklm, kEnvironment, "Path", "C:\\WINNT\\system32;C:\\SV32;C:\\BIN");
    files().WriteFile("C:\\WINNT\\system32\\AUTOEXEC.NT", "@echo off\r\nSET KSTA=C:\\SV32\r\n");
  }

  static std::string Programs() { return "C:\\WINNT\\Profiles\\All Users\\Start Menu\\Programs"; }
  bool ProductKeysGone() {
    return !registry().KeyExists(kHklm, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE") &&
           !registry().KeyExists(kHkcu, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE") &&
           !registry().KeyExists(kHklm, "SYSTEM\\CurrentControlSet\\Services\\RIZUDAV") &&
           !registry().KeyExists(kHklm, "SYSTEM\\CurrentControlSet\\Services\\TRLLAT") &&
           !registry().KeyExists(kHklm, "SYSTEM\\CurrentControlSet\\Services\\RAVEDOZERUZU");
  }
};

TEST_F(FinishTest, CompleteRunRemovesEverythingAndRestartsAfterTheLogIsClosed) {
  Open("", kKit);
  ui().QueueAnswer(svp::kIdYes);
  PressFinish();

  EXPECT_FALSE(platform_.net().HasComponent("TRELLNET"));
  EXPECT_FALSE(files().Exists(Programs() + "\\Solvane 32"));
  EXPECT_FALSE(files().Exists("C:\\SV32"));
  EXPECT_TRUE(ProductKeysGone());
  EXPECT_EQ("@echo off\r\n", files().ReadFile("C:\\WINNT\\system32\\AUTOEXEC.NT"));
  EXPECT_EQ(Strings{"24 " + Text(kIdsRestartQuestion)}, Boxes());
  EXPECT_EQ(0, ui().waitCursorDepth());
  EXPECT_EQ(0, sheets().QuitCode());
  EXPECT_TRUE(wizard_->GetRestart());
  auto* status = FindPage<CSvFinishStatusPage>(kSvIddFinishStatus);
  ASSERT_NE(nullptr, status);
  EXPECT_EQ("Removing Trellnet Protocol", status->GetNetworkText());
  EXPECT_EQ("Completed", status->GetShortcutText());
  EXPECT_FALSE(platform_.system().restartRequested());

  EXPECT_EQ(std::string("Starting finish phase\r\n"
                        "Starting network control panel phase.\r\n"
                        "Ending network control panel phase.\r\n"
                        "VcpOpen()\r\n"
                        "SvDeleteFile: C:\\SV32\\NETLIB.DLL\r\n"
                        "VcpClose()\r\n"
                        "Starting add shortcut phase.\r\n"
                        "Starting text file processing phase.\r\n"
                        "Ending text file processing phase.\r\n"
                        "Setup will reboot the system.\r\n") + kEnd,
            EndAndLog());
  EXPECT_TRUE(platform_.system().restartRequested());
}

// The Sockets clean-up program still starts; that it cannot is only logged.
TEST_F(FinishTest, EverySkipSwitchLeavesOnlyTheFixedSteps) {
  platform_.faults().Fail("StartProcess", 1, 2, true);
  Open("/NONETCPL /NOCOPY /NOSHORTCUTS /NOTEXTEDIT", kKit);
  ui().QueueAnswer(svp::kIdNo);
  PressFinish();
  EXPECT_TRUE(platform_.net().journal().empty());
  EXPECT_TRUE(files().Exists("C:\\SV32\\NETLIB.DLL"));
  EXPECT_EQ(nullptr, FindPage<CSvWizardPage>(kSvIddCopyStatus));
  auto* status = FindPage<CSvFinishStatusPage>(kSvIddFinishStatus);
  ASSERT_NE(nullptr, status);
  EXPECT_FALSE(status->GetNetworkTick());
  EXPECT_FALSE(status->GetShortcutTick());
  EXPECT_TRUE(files().Exists(Programs() + "\\Solvane 32\\Read Me.lnk"));
  EXPECT_EQ(Text(kIdsRestartQuestion), ui().boxes().at(0).text);
  EXPECT_FALSE(wizard_->GetRestart());
  EXPECT_EQ(std::string("Starting finish phase\r\n"
                        "Starting network control panel phase.\r\n"
                        "Network control panel processing skipped due to command line switch.\r\n"
                        // The string table's text has no line end of its own.
                        "SOLVANE uninstall failed to remove winsock2 entries."
                        "Copy phase skipped due to command line switch.\r\n"
                        "VcpClose()\r\n"
                        "Starting add shortcut phase.\r\n"
                        "Shortcut processing skipped due to command line switch.\r\n"
                        "Text file processing skipped due to command line switch.\r\n") + kEnd,
            EndAndLog());
  EXPECT_FALSE(platform_.system().restartRequested());
}

TEST_F(FinishTest, FailingNetworkRemovalSkipsTheRestButNotTheKeys) {
  Open("", kKit);
  platform_.net().SetRemoveError("TRELLNET", 1205);
  ui().QueueAnswer(svp::kIdOk);
  ui().QueueAnswer(svp::kIdOk);
  PressFinish();
  // The log shows that no later phase ran; these steps log nothing.
  EXPECT_TRUE(platform_.system().startedProcesses().empty());
  EXPECT_EQ("@echo off\r\nSET KSTA=C:\\SV32\r\n", files().ReadFile("C:\\WINNT\\system32\\AUTOEXEC.NT"));
  EXPECT_TRUE(ProductKeysGone());
  ASSERT_EQ(2u, Boxes().size());
  EXPECT_EQ("30 " + Text(kIdsUninstallFailed), Boxes()[1]);
  EXPECT_EQ(std::string("Starting finish phase\r\n"
                        "Starting network control panel phase.\r\n"
                        "The following error occurred while removing TRELLNET\r\r\n"
                        "Error 1205 (Registry call failed)\r\n"
                        "Ending network control panel phase.\r\n") + kEnd,
            EndAndLog());
}

TEST_F(FinishTest, ConfigurationKeyWithAnAddedSubKeyKeepsEveryKey) {
  registry().CreateKeyPath(kHklm, std::string(kConfigKey) + "\\Added");
  Open("/NOSHORTCUTS", kKit);
  ui().QueueAnswer(svp::kIdNo);
  PressFinish();
  EXPECT_TRUE(registry().KeyExists(kHklm, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\Event Logger"));
  EXPECT_TRUE(registry().KeyExists(kHkcu, "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\NXFT\\RemoteHostList"));
  EXPECT_TRUE(registry().KeyExists(kHklm, "SYSTEM\\CurrentControlSet\\Services\\TRLLAT\\Parameters"));
  std::string startNetwork;
  ASSERT_TRUE(registry().GetString(kHklm, kConfigKey, "StartNetwork", &startNetwork));
  EXPECT_EQ("TRUE", startNetwork);
  EXPECT_EQ(Text(kIdsRestartQuestion), ui().boxes().at(0).text);
}

TEST_F(FinishTest, EnvironmentFailureSkipsAutoexecAndShowsTheFailure) {
  registry().DenyAccess(kHklm, kEnvironment, true);
  Open("/NONETCPL /NOSHORTCUTS /NOTEXTEDIT", kKit);
  ui().QueueAnswer(svp::kIdOk);
  PressFinish();
  EXPECT_FALSE(files().Exists("C:\\SV32\\NETLIB.DLL"));
  EXPECT_EQ("@echo off\r\nSET KSTA=C:\\SV32\r\n", files().ReadFile("C:\\WINNT\\system32\\AUTOEXEC.NT"));
  EXPECT_TRUE(files().Exists("C:\\SV32"));
  EXPECT_TRUE(ProductKeysGone());
  EXPECT_EQ(Text(kIdsUninstallFailed), ui().boxes().at(0).text);
}

TEST_F(FinishTest, CancelRemovesOnlyAnEmptyProductDirectory) {
  Open("", kKit);
  ui().QueueAnswer(svp::kIdNo);
  EXPECT_TRUE(wizard_->OnCancel());
  EXPECT_FALSE(kit()->IsCancelled());
  ui().QueueAnswer(svp::kIdYes);
  EXPECT_FALSE(wizard_->OnCancel());
  EXPECT_TRUE(kit()->IsCancelled());
  EXPECT_TRUE(files().Exists("C:\\SV32\\NETLIB.DLL"));

  files().DeleteFile("C:\\SV32\\NETLIB.DLL");
  ui().QueueAnswer(svp::kIdYes);
  EXPECT_FALSE(wizard_->OnCancel());
  EXPECT_FALSE(files().Exists("C:\\SV32"));
  EXPECT_EQ("24 " + Text(kIdsCancelQuestion), Boxes().at(0));
  EXPECT_EQ(kDestroyed, EndAndLog());
}

TEST_F(FinishTest, OldVersionYesRemovesTheRegistrationsAndOffersTheRestart) {
  const char* netRules = "SOFTWARE\\OrrisLogicCorporation\\SOLVANE\\CurrentVersion\\NetRules";
  registry().SetString(kHklm, netRules, "InfName", "oemsv.inf");
  platform_.net().AddComponent("SOLVANE", "oemsv.inf");
  Open("", kKit);
  ui().QueueAnswer(svp::kIdYes);
  wizard_->OnOldVersionYes();
  EXPECT_FALSE(platform_.net().HasComponent("SOLVANE"));
  EXPECT_TRUE(sheets().QuitPosted());
  EXPECT_TRUE(wizard_->GetRestart());
  EXPECT_TRUE(files().Exists("C:\\SV32\\NETLIB.DLL"));
  EXPECT_EQ("Setup will reboot the system.\r\n" + kDestroyed, EndAndLog());
  EXPECT_TRUE(platform_.system().restartRequested());
}

}  // namespace
