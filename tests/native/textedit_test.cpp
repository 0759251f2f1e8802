// The text-edit phase: conditions, section lists, traces and argument checks.
#include <string>

#include "kit_test_support.h"
#include "textedit/textedit.h"

namespace {

const char* const kCommands =
    "; edits made by the installer\r\n"
    "[Other]\r\n"
    "FILE=other\r\n"
    "  [Files];note\r\n"
    "file=a.bat\r\n"
    "FILE\r\n"
    "\r\n"
    "   ; comment only\r\n"
    "DELETEBATCHCOMMAND=echo,3\r\n"
    "DeleteIniValue=win.ini,Section,Key,0x10\r\n"
    "FILE =spaced\r\n"
    "UNKNOWN=x=y\r\n"
    "[Files] ;a blank before the comment ends the section\r\n"
    "FILE=after\r\n"
    "[{SECTION_MACRO}]\r\n"
    "FILE=macro\r\n";

class TextEditTest : public KitFixture {
 protected:
  void SetUp() override {
    KitFixture::SetUp();
    platform_.files().WriteFile("C:\\KIT\\edits.txt", kCommands);
    macros_->AddMacro("RUN", "yes", 1);
    macros_->AddMacro("SECTION_MACRO", "Macro", 1);
  }
};

TEST_F(TextEditTest, PhaseTracesTheCommandsOfEachRunnableEntry) {
  ASSERT_EQ(0u, Load("TEXTEDIT,NO_COND,{LDID_KITROOT}\\edits.txt,Files\n"
                     "TEXTEDIT,,{LDID_KITROOT}\\edits.txt,Files\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\missing.txt,Files\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt,Files  Other\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt, Files\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt,Nowhere Other other\n"
                     "TEXTEDIT,!NO_COND,{LDID_KITROOT}\\edits.txt,Macro\n"));
  EXPECT_EQ(0u, kit_->ProcessTextEdits(nullptr));
  EXPECT_EQ("Starting text file processing phase.\r\n"
            "Found Section Files\r\n"
            "Read Command file a.bat\r\n"
            "Read Command FILE \r\n"
            "Read Command DELETEBATCHCOMMAND echo,3\r\n"
            "Read Command DeleteIniValue win.ini,Section,Key,0x10\r\n"
            "Read Command FILE  spaced\r\n"
            "Read Command UNKNOWN x\r\n"
            "Found Section Other\r\n"
            "Read Command FILE other\r\n"
            "Found Section other\r\n"
            "Read Command FILE other\r\n"
            "Found Section Macro\r\n"
            "Read Command FILE macro\r\n"
            "Ending text file processing phase.\r\n",
            Log());
  std::string after;
  ASSERT_TRUE(platform_.files().ReadFile("C:\\KIT\\edits.txt", &after));
  EXPECT_EQ(kCommands, after);
}

TEST_F(TextEditTest, SwitchSkipsThePhaseAndSkippedEntriesStillEndIt) {
  ASSERT_EQ(0u, Load("TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt,Files\n"));
  ASSERT_NE(nullptr, switches_->MatchSwitch("NOTEXTEDIT"));
  EXPECT_EQ(0u, kit_->ProcessTextEdits(nullptr));
  // Not run: its path was never expanded.
  EXPECT_EQ("{LDID_KITROOT}\\edits.txt", kit_->TextEdits()[0]->GetCommandFile());
  EXPECT_EQ("Text file processing skipped due to command line switch.\r\n", Log());

  CSvKit skipped(nullptr, macros_.get(), nullptr);
  ASSERT_TRUE(SvOpenLog(kLogPath));
  platform_.files().WriteFile(kKitPath, "TEXTEDIT,NO_COND,x,Files\n");
  ASSERT_EQ(0u, skipped.LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ(0u, skipped.ProcessTextEdits(nullptr));
  EXPECT_EQ("Starting text file processing phase.\r\nEnding text file processing phase.\r\n",
            Log());
}

TEST_F(TextEditTest, RunReportsTheLastSectionStatusAndConsumesItsList) {
  struct Case {
    const char* condition;
    const char* file;
    const char* sections;
    uint32_t status;
  } cases[] = {
      {"NO_COND", "{LDID_KITROOT}\\edits.txt", "Files", 0},
      {"RUN", "{LDID_KITROOT}\\missing.txt", "Files", 1},
      {"RUN", "C:\\KIT", "Files", 1},  // a directory
      {"RUN", "{LDID_KITROOT}\\edits.txt", "Macro", 2},
      {"RUN", "{LDID_KITROOT}\\edits.txt", "Macro Files", 3},
      {"RUN", "{LDID_KITROOT}\\edits.txt", "Files Nowhere", 5},
      {"RUN", "{LDID_KITROOT}\\edits.txt", "", 0},
  };
  macros_->AddMacro("LDID_KITROOT", "C:\\KIT", 1);
  for (const Case& c : cases) {
    CSvTextEdit edit(macros_.get(), c.condition, c.file, c.sections, 0);
    EXPECT_EQ(c.status, edit.Run()) << c.condition << " " << c.file << " " << c.sections;
  }
  CSvTextEdit edit(macros_.get(), "RUN", "{LDID_KITROOT}\\edits.txt", "Other Files", 0);
  edit.Run();
  EXPECT_EQ("C:\\KIT\\edits.txt", edit.GetCommandFile());
  EXPECT_EQ("", edit.GetSections());
  const std::string before = Log();
  ASSERT_TRUE(SvOpenLog(kLogPath));
  EXPECT_EQ(0u, edit.Run());  // nothing left to process
  EXPECT_EQ("", Log());
  EXPECT_NE(std::string::npos, before.find("Found Section Other\r\n"));
}

TEST_F(TextEditTest, HandlersCheckTheirArguments) {
  CSvTextEdit edit(macros_.get(), "", "", "", 0);
  EXPECT_EQ(0u, edit.DoFile(""));
  EXPECT_EQ(0u, edit.DoDeleteBatchCommand("echo off"));
  EXPECT_EQ(0u, edit.DoDeleteBatchCommand(" set x ,0x10"));
  EXPECT_EQ(4u, edit.DoDeleteBatchCommand(""));
  EXPECT_EQ(4u, edit.DoDeleteBatchCommand(" \t,3"));
  EXPECT_EQ(0u, edit.DoDeleteIniValue("win.ini,windows"));
  EXPECT_EQ(0u, edit.DoDeleteIniValue(" a , b , ,12"));
  EXPECT_EQ(4u, edit.DoDeleteIniValue("win.ini"));
  EXPECT_EQ(4u, edit.DoDeleteIniValue(" ,windows,load"));
  EXPECT_EQ(4u, edit.DoDeleteIniValue("win.ini, ,load"));
  EXPECT_EQ("", Log());
}

}  // namespace
