// The text-edit phase: conditions, section lists, traces and argument checks.
#include <string>
#include <tuple>

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
    "UNKNOWN=x=y\r\n"
    "[Files] ;a blank before the comment ends the section\r\n"
    "FILE=after\r\n"
    "[{SECTION_MACRO}]\r\n"
    "FILE=macro\r\n";

class TextEditTest : public KitFixture {
 protected:
  void SetUp() override {
    KitFixture::SetUp();
    files().WriteFile("C:\\KIT\\edits.txt", kCommands);
    macros_->AddMacro("RUN", "yes", 1);
    macros_->AddMacro("SECTION_MACRO", "Macro", 1);
  }
};

TEST_F(TextEditTest, PhaseTracesTheCommandsOfEachRunnableEntry) {
  ASSERT_EQ(0u, Load("TEXTEDIT,NO_COND,{LDID_KITROOT}\\edits.txt,Files\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\missing.txt,Files\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt,Files  Other\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt, Files\n"
                     "TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt,Nowhere Other other\n"
                     "TEXTEDIT,!NO_COND,{LDID_KITROOT}\\edits.txt,Macro\n"));
  EXPECT_EQ(0u, kit_->ProcessTextEdits(nullptr));
  EXPECT_EQ(
      "Starting text file processing phase.\r\n"
      "Found Section Files\r\n"
      "Read Command file a.bat\r\n"
      "Read Command FILE \r\n"
      "Read Command DELETEBATCHCOMMAND echo,3\r\n"
      "Read Command DeleteIniValue win.ini,Section,Key,0x10\r\n"
      "Read Command UNKNOWN x\r\n"
      "Found Section Other\r\n"
      "Read Command FILE other\r\n"
      "Found Section other\r\n"
      "Read Command FILE other\r\n"
      "Found Section Macro\r\n"
      "Read Command FILE macro\r\n"
      "Ending text file processing phase.\r\n",
      Log());
  EXPECT_EQ(kCommands, files().ReadFile("C:\\KIT\\edits.txt"));
}

TEST_F(TextEditTest, SwitchSkipsThePhaseAndSkippedEntriesStillEndIt) {
  ASSERT_EQ(0u, Load("TEXTEDIT,RUN,{LDID_KITROOT}\\edits.txt,Files\n"));
  ASSERT_TRUE(switches_.ParseSwitches("/NOTEXTEDIT", "/-"));
  EXPECT_EQ(0u, kit_->ProcessTextEdits(nullptr));
  // Not run: its path was never expanded.
  EXPECT_EQ("{LDID_KITROOT}\\edits.txt", kit_->TextEdits()[0]->GetCommandFile());
  EXPECT_EQ("Text file processing skipped due to command line switch.\r\n", Log());

  ASSERT_TRUE(SvOpenLog(kLogPath));
  // A kit without a switch list runs the phase.
  CSvKit bare(nullptr, macros_.get(), nullptr);
  files().WriteFile(kKitPath, "TEXTEDIT,NO_COND,x,Files\n");
  ASSERT_EQ(0u, bare.LoadKitData(kKitDir, "KITPURGE.DAT"));
  EXPECT_EQ(0u, bare.ProcessTextEdits(nullptr));
  EXPECT_EQ("Starting text file processing phase.\r\nEnding text file processing phase.\r\n",
            Log());
}

TEST_F(TextEditTest, RunReportsTheLastSectionStatusAndConsumesItsList) {
  const std::tuple<const char*, const char*, const char*, uint32_t> cases[] = {
      {"NO_COND", "{LDID_KITROOT}\\edits.txt", "Files", 0},
      {"RUN", "{LDID_KITROOT}\\missing.txt", "Files", 1},
      {"RUN", "C:\\KIT", "Files", 1},  // a directory
      {"RUN", "{LDID_KITROOT}\\edits.txt", "Macro", 2},
      {"RUN", "{LDID_KITROOT}\\edits.txt", "Macro Files", 3},
      {"RUN", "{LDID_KITROOT}\\edits.txt", "Files Nowhere", 5},
      {"RUN", "{LDID_KITROOT}\\edits.txt", "", 0},
  };
  macros_->AddMacro("LDID_KITROOT", "C:\\KIT", 1);
  for (const auto& [condition, file, sections, status] : cases) {
    CSvTextEdit edit(macros_.get(), condition, file, sections, 0);
    EXPECT_EQ(status, edit.Run()) << condition << " " << file << " " << sections;
  }
  CSvTextEdit edit(macros_.get(), "RUN", "{LDID_KITROOT}\\edits.txt", "Other Files", 0);
  edit.Run();
  EXPECT_EQ("C:\\KIT\\edits.txt", edit.GetCommandFile());
  EXPECT_EQ("", edit.GetSections());
  EXPECT_NE(std::string::npos, Log().find("Found Section Other\r\n"));
  ASSERT_TRUE(SvOpenLog(kLogPath));
  EXPECT_EQ(0u, edit.Run());  // nothing left to process
  EXPECT_EQ("", Log());
}

TEST_F(TextEditTest, HandlersCheckTheirArguments) {
  CSvTextEdit edit(macros_.get(), "", "", "", 0);
  using Handler = uint32_t (CSvTextEdit::*)(const std::string&);
  const Handler batch = &CSvTextEdit::DoDeleteBatchCommand, ini = &CSvTextEdit::DoDeleteIniValue;
  const std::tuple<Handler, const char*, uint32_t> cases[] = {
      {&CSvTextEdit::DoFile, "", 0}, {batch, "echo off", 0},
      {batch, " set x ,0x10", 0},    {batch, "", 4},
      {batch, " \t,3", 4},           {ini, "win.ini,windows", 0},
      {ini, " a , b , ,12", 0},      {ini, "win.ini", 4},
      {ini, " ,windows,load", 4},    {ini, "win.ini, ,load", 4},
  };
  for (const auto& [handler, argument, result] : cases)
    EXPECT_EQ(result, (edit.*handler)(argument)) << argument;
  EXPECT_EQ("", Log());
}

}  // namespace
