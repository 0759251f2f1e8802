#include "files/paths.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/memory/memory_platform.h"

namespace {

std::string Shorten(const std::string& path, uint16_t width) {
  std::string out = "junk";
  SvShortenPathForDisplay(path, out, width);
  return out;
}

TEST(SvPathTests, UncAndDriveRoot) {
  EXPECT_TRUE(SvIsUncPath("\\\\srv\\share"));
  EXPECT_TRUE(SvIsUncPath("\\\\"));
  EXPECT_FALSE(SvIsUncPath("\\dir"));
  EXPECT_FALSE(SvIsUncPath("\\"));
  EXPECT_FALSE(SvIsUncPath(""));
  EXPECT_FALSE(SvIsUncPath(nullptr));
  EXPECT_TRUE(SvIsDriveRoot("D:\\"));
  EXPECT_TRUE(SvIsDriveRoot(":\\"));
  EXPECT_FALSE(SvIsDriveRoot("D:\\x"));
  EXPECT_FALSE(SvIsDriveRoot("D:"));
  EXPECT_FALSE(SvIsDriveRoot("\\"));
  EXPECT_FALSE(SvIsDriveRoot(nullptr));
}

TEST(SvShortenPathForDisplay, KeepsHeadAndTailAndMarksTheCutOnce) {
  EXPECT_EQ("D:\\Program Files\\...\\Deep\\file.dll",
            Shorten("D:\\Program Files\\Sv\\Bin\\Very\\Deep\\file.dll", 35));
  // Fits: unchanged, even with "..." in it.
  EXPECT_EQ("D:\\a\\...\\b.txt", Shorten("D:\\a\\...\\b.txt", 14));
  // The file name is never cut, even when the result stays too long.
  EXPECT_EQ("D:\\dir\\...\\a-rather-long-file-name.dll",
            Shorten("D:\\dir\\x\\y\\a-rather-long-file-name.dll", 10));
  // A network path keeps its server in front.
  EXPECT_EQ("\\\\server\\...\\file.dll", Shorten("\\\\server\\share\\dir\\file.dll", 22));
  // No backslash: nothing to take out.
  EXPECT_EQ("abcdefgh", Shorten("abcdefgh", 3));
  EXPECT_EQ("", Shorten("", 0));
  // Width 0 strips every middle directory.
  EXPECT_EQ("C:\\a\\...\\f", Shorten("C:\\a\\b\\c\\f", 0));
}

TEST(SvShortenPathForDisplay, LengthsAreComparedAs16BitNumbers) {
  // 65,540 characters count as 4 and "fit" a width of 35.
  const std::string huge = "C:\\a\\b\\" + std::string(65540 - 7, 'x');
  EXPECT_EQ(huge, Shorten(huge, 35));
  // 65,576 characters count as 40: one directory out brings it to "33", so
  // the deeper directory c stays.
  const std::string big = "C:\\a\\bbbbbbbbbb\\c\\" + std::string(65576 - 18, 'y');
  const std::string shortened = Shorten(big, 35);
  EXPECT_EQ(65569u, shortened.size());
  EXPECT_EQ("C:\\a\\...\\c\\y", shortened.substr(0, 12));
}

class SvPathFsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform_.Install(); }
  svp::MemoryPlatform platform_;
};

TEST_F(SvPathFsTest, CheckPathTellsExistingMissingAndEmpty) {
  platform_.files().MakeDirectory("C:\\Temp");
  platform_.files().WriteFile("C:\\Temp\\f.txt", "x");
  EXPECT_EQ(0u, SvCheckPath("C:\\Temp\\"));
  EXPECT_EQ(0u, SvCheckPath("C:\\Temp"));
  EXPECT_EQ(0u, SvCheckPath("C:\\Temp\\f.txt"));
  EXPECT_EQ(3u, SvCheckPath("C:\\Missing\\"));
  EXPECT_EQ(5u, SvCheckPath(""));
}

TEST_F(SvPathFsTest, CreatePathMakesEachMissingLevel) {
  platform_.files().MakeDirectory("C:\\a");
  EXPECT_EQ(0u, SvCreatePath("C:\\a\\b\\c\\"));
  EXPECT_TRUE(platform_.files().Exists("C:\\a\\b"));
  EXPECT_TRUE(platform_.files().Exists("C:\\a\\b\\c"));
  EXPECT_EQ(0u, SvCreatePath("C:\\\\x\\\\y"));
  EXPECT_TRUE(platform_.files().Exists("C:\\x\\y"));
  EXPECT_EQ(0u, SvCreatePath("C:\\"));
  EXPECT_EQ(161u, SvCreatePath("\\\\"));
  EXPECT_EQ(161u, SvCreatePath(""));
  // A level that cannot be made is not reported here.
  EXPECT_EQ(0u, SvCreatePath("Q:\\nodrive\\dir"));
  EXPECT_FALSE(platform_.files().Exists("Q:\\nodrive"));
  EXPECT_EQ(0u, SvCreateDirectory("Q:\\nodrive"));
}

TEST_F(SvPathFsTest, FullPathsAndIdentityConversions) {
  platform_.files().MakeDirectory("C:\\work\\sub");
  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\work"));
  std::string out = "unchanged";
  SvGetFullDirectory("sub", out, "x.dll");
  EXPECT_EQ("C:\\work\\sub\\", out);
  out = "unchanged";
  SvGetFullDirectory("sub", out, nullptr);
  SvGetFullDirectory(nullptr, out, "x.dll");
  EXPECT_EQ("unchanged", out);
  SvGetFullDirectory("C:\\abs\\", out, "");
  EXPECT_EQ("C:\\abs\\", out);

  EXPECT_EQ(17u, SvGetFullPath(out, "sub\\f.txt"));
  EXPECT_EQ("C:\\work\\sub\\f.txt", out);
  // Too long for 260 characters: out stays, the needed length comes back.
  out = "unchanged";
  EXPECT_GE(SvGetFullPath(out, "C:\\" + std::string(300, 'd')), 260u);
  EXPECT_EQ("unchanged", out);

  EXPECT_EQ(0u, GetShortPath("C:\\Program Files\\x", out));
  EXPECT_EQ("C:\\Program Files\\x", out);
  EXPECT_EQ(0u, GetLongPath("C:\\PROGRA~1\\x", out));
  EXPECT_EQ("C:\\PROGRA~1\\x", out);
}

}  // namespace
