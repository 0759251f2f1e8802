// Text-mode streams over the platform's files, on both platforms.
#include "conformance/conformance_env.h"

#include <vector>

#include "textedit/textfile.h"

namespace {

using namespace svp;
using Strings = std::vector<std::string>;

class TextConformance : public ConformanceTest {
 protected:
  Strings ReadAll(CSvTextFile& in) {
    Strings lines;
    for (std::string line; in.Gets(&line, 259);) lines.push_back(line);
    return lines;
  }
};

TEST_F(TextConformance, LineFeedsBecomeCrLfAndReadBackAndCtrlZEndsTheText) {
  const std::string path = In("text.txt");
  {
    CSvTextFile out;
    ASSERT_EQ(0u, out.Open(path, "w"));
    EXPECT_TRUE(out.Puts("line one\n"));
    EXPECT_TRUE(out.Puts("line two\r\n"));
    EXPECT_TRUE(out.Puts("no end"));
    EXPECT_TRUE(out.Flush());
  }
  EXPECT_EQ("line one\r\nline two\r\r\nno end", Get(path));
  CSvTextFile in;
  ASSERT_EQ(0u, in.Open(path, "rt"));
  const Strings lines = {"line one\n", "line two\r\n", "no end"};
  EXPECT_EQ(lines, ReadAll(in));
  ASSERT_TRUE(in.Rewind());
  EXPECT_EQ(lines, ReadAll(in));
  in.Close();

  ASSERT_TRUE(Put(path, std::string("ab\r\ncd\x1a" "ef\r\n", 11)));
  ASSERT_EQ(0u, in.Open(path, "r"));
  EXPECT_EQ((Strings{"ab\n", "cd"}), ReadAll(in));
}

TEST_F(TextConformance, OpenModesAndExclusiveUse) {
  const std::string path = In("modes.txt");
  CSvTextFile missing;
  EXPECT_EQ(kErrFileNotFound, missing.Open(path, "r"));
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(kErrPathNotFound, missing.Open(In("nodir\\x.txt"), "w"));

  ASSERT_TRUE(Put(path, "old contents\r\n"));
  {
    // "r+" keeps the contents and writes over them from the start.
    CSvTextFile update;
    ASSERT_EQ(0u, update.Open(path, "r+"));
    EXPECT_TRUE(update.Puts("NEW\n"));
  }
  EXPECT_EQ("NEW\r\nontents\r\n", Get(path));

  // "w" empties; shared 0 keeps every other opener out until closed.
  CSvTextFile exclusive;
  ASSERT_EQ(0u, exclusive.Open(path, "w", 0));
  EXPECT_EQ("<unreadable>", Get(path));
  CSvTextFile second;
  EXPECT_EQ(kErrSharingViolation, second.Open(path, "w", 0));
  EXPECT_EQ(kErrSharingViolation, second.Open(path, "r"));
  exclusive.Close();
  EXPECT_EQ("", Get(path));
}

}  // namespace
