// Start-up and end of the run: the refusals, the working directory, the
// silent start, the sheet's keyboard handling, Cancel and the exit code.
#include <memory>
#include <string>
#include <tuple>

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
  }
  void TearDown() override {
    app_.reset();
    SheetFixture::TearDown();
  }

  // A refused start on a fresh program: at most one box, the exit code 0,
  // the log file as it was.
  void ExpectRefused(const Strings& boxes, const std::string& what) {
    const bool hadLog = files().Exists(kLogPath);
    const std::string log = files().ReadFile(kLogPath);
    ui().ClearBoxes();
    app_ = std::make_unique<CSetupApp>();
    EXPECT_FALSE(app_->InitInstance()) << what;
    EXPECT_EQ(boxes, Boxes()) << what;
    EXPECT_EQ(0, app_->ExitInstance()) << what;
    EXPECT_EQ(hadLog, files().Exists(kLogPath)) << what;
    EXPECT_EQ(log, files().ReadFile(kLogPath)) << what;
  }
  std::string CurrentDirectory() {
    std::string current;
    svp::Fs().GetCurrentDirectory(&current);
    return current;
  }

  std::unique_ptr<CSetupApp> app_ = std::make_unique<CSetupApp>();
};

TEST_F(SetupAppTest, WindowsNtFourBuild1381OrLaterIsRequired) {
  const std::tuple<uint32_t, uint32_t, uint32_t, uint32_t, bool> cases[] = {
      {4, 0, 1380, 2, false}, {4, 0, 1381, 2, true},   {4, 10, 5, 2, true},
      {5, 0, 2195, 2, true},  {3, 51, 1057, 2, false}, {4, 0, 1381, 1, false}};
  // The initialisation's own build test is switched off: only start-up's rule counts.
  system().SetCommandLine("/NOVERCHECK");
  for (const auto& [major, minor, build, platform, runs] : cases) {
    const std::string what = std::to_string(major) + "." + std::to_string(minor) + "." +
                             std::to_string(build) + "/" + std::to_string(platform);
    system().version().major = major;
    system().version().minor = minor;
    system().version().build = build;
    system().version().platformId = platform;
    files().DeleteFile(kLogPath);
    if (runs) {
      ui().ClearBoxes();
      app_ = std::make_unique<CSetupApp>();
      EXPECT_TRUE(app_->InitInstance()) << what;
      EXPECT_TRUE(ui().boxes().empty()) << what;
      EXPECT_EQ(0, app_->ExitInstance()) << what;
    } else {
      ExpectRefused({"10 " + Text(1213)}, what);
    }
  }
}

TEST_F(SetupAppTest, OnlyTheFirstFailedCheckIsShownAndTheOldLogIsKept) {
  files().WriteFile(kLogPath, "earlier run\r\n");
  system().version().build = 1057;
  system().SetAdmin(false);
  platform_.net().SetLoadResult(2);
  ExpectRefused({"10 " + Text(1213)}, "version first");
  system().version().build = 1381;
  ExpectRefused({"10 " + Text(57352)}, "then rights");
  system().SetAdmin(true);
  platform_.net().SetLoadResult(4);
  ExpectRefused({"10 " + Text(1212)}, "then the library");
  platform_.net().SetLoadResult(0);
  system().RemoveString(5001);
  files().DeleteFile(kLogPath);
  ExpectRefused({}, "no configuration key name: silently");
}

TEST_F(SetupAppTest, RunsInItsOwnDirectoryPassesKeysToTheSheetAndRestoresTheDirectory) {
  files().MakeDirectory("C:\\OTHER");
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\OTHER"));
  const int message = 0;
  EXPECT_FALSE(app_->PreTranslateMessage(&message));  // no wizard yet
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_EQ("C:\\SV", app_->GetModuleDirectory());
  EXPECT_EQ("C:\\SV", CurrentDirectory());
  // Keyboard messages go to the sheet first.
  EXPECT_FALSE(app_->PreTranslateMessage(&message));
  sheets_.SetDialogMessageAnswer(true);
  EXPECT_TRUE(app_->PreTranslateMessage(&message));
  EXPECT_EQ(2, sheets_.DialogMessageCount());
  EXPECT_EQ(0, app_->ExitInstance());
  EXPECT_EQ("C:\\OTHER", CurrentDirectory());
  EXPECT_EQ(nullptr, app_->GetWizard());

  // A program in a drive root has the drive as its directory.
  files().SetModuleFileName("D:\\PROG.EXE");
  files().WriteFile("D:\\KITPURGE.DAT", "");
  app_ = std::make_unique<CSetupApp>();
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
  EXPECT_EQ(0u, files().ReadFile(kLogPath).find("Command line parameters /SILENT\r\n"
                                                "Running on Windows NT build 1381.\r\n"
                                                "Starting finish phase\r\n"));
}

TEST_F(SetupAppTest, SilentStartWithAPageToShowPressesNextAndChecksIt) {
  LockedProductDirectory();
  system().SetCommandLine("/SILENT");
  ASSERT_TRUE(app_->InitInstance());
  EXPECT_EQ(kSvIddTargetDir, sheets_.CurrentTemplate());
  EXPECT_EQ(Strings{"30 " + SvFormat(Text(6002), {"C:\\LOCKED"})}, Boxes());
  EXPECT_EQ(0u, sheets_.PostedCount());  // nothing more is pressed
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
