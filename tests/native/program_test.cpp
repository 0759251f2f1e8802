// The program from start-up to the end of the run: the start-up refusals,
// the working directory, the initialisation from the command line to the open
// sheet with its failure messages, the silent start, Cancel and the exit code.
#include <memory>
#include <string>
#include <tuple>

#include "app/setupapp.h"
#include "app/switches.h"
#include "app/uninstall.h"
#include "macros/macros.h"
#include "wizard/pages.h"
#include "wizard_test_support.h"

namespace {

// The log's first two lines for a command line.
std::string FirstLines(const std::string& commandLine) {
  return "Command line parameters " + commandLine + "\r\nRunning on Windows NT build 1381.\r\n";
}
const char kLastLines[] = "Destroying setup wizard object.\r\nClosing setup log file.\r\n";

TEST(ParseLanguageSwitch, FindsRemovesAndChecksTheCode) {
  const std::tuple<const char*, int, const char*, const char*> cases[] = {
      {"", 1, "", ""},
      {"/SILENT", 1, "", "/SILENT"},
      {"/LRU /SILENT", 0, "RU", " /SILENT"},
      {"/SILENT /lde", 0, "de", "/SILENT "},
      {"/Lxx", -1, "xx", ""},
      {"/NOCOPY/L", 0, "", "/NOCOPY"},
      {"/LR", -1, "R", ""},
      {"/LDE -lcz", 0, "cz", "/LDE "},  // "-l" is looked for first, wherever it stands
  };
  for (const auto& [line, result, code, rest] : cases) {
    std::string text = line, found = "junk";
    EXPECT_EQ(result, ParseLanguageSwitch(text, found)) << line;
    EXPECT_EQ(code, found) << line;
    EXPECT_EQ(rest, text) << line;
  }
}

// The program in C:\SV with an empty kit beside it and the product directory
// C:\SV32: the whole application or its wizard alone.
class ProgramTest : public WorkstationFixture {
 protected:
  void SetUp() override {
    files().WriteFile("C:\\SV\\KITPURGE.DAT", "; empty kit\n");
    files().MakeDirectory("C:\\SV32");
  }
  void TearDown() override {
    wizard_.reset();
    app_.reset();
    WorkstationFixture::TearDown();
  }

  bool Initialize(const std::string& commandLine) {
    wizard_.reset();
    system().SetCommandLine(commandLine);
    wizard_ = std::make_unique<CSvUninstallWizard>(kConfigKey, svp::kHKeyLocalMachine);
    return wizard_->Initialize();
  }
  // The log of the run, once the wizard has closed it.
  std::string FinalLog() {
    wizard_.reset();
    return files().ReadFile(kLogPath);
  }
  std::string Macro(const char* name) {
    std::string value;
    return wizard_->GetMacroList()->GetMacroValue(name, value) == 0 ? value : "<absent>";
  }
  std::string Config(const char* name) {
    std::string value;
    return registry().GetString(svp::kHKeyLocalMachine, kConfigKey, name, &value) ? value
                                                                                  : "<absent>";
  }
  bool Set(uint32_t id) { return wizard_->GetSwitchList()->IsSwitchSet(id); }

  // The application, made on first use: while one exists, the wizard takes
  // its directory from it.
  CSetupApp& App() {
    if (!app_) app_ = std::make_unique<CSetupApp>();
    return *app_;
  }

