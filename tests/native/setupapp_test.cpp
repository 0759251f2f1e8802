// Start-up and end of the run: the refusals, the working directory, the
// silent start, the sheet's keyboard handling, Cancel and the exit code.
#include <memory>
#include <string>

#include "app/setupapp.h"
#include "app/uninstall.h"
#include "wizard/pages.h"
#include "wizard_test_support.h"

namespace {

class SetupAppTest : public SheetFixture {
 protected:
  void SetUp() override {
    SheetFixture::SetUp();
    files().WriteFile("C:\\SV\\KITPURGE.DAT", "; empty kit\n");
    files().MakeDirectory("C:\\SV32");
    app_ = std::make_unique<CSetupApp>();
  }
  void TearDown() override {
    app_.reset();
    SheetFixture::TearDown();
  }

  // A refused start: exactly one box, the program ends with 0, no log.
  void ExpectRefusedWith(const std::string& text, const char* what) {
    EXPECT_FALSE(app_->InitInstance()) << what;
    ASSERT_EQ(1u, ui().boxes().size()) << what;
    EXPECT_EQ(text, ui().boxes()[0].text) << what;
    EXPECT_EQ(0x10u, ui().boxes()[0].type) << what;
    EXPECT_EQ(0, app_->ExitInstance()) << what;
    EXPECT_FALSE(files().Exists(kLogPath)) << what;
  }

