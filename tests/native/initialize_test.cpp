// The uninstall wizard's initialisation: language switch, standard
// directories, answer file, and the steps from the command line to the open
// sheet with their failure messages.
#include <memory>
#include <string>
#include <tuple>

#include "app/switches.h"
#include "app/uninstall.h"
#include "macros/macros.h"
#include "wizard/pages.h"
#include "wizard_test_support.h"

namespace {

const char kSubKey[] = "Software\\OrrisLogicCorporation\\SOLVANE\\Setup\\CurrentConfiguration";
const char kFirstLines[] = "Command line parameters \r\nRunning on Windows NT build 1381.\r\n";
const char kLastLines[] = "Destroying setup wizard object.\r\nClosing setup log file.\r\n";

TEST(ParseLanguageSwitch, FindsRemovesAndChecksTheCode) {
  const std::tuple<const char*, int, const char*, const char*> cases[] = {
      {"", 1, "", ""},
      {"/SILENT", 1, "", "/SILENT"},
      {"/LFR /SILENT", 0, "FR", " /SILENT"},
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

class InitializeTest : public SheetFixture {
 protected:
  void SetUp() override {
    SheetFixture::SetUp();
    files().WriteFile("C:\\SV\\KITPURGE.DAT", "; empty kit\n");
    files().MakeDirectory("C:\\SV32");
  }
  void TearDown() override {
    wizard_.reset();
    SheetFixture::TearDown();
  }

  bool Initialize(const std::string& commandLine) {
    wizard_.reset();
    system().SetCommandLine(commandLine);
    wizard_ = std::make_unique<CSvUninstallWizard>(kSubKey, svp::kHKeyLocalMachine);
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

  std::unique_ptr<CSvUninstallWizard> wizard_;
};

TEST_F(InitializeTest, StandardDirectoriesFollowTheWindowsDirectory) {
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

TEST_F(InitializeTest, AnswerFileLinesBecomeConfigurationValues) {
  EXPECT_TRUE(ReadAnswerFile("D:\\NONE.TXT"));
  files().WriteFile("C:\\RO.TXT", "InstallMode=Custom\n");
  files().SetReadOnly("C:\\RO.TXT", true);
  EXPECT_TRUE(ReadAnswerFile("C:\\RO.TXT"));  // opened for update: refused, nothing written
  EXPECT_FALSE(registry().KeyExists(svp::kHKeyLocalMachine, kConfigKey));

  const std::string tooLong = "Long=" + std::string(300, 'x') + "\n";
  files().WriteFile("D:\\ANS.TXT",
                    "InstallMode=Custom\n//Reinstall=TRUE\nSkip=me // not this one\n" + tooLong +
                        "no equals sign\nx\n Spaced Name = a=b \nEmpty=\nLast=ABC");
  EXPECT_TRUE(ReadAnswerFile("D:\\ANS.TXT"));
  std::string raw;
  ASSERT_TRUE(registry().GetRaw(svp::kHKeyLocalMachine, kConfigKey, "InstallMode", &raw));
  EXPECT_EQ("Custom", raw);  // no line feed, no terminating NUL
  EXPECT_EQ(" a=b ", Config(" Spaced Name "));
  EXPECT_EQ("", Config("Empty"));
  EXPECT_EQ("ABC", Config("Last"));  // the last line keeps its last character
  EXPECT_EQ((Strings{"InstallMode", " Spaced Name ", "Empty", "Last"}),
            registry().ValueNames(svp::kHKeyLocalMachine, kConfigKey));
}

TEST_F(InitializeTest, OpensTheSheetOnTheWelcomePage) {
  ASSERT_TRUE(Initialize(""));
  EXPECT_TRUE(ui().boxes().empty());
  EXPECT_TRUE(sheets_.IsOpen());
  EXPECT_FALSE(sheets_.IsHidden());
  EXPECT_EQ(kSvIddSplash, sheets_.CurrentTemplate());
  EXPECT_EQ(svp::kWizFinish, sheets_.Buttons());
  EXPECT_EQ(3u, wizard_->GetPages().size());
  EXPECT_EQ("C:\\WINNT\\INF\\", Macro("LDID_INF"));
  EXPECT_EQ("C:\\SV", Macro("LDID_KITROOT"));
  EXPECT_EQ("TRUE", Macro("_REQUIRED"));
  EXPECT_EQ("Typical", Macro("InstallMode"));
}

TEST_F(InitializeTest, FailuresBeforeTheLogIsOpenShowOneBoxAndLeaveNoLog) {
  const std::string usage = "30 " + Text(10034);
  const std::pair<const char*, std::string> cases[] = {
      {"/S", usage},
      {"/Lxx", usage},
      {"/autosetup=D:\\ANS.TXT", usage},
      {"/SILENT /FORCE", usage},
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

TEST_F(InitializeTest, CommandLineIsLoggedWholeAndParsedWithoutTheLanguageSwitch) {
  ASSERT_TRUE(Initialize("/NOCOPY /LFR"));
  EXPECT_EQ("FR", Macro("LDID_SVLLV"));
  EXPECT_TRUE(Set(kSwNoCopy));
  EXPECT_EQ("Command line parameters /NOCOPY /LFR\r\nRunning on Windows NT build 1381.\r\n", Log());
  // Only the first 255 characters are parsed.
  const std::string line = "/SILENT" + std::string(248, ' ') + "/BOGUS";
  ASSERT_TRUE(Initialize(line));
  EXPECT_TRUE(Set(kSwSilent));
  EXPECT_EQ("Command line parameters " + line + "\r\nRunning on Windows NT build 1381.\r\n", Log());
}

TEST_F(InitializeTest, SecondInstanceFindsTheLogTakenAndChangesNothing) {
  files().WriteFile(kLogPath, "first run\r\n");
  svp::FileHandle held = svp::Fs().CreateFile(kLogPath, svp::kGenericWrite, 0, svp::kOpenExisting);
  ASSERT_NE(svp::kInvalidFile, held);
  EXPECT_FALSE(Initialize("/SILENT"));
  EXPECT_EQ(Strings{"30 A version of SOLVANE 32 setup is currently running."}, Boxes());
  EXPECT_FALSE(sheets_.IsOpen());
  wizard_.reset();
  svp::Fs().CloseHandle(held);
  EXPECT_EQ("first run\r\n", files().ReadFile(kLogPath));
}

TEST_F(InitializeTest, OldBuildIsRefusedAfterTwoLogLinesUnlessNotChecked) {
  system().version().build = 1380;
  EXPECT_FALSE(Initialize(""));
  EXPECT_EQ((Strings{"30 This product requires build 1381 or higher of Windows NT.\r\n"
                     "Please see the SOLVANE release notes for more information.\n"}),
            Boxes());
  EXPECT_EQ(
      "Command line parameters \r\nRunning on Windows NT build 1380.\r\n" + std::string(kLastLines),
      FinalLog());
  // NOVERCHECK skips the check and its line.
  system().version().build = 1057;
  ASSERT_TRUE(Initialize("/NOV"));
  EXPECT_EQ("Command line parameters /NOV\r\n", Log());
}

TEST_F(InitializeTest, AutoSetupReadsTheAnswerFileUnlessSilentAndHidesTheSheet) {
  files().WriteFile("D:\\ANS.TXT", "InstallMode=Custom\nLDID_SV_LONG=C:\\SV32\n");
  ASSERT_TRUE(Initialize("/AUTOSETUP=D:\\ANS.TXT /SILENT"));
  EXPECT_TRUE(Set(kSwAutoSetup));
  EXPECT_TRUE(Set(kSwSilent));
  EXPECT_EQ("Typical", Macro("InstallMode"));
  EXPECT_EQ("<absent>", Config("InstallMode"));

  ASSERT_TRUE(Initialize("/AUTOSETUP=D:\\ANS.TXT"));
  EXPECT_TRUE(Set(kSwAutoSetup));
  EXPECT_TRUE(Set(kSwSilent));  // added
  EXPECT_TRUE(sheets_.IsHidden());
  EXPECT_EQ("Custom", Macro("InstallMode"));
  EXPECT_EQ("C:\\SV32", Config("LDID_SV_LONG"));
  EXPECT_EQ(
      "Command line parameters /AUTOSETUP=D:\\ANS.TXT\r\nRunning on Windows NT build 1381.\r\n",
      Log());
}

TEST_F(InitializeTest, MissingKitFailsAfterTheLoadersOwnReport) {
  files().DeleteFile("C:\\SV\\KITPURGE.DAT");
  ui().QueueAnswer(svp::kIdCancel);
  EXPECT_FALSE(Initialize(""));
  ASSERT_EQ(2u, ui().boxes().size());
  EXPECT_EQ("30 Setup failed to initialize.\r\nPlease see C:\\SVSETUP.LOG for more information.\n",
            Boxes()[1]);
  EXPECT_FALSE(sheets_.IsOpen());
  EXPECT_EQ(std::string(kFirstLines) +
                "Error loading kit data file C:\\SV\\KITPURGE.DAT,  OS returned error 2\r\n" +
                kLastLines,
            FinalLog());
}

TEST_F(InitializeTest, ConfigurationIsMovedFromTheOlderKeyAndForceNewEmptiesIt) {
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

}  // namespace
