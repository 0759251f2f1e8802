// Text streams: the reading details of fgets that the files the program
// edits depend on, and refusals of a full disk.
#include "platform/textfile.h"

#include <gtest/gtest.h>

#include "platform/memory/memory_platform.h"

namespace {

class TextStream : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }

  std::vector<std::string> ReadAll(const std::string& bytes, size_t maxChars) {
    platform_.files().WriteFile("C:\\T.TXT", bytes);
    svp::TextFile in;
    std::vector<std::string> lines;
    if (in.Open("C:\\T.TXT", "rt") != 0) return lines;
    std::string line;
    while (in.Gets(&line, maxChars)) lines.push_back(line);
    return lines;
  }

  svp::MemoryPlatform platform_;
};

TEST_F(TextStream, LongLinesArriveInPiecesOfTheBufferSize) {
  const std::string long599(599, 'a');
  auto lines = ReadAll(long599 + "\r\nnext\r\n", 511);
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(std::string(511, 'a'), lines[0]);
  EXPECT_EQ(std::string(88, 'a') + "\n", lines[1]);
  EXPECT_EQ(89u, lines[1].size());
  EXPECT_EQ("next\n", lines[2]);

  // A line exactly as long as the buffer leaves its line feed for the next read.
  lines = ReadAll("abc\r\nd", 3);
  EXPECT_EQ((std::vector<std::string>{"abc", "\n", "d"}), lines);
}

TEST_F(TextStream, NulBytesCutTheLineAndCarriageReturnsStayAlone) {
  auto lines = ReadAll(std::string("ab\0cd\r\nef\r\n", 11), 259);
  EXPECT_EQ((std::vector<std::string>{"ab", "ef\n"}), lines);
  lines = ReadAll("a\rb\r\nend\r", 259);
  EXPECT_EQ((std::vector<std::string>{"a\rb\n", "end\r"}), lines);
  EXPECT_TRUE(ReadAll("", 259).empty());
}

TEST_F(TextStream, CrLfAcrossTheReadChunkBoundary) {
  // The stream reads 64 KiB at a time; a CR at the end of one chunk pairs
  // with the LF at the start of the next.
  const std::string first(65535, 'x');
  auto lines = ReadAll(first + "\r\ny\r\n", 70000);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(first + "\n", lines[0]);
  EXPECT_EQ("y\n", lines[1]);
}

TEST_F(TextStream, FullDiskAndFailedFlushAreReported) {
  svp::TextFile out;
  ASSERT_EQ(0u, out.Open("C:\\OUT.TXT", "w"));
  EXPECT_TRUE(out.Puts("kept\n"));
  platform_.files().SetDiskFull('C', true);
  EXPECT_FALSE(out.Puts("refused\n"));
  platform_.files().SetDiskFull('C', false);
  platform_.files().FailNextFlushes(true);
  EXPECT_TRUE(out.Puts("written\n"));
  EXPECT_FALSE(out.Flush());
  out.Close();
  EXPECT_EQ("kept\r\nwritten\r\n", platform_.files().ReadFile("C:\\OUT.TXT"));

  svp::TextFile closed;
  std::string line;
  EXPECT_FALSE(closed.Puts("x"));
  EXPECT_FALSE(closed.Gets(&line, 10));
  EXPECT_EQ(svp::kErrInvalidParameter, closed.Open("C:\\OUT.TXT", "a"));
}

}  // namespace