  std::unique_ptr<CSetupApp> app_;
};

TEST_F(SetupAppTest, WindowsNtFourBuild1381OrLaterIsRequired) {
  struct Case {
    uint32_t major, minor, build, platform;
    bool runs;
  } cases[] = {{4, 0, 1380, 2, false}, {4, 0, 1381, 2, true}, {4, 10, 5, 2, true},
               {5, 0, 2195, 2, true},  {3, 51, 1057, 2, false}, {4, 0, 1381, 1, false}};
  // The initialisation's own build test is switched off: only start-up's rule counts.
  system().SetCommandLine("/NOVERCHECK");
  for (const Case& c : cases) {
    const std::string what = std::to_string(c.major) + "." + std::to_string(c.minor) + "." +
                             std::to_string(c.build) + "/" + std::to_string(c.platform);
    system().version().major = c.major;
    system().version().minor = c.minor;
    system().version().build = c.build;
    system().version().platformId = c.platform;
    ui().ClearBoxes();
    files().DeleteFile(kLogPath);
    app_ = std::make_unique<CSetupApp>();
    if (c.runs) {
      EXPECT_TRUE(app_->InitInstance()) << what;
      EXPECT_TRUE(ui().boxes().empty()) << what;
      EXPECT_EQ(0, app_->ExitInstance()) << what;
    } else {
      ExpectRefusedWith(Text(1213), what.c_str());
    }
  }
}

TEST_F(SetupAppTest, NonAdministratorIsRefusedAndTheOldLogKept) {
  files().WriteFile(kLogPath, "earlier run\r\n");
  system().SetAdmin(false);
  EXPECT_FALSE(app_->InitInstance());
  EXPECT_EQ(std::vector<std::string>{Text(57352)}, BoxTexts());
  EXPECT_EQ(0, app_->ExitInstance());
  EXPECT_EQ("earlier run\r\n", files().ReadFile(kLogPath));
}

TEST_F(SetupAppTest, OnlyTheFirstFailedCheckIsShown) {
  system().SetAdmin(false);
  platform_.net().SetLoadResult(2);
  system().version().build = 1057;
  ExpectRefusedWith(Text(1213), "version first");
}

TEST_F(SetupAppTest, UnboundNetworkLibraryIsRefused) {
  platform_.net().SetLoadResult(4);
  ExpectRefusedWith(Text(1212), "library");
}

TEST_F(SetupAppTest, MissingConfigurationKeyNameEndsSilently) {
  system().RemoveString(5001);
  EXPECT_FALSE(app_->InitInstance());
  EXPECT_TRUE(ui().boxes().empty());
  EXPECT_EQ(0, app_->ExitInstance());
  EXPECT_FALSE(files().Exists(kLogPath));
}

TEST_F(SetupAppTest, RunsInItsOwnDirectoryAndRestoresTheCurrentOne) {
  files().MakeDirectory("C:\\OTHER");
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\OTHER"));
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_EQ("C:\\SV", app_->GetModuleDirectory());
  std::string current;
  svp::Fs().GetCurrentDirectory(&current);
  EXPECT_EQ("C:\\SV", current);
  EXPECT_EQ(0, app_->ExitInstance());
  svp::Fs().GetCurrentDirectory(&current);
  EXPECT_EQ("C:\\OTHER", current);
  EXPECT_EQ(nullptr, app_->GetWizard());
}

TEST_F(SetupAppTest, ProgramInADriveRootHasTheDriveAsItsDirectory) {
  files().SetModuleFileName("D:\\PROG.EXE");
  files().WriteFile("D:\\KITPURGE.DAT", "");
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_EQ("D:", app_->GetModuleDirectory());
  app_->ExitInstance();
}

TEST_F(SetupAppTest, SilentStartWithNothingToAskPressesFinish) {
  system().SetCommandLine("/SILENT");
  ui().QueueAnswer(svp::kIdNo);  // the restart question at the end
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_FALSE(app_->GetWizard()->IsFinishing());  // posted, not yet run
  sheets_.DispatchPosted();
  EXPECT_TRUE(app_->GetWizard()->IsFinishing());
  EXPECT_TRUE(sheets_.QuitPosted());
  EXPECT_EQ(0, app_->ExitInstance(sheets_.QuitCode()));
  const std::string log = files().ReadFile(kLogPath);
  EXPECT_EQ(0u, log.find("Command line parameters /SILENT\r\n"
                         "Running on Windows NT build 1381.\r\n"
                         "Starting finish phase\r\n"));
}

TEST_F(SetupAppTest, SilentStartWithAPageToShowPressesNextAndChecksIt) {
  registry().SetString(svp::kHKeyLocalMachine, kConfigKey, "LDID_SV_LONG", "C:\\LOCKED");
  files().MakeDirectory("C:\\LOCKED");
  files().SetInaccessible("C:\\LOCKED", true);
  system().SetCommandLine("/SILENT");
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_EQ(kSvIddTargetDir, sheets_.CurrentTemplate());
  EXPECT_EQ(std::vector<std::string>{"C:\\LOCKED is not a valid directory specification."},
            BoxTexts());
  EXPECT_EQ(0u, sheets_.PostedCount());  // nothing more is pressed
  app_->ExitInstance();
}

TEST_F(SetupAppTest, KeyboardMessagesGoToTheSheetFirst) {
  const int message = 0;
  EXPECT_FALSE(app_->PreTranslateMessage(&message));  // no wizard yet
  EXPECT_EQ(0, sheets_.DialogMessageCount());
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_FALSE(app_->PreTranslateMessage(&message));
  sheets_.SetDialogMessageAnswer(true);
  EXPECT_TRUE(app_->PreTranslateMessage(&message));
  EXPECT_EQ(2, sheets_.DialogMessageCount());
  app_->ExitInstance();
}

TEST_F(SetupAppTest, CancelAnsweredNoKeepsTheWizardAndYesEndsTheRun) {
  ASSERT_TRUE(app_->InitInstance());
  ui().QueueAnswer(svp::kIdNo);
  ASSERT_TRUE(sheets_.ClickCancel());
  EXPECT_TRUE(sheets_.IsOpen());
  EXPECT_FALSE(sheets_.QuitPosted());

  ui().QueueAnswer(svp::kIdYes);
  ASSERT_TRUE(sheets_.ClickCancel());
  EXPECT_TRUE(sheets_.QuitPosted());
  EXPECT_EQ(0, app_->ExitInstance(sheets_.QuitCode()));
  EXPECT_EQ(
      "Command line parameters \r\nRunning on Windows NT build 1381.\r\n"
      "Destroying setup wizard object.\r\nClosing setup log file.\r\n",
      files().ReadFile(kLogPath));
}

}  // namespace
