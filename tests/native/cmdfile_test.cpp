#include "textedit/cmdfile.h"

#include <string>

#include "macros/macros.h"
#include "wizard_test_support.h"

namespace {

class CommandFileTest : public WorkstationFixture {
 protected:
  void OpenText(const std::string& text) {
    files().WriteFile("C:\\cmd.txt", text);
    ASSERT_EQ(0u, reader_.Open("C:\\cmd.txt"));
    ASSERT_TRUE(reader_.IsOpen());
  }
  // Every line up to the end, each as "[line]", then the final status.
  std::string Lines() {
    std::string out, line;
    uint32_t status;
    while ((status = reader_.ReadLine(line)) == kSvReadOk) out += "[" + line + "]";
    return out + std::to_string(status) + (line.empty() ? "" : " stale");
  }
  // Commands up to the next section or the end, as "[command|argument]".
  std::string Commands() {
    std::string out, command = "x", argument = "x";
    uint32_t status;
    while ((status = reader_.ReadCommand(command, argument)) == kSvReadOk)
      out += "[" + command + "|" + argument + "]";
    return out + std::to_string(status);
  }

  CSvMacroList macros_{svp::kHKeyLocalMachine, "Software\\Test"};
  CSvCommandFile reader_{&macros_};
};

TEST_F(CommandFileTest, LinesAreTrimmedThenCutThenExpanded) {
  macros_.AddMacro("LDID_WIN", "C:\\WINNT", SV_MACRO_VOLATILE);
  // An unterminated reference leaves the text before it.
  OpenText("  FILE={LDID_WIN}\\win.ini ; note\r\n\r\n;only a comment\r\n\t x \n{LDID_WIN");
  EXPECT_EQ("[FILE=C:\\WINNT\\win.ini ][][][x][]2", Lines());
  OpenText(std::string(600, 'a') + "\r\nnext\r\n");
  EXPECT_EQ("[" + std::string(511, 'a') + "][" + std::string(89, 'a') + "][next]2", Lines());
}

TEST_F(CommandFileTest, SectionHeadersMatchWholeNormalisedLinesThatFitTheHeader) {
  OpenText(
      "[R\xC9SEAU]\r\nFILE=net\r\n[Other]\r\nFILE=other\r\n"
      "[Files] ;blank stays\r\nFILE=wrong\r\n"
      "  [files];note  \r\nFILE=a=b\r\nFILE = a\r\nFILE\r\n\r\n[\r\nFILE=after\r\n");
  EXPECT_EQ(kSvReadOk, reader_.FindSection("FILES"));
  // A lone "[" ends the command list.
  EXPECT_EQ("[FILE|a][FILE | a][FILE|][|]3", Commands());
  EXPECT_EQ("[FILE|after]2", Commands());
  // Every search starts from the top.
  EXPECT_EQ(kSvReadOk, reader_.FindSection("other"));
  EXPECT_EQ("[FILE|other]3", Commands());
  EXPECT_EQ(kSvReadNoSection, reader_.FindSection("Missing"));
  EXPECT_EQ("2", Commands());
  // Accented letters too, in the system code page.
  EXPECT_EQ(kSvReadOk, reader_.FindSection("R\xE9seau"));
  EXPECT_EQ("[FILE|net]3", Commands());

  const std::string longName(62, 'n');
  OpenText("[" + longName + "]\r\n[" + longName.substr(1) + "]\r\n");
  EXPECT_EQ(kSvReadOk, reader_.FindSection(longName.substr(1)));
  // Beyond the 64-byte header: not supported, reported as absent.
  EXPECT_EQ(kSvReadNoSection, reader_.FindSection(longName));
}

TEST_F(CommandFileTest, MissingFileAndNoMacroTable) {
  CSvCommandFile reader(nullptr);
  EXPECT_NE(0u, reader.Open("C:\\absent.txt"));
  EXPECT_FALSE(reader.IsOpen());
  std::string line;
  EXPECT_EQ(kSvReadEof, reader.ReadLine(line));
  EXPECT_EQ(kSvReadNoSection, reader.FindSection("Files"));

  files().WriteFile("C:\\plain.txt", "{KEPT} ;x\n");
  ASSERT_EQ(0u, reader.Open("C:\\plain.txt"));
  EXPECT_EQ(kSvReadOk, reader.ReadLine(line));
  EXPECT_EQ("{KEPT} ", line);
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
}

}  // namespace
