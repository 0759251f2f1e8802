// Text streams: the reading details of fgets that the files the program
// edits depend on, and what they refuse.
#include "textedit/textfile.h"

#include "wizard_test_support.h"

namespace {

using TextStream = WorkstationFixture;

TEST_F(TextStream, GetsReadsLikeFgetsInTextMode) {
  const std::string x(65535, 'x');
  const std::tuple<std::string, size_t, Strings> cases[] = {
      // Long lines come in pieces; one exactly as long as the buffer leaves
      // its line feed for the next read.
      {"abc\r\nd", 3, {"abc", "\n", "d"}},
      {"a\rb\r\nend\r", 259, {"a\rb\n", "end\r"}},  // a carriage return alone stays
      {"", 259, {}},
      // The stream reads 64 KiB at a time; a CR at the end of one chunk pairs
      // with the LF at the start of the next.
      {x + "\r\ny\r\n", 70000, {x + "\n", "y\n"}},
  };
  for (const auto& [bytes, maxChars, expected] : cases) {
    platform_.files().WriteFile("C:\\T.TXT", bytes);
    CSvTextFile in;
    ASSERT_EQ(0u, in.Open("C:\\T.TXT", "rt"));
    Strings lines;
    for (std::string line; in.Gets(&line, maxChars);) lines.push_back(line);
    EXPECT_EQ(expected, lines) << bytes.substr(0, 20);
  }
}

TEST_F(TextStream, FullDiskAndUnknownModesAreRefused) {
  CSvTextFile out;
  ASSERT_EQ(0u, out.Open("C:\\OUT.TXT", "w"));
  EXPECT_TRUE(out.Puts("kept\n"));
  platform_.files().SetDiskFull('C', true);
  EXPECT_FALSE(out.Puts("refused\n"));
  out.Close();
  EXPECT_EQ("kept\r\n", platform_.files().ReadFile("C:\\OUT.TXT"));
  EXPECT_EQ(svp::kErrInvalidParameter, out.Open("C:\\OUT.TXT", "a"));
}

}  // namespace