  std::unique_ptr<CSvUninstallWizard> wizard_;
  std::unique_ptr<CSetupApp> app_;
};

TEST_F(ProgramTest, StandardDirectoriesFollowTheWindowsDirectory) {
  system().SetWindowsDirectory("D:\\WINNT");
  std::string dir;
  const std::pair<const char*, const char*> expected[] = {
      {"LDID_INF", "D:\\WINNT\\INF\\"}, {"LDID_SYS", "D:\\WINNT\\system32"},
      {"LDID_WIN", "D:\\WINNT"},        {"LDID_HELP", "D:\\WINNT\\HELP\\"},
      {"LDID_WINBOOT", "C:\\"},         {"LDID_BOOT", "C:\\"},
      {"LDID_SHARED", "D:\\SV32"},      {"LDID_APPS", "D:\\SV32"}};
  for (const auto& [name, value] : expected) {
    ASSERT_TRUE(GetStandardDirectory(name, dir)) << name;
    EXPECT_EQ(value, dir) << name;
  }
  dir = "unchanged";
  EXPECT_FALSE(GetStandardDirectory("LDID_SV", dir));
  EXPECT_EQ("unchanged", dir);
  system().RemoveString(6003);
  ASSERT_TRUE(GetStandardDirectory("LDID_APPS", dir));
  EXPECT_EQ("c:\\sv32", dir);
}

TEST_F(ProgramTest, AnswerFileLinesBecomeConfigurationValues) {
  EXPECT_TRUE(ReadAnswerFile("D:\\NONE.TXT"));
  files().WriteFile("C:\\RO.TXT", "InstallMode=Custom\n");
  files().SetReadOnly("C:\\RO.TXT", true);
  EXPECT_TRUE(ReadAnswerFile("C:\\RO.TXT"));  // opened for update: refused, nothing written
  EXPECT_FALSE(registry().KeyExists(svp::kHKeyLocalMachine, kConfigKey));

  // 259 characters are the longest line of the format; one more is outside it.
  const std::string longest = "Longest=" + std::string(251, 'x');
  const std::string tooLong = "Long=" + std::string(255, 'x') + "\n";
  files().WriteFile("D:\\ANS.TXT",
                    "InstallMode=Custom\n//Reinstall=TRUE\nSkip=me // not this one\n" + tooLong +
                        longest + "\nno equals sign\nx\n Spaced Name = a=b \nEmpty=\nLast=ABC");
  EXPECT_TRUE(ReadAnswerFile("D:\\ANS.TXT"));
  std::string raw;
  ASSERT_TRUE(registry().GetRaw(svp::kHKeyLocalMachine, kConfigKey, "InstallMode", &raw));
  EXPECT_EQ("Custom", raw);  // no line feed, no terminating NUL
  EXPECT_EQ(std::string(251, 'x'), Config("Longest"));
  EXPECT_EQ(" a=b ", Config(" Spaced Name "));
  EXPECT_EQ("", Config("Empty"));
  EXPECT_EQ("ABC", Config("Last"));  // the last line keeps its last character
  EXPECT_EQ((Strings{"InstallMode", "Longest", " Spaced Name ", "Empty", "Last"}),
            registry().ValueNames(svp::kHKeyLocalMachine, kConfigKey));
}

TEST_F(ProgramTest, FailuresBeforeTheLogIsOpenShowOneBoxAndLeaveNoLog) {
  const std::string usage = "30 " + Text(10034);
  const std::pair<const char*, std::string> cases[] = {
      {"/Lxx", usage},
      {"/autosetup=D:\\ANS.TXT", usage},  // the answer file's switch is upper case
      {"", "30 Setup failed to initialize.\r\nPlease see  for more information.\n"},
  };
  for (const auto& [line, box] : cases) {
    if (*line == 0) system().RemoveString(10017);  // no log name: an empty path
    ui().ClearBoxes();
    EXPECT_FALSE(Initialize(line)) << line;
    EXPECT_EQ(Strings{box}, Boxes()) << line;
    wizard_.reset();
    EXPECT_FALSE(files().Exists(kLogPath)) << line;
  }
}

TEST_F(ProgramTest, OpensTheSheetOnTheWelcomePageAndLogsTheWholeCommandLine) {
  ASSERT_TRUE(Initialize("/NOCOPY /LFR"));
  EXPECT_TRUE(ui().boxes().empty());
  EXPECT_TRUE(sheets().IsOpen());
  EXPECT_FALSE(sheets().IsHidden());
  EXPECT_EQ(kSvIddSplash, sheets().CurrentTemplate());
  EXPECT_EQ(svp::kWizFinish, sheets().Buttons());
  EXPECT_EQ(3u, wizard_->GetPages().size());
  EXPECT_EQ("C:\\WINNT\\INF\\", Macro("LDID_INF"));
  EXPECT_EQ("C:\\SV", Macro("LDID_KITROOT"));
  EXPECT_EQ("TRUE", Macro("_REQUIRED"));
  // The language switch is taken out before the switches are parsed.
  EXPECT_EQ("FR", Macro("LDID_SVLLV"));
  EXPECT_TRUE(Set(kSwNoCopy));
  EXPECT_EQ(FirstLines("/NOCOPY /LFR"), Log());
  // Only the first 255 characters are parsed.
  const std::string line = "/SILENT" + std::string(248, ' ') + "/BOGUS";
  ASSERT_TRUE(Initialize(line));
  EXPECT_TRUE(Set(kSwSilent));
  EXPECT_EQ(FirstLines(line), Log());
}

TEST_F(ProgramTest, SecondInstanceFindsTheLogTakenAndChangesNothing) {
  files().WriteFile(kLogPath, "first run\r\n");
  svp::FileHandle held = svp::Fs().CreateFile(kLogPath, svp::kGenericWrite, 0, svp::kOpenExisting);
  ASSERT_NE(svp::kInvalidFile, held);
  EXPECT_FALSE(Initialize("/SILENT"));
  EXPECT_EQ(Strings{"30 A version of SOLVANE 32 setup is currently running."}, Boxes());
  EXPECT_FALSE(sheets().IsOpen());
  wizard_.reset();
  svp::Fs().CloseHandle(held);
  EXPECT_EQ("first run\r\n", files().ReadFile(kLogPath));
}

TEST_F(ProgramTest, OldBuildIsRefusedAfterTwoLogLinesUnlessNotChecked) {
  system().version().build = 1380;
  EXPECT_FALSE(Initialize(""));
  EXPECT_EQ(Strings{"30 " + SvFormat(Text(10008), {1381})}, Boxes());
  EXPECT_EQ(
      "Command line parameters \r\nRunning on Windows NT build 1380.\r\n" + std::string(kLastLines),
      FinalLog());
  // NOVERCHECK skips the check and its line.
  system().version().build = 1057;
  ASSERT_TRUE(Initialize("/NOV"));
  EXPECT_EQ("Command line parameters /NOV\r\n", Log());
}

TEST_F(ProgramTest, AutoSetupReadsTheAnswerFileUnlessSilentAndHidesTheSheet) {
  files().WriteFile("D:\\ANS.TXT", "InstallMode=Custom\nLDID_SV_LONG=C:\\SV32\n");
  ASSERT_TRUE(Initialize("/AUTOSETUP=D:\\ANS.TXT /SILENT"));
  EXPECT_TRUE(Set(kSwAutoSetup));
  EXPECT_TRUE(Set(kSwSilent));
  EXPECT_EQ("Typical", Macro("InstallMode"));
  EXPECT_EQ("<absent>", Config("InstallMode"));

  ASSERT_TRUE(Initialize("/AUTOSETUP=D:\\ANS.TXT"));
  EXPECT_TRUE(Set(kSwSilent));  // added
  EXPECT_TRUE(sheets().IsHidden());
  EXPECT_EQ("Custom", Macro("InstallMode"));
  EXPECT_EQ("C:\\SV32", Config("LDID_SV_LONG"));
  EXPECT_EQ(FirstLines("/AUTOSETUP=D:\\ANS.TXT"), Log());
}

TEST_F(ProgramTest, MissingKitFailsAfterTheLoadersOwnReport) {
  files().DeleteFile("C:\\SV\\KITPURGE.DAT");
  ui().QueueAnswer(svp::kIdCancel);
  EXPECT_FALSE(Initialize(""));
  ASSERT_EQ(2u, ui().boxes().size());
  EXPECT_EQ("30 Setup failed to initialize.\r\nPlease see C:\\SVSETUP.LOG for more information.\n",
            Boxes()[1]);
  EXPECT_FALSE(sheets().IsOpen());
  EXPECT_EQ(FirstLines("") +
                "Error loading kit data file C:\\SV\\KITPURGE.DAT,  OS returned error 2\r\n" +
                kLastLines,
            FinalLog());
}

TEST_F(ProgramTest, ConfigurationIsMovedFromTheOlderKeyAndForceNewEmptiesIt) {
  registry().SetString(svp::kHKeyLocalMachine,
                       "SOFTWARE\\OrrisLogic\\SOLVANE\\Setup\\CurrentConfiguration", "InstallMode",
                       "Custom");
  ASSERT_TRUE(Initialize(""));
  EXPECT_EQ("Custom", Macro("InstallMode"));
  EXPECT_FALSE(registry().KeyExists(svp::kHKeyLocalMachine, "SOFTWARE\\OrrisLogic"));

  ASSERT_TRUE(Initialize("/FORCEN"));
  EXPECT_EQ("Typical", Macro("InstallMode"));
  EXPECT_FALSE(registry().KeyExists(svp::kHKeyLocalMachine, kConfigKey));
}

// Start-up's own checks in their order: Windows NT 4.0 build 1381 or later
// (the initialisation's build test is switched off), administrator rights, the
// network library, the configuration key's name.  Only the first failure is
// shown; a refused start exits with 0 and leaves the old log as it was.
TEST_F(ProgramTest, StartUpRefusesOldWindowsThenMissingRightsThenNoLibrary) {
  const struct {
    uint32_t major, minor, build, platform;
    bool admin;
    uint32_t load, box;  // box 0: the program runs
  } cases[] = {{4, 0, 1380, 2, false, 2, 1213}, {3, 51, 1057, 2, true, 0, 1213},
               {4, 0, 1381, 1, true, 0, 1213},  {4, 0, 1381, 2, false, 4, 57352},
               {4, 0, 1381, 2, true, 4, 1212},  {4, 0, 1381, 2, true, 0, 0},
               {4, 10, 5, 2, true, 0, 0},       {5, 0, 2195, 2, true, 0, 0}};
  files().WriteFile(kLogPath, "earlier run\r\n");
  system().SetCommandLine("/NOVERCHECK");
  for (const auto& c : cases) {
    const std::string what = "case " + std::to_string(&c - cases);
    system().version().major = c.major;
    system().version().minor = c.minor;
    system().version().build = c.build;
    system().version().platformId = c.platform;
    system().SetAdmin(c.admin);
    platform_.net().SetLoadResult(c.load);
    ui().ClearBoxes();
    app_ = std::make_unique<CSetupApp>();
    EXPECT_EQ(c.box == 0, App().InitInstance()) << what;
    EXPECT_EQ(c.box == 0 ? Strings{} : Strings{"10 " + Text(c.box)}, Boxes()) << what;
    EXPECT_EQ(0, App().ExitInstance()) << what;
    if (c.box != 0) {
      EXPECT_EQ("earlier run\r\n", files().ReadFile(kLogPath)) << what;
    }
  }
  system().RemoveString(5001);
  files().DeleteFile(kLogPath);
  ui().ClearBoxes();
  app_ = std::make_unique<CSetupApp>();
  EXPECT_FALSE(App().InitInstance());
  EXPECT_TRUE(ui().boxes().empty());
  EXPECT_FALSE(files().Exists(kLogPath));
}

TEST_F(ProgramTest, RunsInItsOwnDirectoryPassesKeysToTheSheetAndRestoresTheDirectory) {
  files().MakeDirectory("C:\\OTHER");
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\OTHER"));
  const int message = 0;
  EXPECT_FALSE(App().PreTranslateMessage(&message));  // no wizard yet
  ASSERT_TRUE(App().InitInstance());
  EXPECT_EQ("C:\\SV", App().GetModuleDirectory());
  std::string current;
  svp::Fs().GetCurrentDirectory(&current);
  EXPECT_EQ("C:\\SV", current);
  // Keyboard messages go to the sheet first.
  EXPECT_FALSE(App().PreTranslateMessage(&message));
  sheets().SetDialogMessageAnswer(true);
  EXPECT_TRUE(App().PreTranslateMessage(&message));
  EXPECT_EQ(2, sheets().DialogMessageCount());
  EXPECT_EQ(0, App().ExitInstance());
  svp::Fs().GetCurrentDirectory(&current);
  EXPECT_EQ("C:\\OTHER", current);
  EXPECT_EQ(nullptr, App().GetWizard());

  // A program in a drive root has the drive as its directory.
  files().SetModuleFileName("D:\\PROG.EXE");
  files().WriteFile("D:\\KITPURGE.DAT", "");
  app_ = std::make_unique<CSetupApp>();
  ASSERT_TRUE(App().InitInstance());
  EXPECT_EQ("D:", App().GetModuleDirectory());
  App().ExitInstance();
}

TEST_F(ProgramTest, SilentStartWithNothingToAskPressesFinish) {
  system().SetCommandLine("/SILENT");
  ui().QueueAnswer(svp::kIdNo);  // the restart question at the end
  ASSERT_TRUE(App().InitInstance());
  EXPECT_FALSE(App().GetWizard()->IsFinishing());  // posted, not yet run
  sheets().DispatchPosted();
  EXPECT_TRUE(App().GetWizard()->IsFinishing());
  EXPECT_TRUE(sheets().QuitPosted());
  EXPECT_EQ(0, App().ExitInstance(sheets().QuitCode()));
  EXPECT_EQ(0u, files().ReadFile(kLogPath).find(FirstLines("/SILENT") + "Starting finish phase\r\n"));
}

TEST_F(ProgramTest, SilentStartWithAPageToShowPressesNextAndChecksIt) {
  LockedProductDirectory();
  system().SetCommandLine("/SILENT");
  ASSERT_TRUE(App().InitInstance());
  EXPECT_EQ(kSvIddTargetDir, sheets().CurrentTemplate());
  EXPECT_EQ(Strings{"30 " + SvFormat(Text(6002), {"C:\\LOCKED"})}, Boxes());
  EXPECT_EQ(0u, sheets().PostedCount());  // nothing more is pressed
  App().ExitInstance();
}

TEST_F(ProgramTest, CancelAnsweredNoKeepsTheWizardAndYesEndsTheRun) {
  ASSERT_TRUE(App().InitInstance());
  ui().QueueAnswer(svp::kIdNo);
  ASSERT_TRUE(sheets().ClickCancel());
  EXPECT_TRUE(sheets().IsOpen());
  EXPECT_FALSE(sheets().QuitPosted());

  ui().QueueAnswer(svp::kIdYes);
  ASSERT_TRUE(sheets().ClickCancel());
  EXPECT_TRUE(sheets().QuitPosted());
  EXPECT_EQ(0, App().ExitInstance(sheets().QuitCode()));
  EXPECT_EQ(FirstLines("") + kLastLines, files().ReadFile(kLogPath));
}

}  // namespace
