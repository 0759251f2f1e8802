#include "textedit/cmdfile.h"

#include <gtest/gtest.h>

#include <string>

#include "macros/macros.h"
#include "platform/memory/memory_platform.h"

namespace {

class CommandFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_.Install();
    macros_.AddMacro("SECTION", "Files", SV_MACRO_VOLATILE);
    macros_.AddMacro("LDID_WIN", "C:\\WINNT", SV_MACRO_VOLATILE);
  }

  void OpenText(const std::string& text) {
    platform_.files().WriteFile("C:\\cmd.txt", text);
    ASSERT_EQ(0u, reader_.Open("C:\\cmd.txt"));
    ASSERT_TRUE(reader_.IsOpen());
  }

  svp::MemoryPlatform platform_;
  CSvMacroList macros_{svp::kHKeyLocalMachine, "Software\\Test"};
  CSvCommandFile reader_{&macros_};
};

TEST_F(CommandFileTest, LinesAreTrimmedThenCutThenExpanded) {
  OpenText("  FILE={LDID_WIN}\\win.ini ; note\r\n\r\n;only a comment\r\n\t x \n{LDID_WIN");
  std::string line;
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ("FILE=C:\\WINNT\\win.ini ", line);
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ("", line);
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ("", line);
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ("x", line);
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));  // unterminated reference: text before it
  EXPECT_EQ("", line);
  line = "stale";
  EXPECT_EQ(kSvReadEof, reader_.ReadLine(line));
  EXPECT_EQ("", line);
}

TEST_F(CommandFileTest, LongLinesArriveIn511CharacterPieces) {
  OpenText(std::string(600, 'a') + "\r\nnext\r\n");
  std::string line;
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ(511u, line.size());
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ(89u, line.size());
  EXPECT_EQ(kSvReadOk, reader_.ReadLine(line));
  EXPECT_EQ("next", line);
  EXPECT_EQ(kSvReadEof, reader_.ReadLine(line));
}

TEST_F(CommandFileTest, SectionHeadersMatchWholeNormalisedLines) {
  OpenText(
      "[Other]\r\nFILE=other\r\n"
      "[Files] ;blank stays\r\nFILE=wrong\r\n"
      "  [files];note  \r\nFILE=a=b\r\nFILE = a\r\nFILE\r\n\r\n[\r\nFILE=after\r\n");
  std::string command = "x", argument = "x";
  EXPECT_EQ(kSvReadOk, reader_.FindSection("FILES"));
  EXPECT_EQ(kSvReadOk, reader_.ReadCommand(command, argument));
  EXPECT_EQ("FILE", command);
  EXPECT_EQ("a", argument);
  EXPECT_EQ(kSvReadOk, reader_.ReadCommand(command, argument));
  EXPECT_EQ("FILE ", command);
  EXPECT_EQ(" a", argument);
  EXPECT_EQ(kSvReadOk, reader_.ReadCommand(command, argument));
  EXPECT_EQ("FILE", command);
  EXPECT_EQ("", argument);
  EXPECT_EQ(kSvReadOk, reader_.ReadCommand(command, argument));
  EXPECT_EQ("", command);
  EXPECT_EQ("", argument);
  // A lone "[" ends the command list.
  EXPECT_EQ(kSvReadSection, reader_.ReadCommand(command, argument));
  EXPECT_EQ(kSvReadOk, reader_.ReadCommand(command, argument));
  EXPECT_EQ("after", argument);
  EXPECT_EQ(kSvReadEof, reader_.ReadCommand(command, argument));

  // Every search starts from the top; a header made of a macro matches its value.
  EXPECT_EQ(kSvReadOk, reader_.FindSection("other"));
  EXPECT_EQ(kSvReadOk, reader_.ReadCommand(command, argument));
  EXPECT_EQ("other", argument);
  EXPECT_EQ(kSvReadSection, reader_.ReadCommand(command, argument));
  EXPECT_EQ(kSvReadNoSection, reader_.FindSection("Missing"));
  EXPECT_EQ(kSvReadEof, reader_.ReadCommand(command, argument));
  EXPECT_EQ(kSvReadOk, reader_.FindSection("Other"));
}

TEST_F(CommandFileTest, HeaderWrittenAsMacroAndOverlongNames) {
  const std::string longName(62, 'n');
  OpenText("[{SECTION}]\r\nFILE=x\r\n[" + longName + "]\r\n[" + longName.substr(1) + "]\r\n");
  EXPECT_EQ(kSvReadOk, reader_.FindSection("Files"));
  EXPECT_EQ(kSvReadOk, reader_.FindSection(longName.substr(1)));
  // Beyond the 64-byte header: not supported, reported as absent.
  EXPECT_EQ(kSvReadNoSection, reader_.FindSection(longName));
}

TEST(CommandFile, MissingFileAndNoMacroTable) {
  svp::MemoryPlatform platform;
  platform.Install();
  CSvCommandFile reader(nullptr);
  EXPECT_NE(0u, reader.Open("C:\\absent.txt"));
  EXPECT_FALSE(reader.IsOpen());
  std::string line;
  EXPECT_EQ(kSvReadEof, reader.ReadLine(line));
  EXPECT_EQ(kSvReadNoSection, reader.FindSection("Files"));

  platform.files().WriteFile("C:\\plain.txt", "{KEPT} ;x\n");
  ASSERT_EQ(0u, reader.Open("C:\\plain.txt"));
  EXPECT_EQ(kSvReadOk, reader.ReadLine(line));
  EXPECT_EQ("{KEPT} ", line);
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
}

}  // namespace
