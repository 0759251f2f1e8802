#include "files/paths.h"

#include <string>
#include <tuple>

#include "wizard_test_support.h"

namespace {

std::string Shorten(const std::string& path, uint16_t width) {
  std::string out = "junk";
  SvShortenPathForDisplay(path, out, width);
  return out;
}

TEST(SvPathTests, UncAndDriveRoot) {
  for (const char* unc : {"\\\\srv\\share", "\\\\"}) EXPECT_TRUE(SvIsUncPath(unc)) << unc;
  for (const char* other : {"\\dir", "\\", "", static_cast<const char*>(nullptr)})
    EXPECT_FALSE(SvIsUncPath(other));
  for (const char* root : {"D:\\", ":\\"}) EXPECT_TRUE(SvIsDriveRoot(root)) << root;
  for (const char* other : {"D:\\x", "D:", "\\", static_cast<const char*>(nullptr)})
    EXPECT_FALSE(SvIsDriveRoot(other));
}

TEST(SvShortenPathForDisplay, KeepsHeadAndTailAndMarksTheCutOnce) {
  const std::tuple<const char*, uint16_t, const char*> cases[] = {
      {"D:\\Program Files\\Sv\\Bin\\Very\\Deep\\file.dll", 35,
       "D:\\Program Files\\...\\Deep\\file.dll"},
      {"D:\\a\\...\\b.txt", 14, "D:\\a\\...\\b.txt"},  // fits: unchanged, "..." and all
      // The file name is never cut, even when the result stays too long.
      {"D:\\dir\\x\\y\\a-rather-long-file-name.dll", 10,
       "D:\\dir\\...\\a-rather-long-file-name.dll"},
      {"\\\\server\\share\\dir\\file.dll", 22, "\\\\server\\...\\file.dll"},
      {"abcdefgh", 3, "abcdefgh"},  // no backslash: nothing to take out
      {"", 0, ""},
      {"C:\\a\\b\\c\\f", 0, "C:\\a\\...\\f"},
  };
  for (const auto& [path, width, shown] : cases) EXPECT_EQ(shown, Shorten(path, width)) << path;

  // Lengths are compared as 16-bit numbers: 65,540 characters count as 4 and fit.
  const std::string huge = "C:\\a\\b\\" + std::string(65540 - 7, 'x');
  EXPECT_EQ(huge, Shorten(huge, 35));
  // 65,576 count as 40: one directory out brings it to "33", so c stays.
  const std::string shortened =
      Shorten("C:\\a\\bbbbbbbbbb\\c\\" + std::string(65576 - 18, 'y'), 35);
  EXPECT_EQ(65569u, shortened.size());
  EXPECT_EQ("C:\\a\\...\\c\\y", shortened.substr(0, 12));
}

using SvPathFs = WorkstationFixture;

TEST_F(SvPathFs, CheckCreateAndFullPaths) {
  files().WriteFile("C:\\Temp\\f.txt", "x");
  for (const char* path : {"C:\\Temp\\", "C:\\Temp", "C:\\Temp\\f.txt"})
    EXPECT_EQ(0u, SvCheckPath(path)) << path;
  EXPECT_EQ(3u, SvCheckPath("C:\\Missing\\"));
  EXPECT_EQ(5u, SvCheckPath(""));

  EXPECT_EQ(0u, SvCreatePath("C:\\Temp\\b\\c\\"));
  EXPECT_TRUE(files().IsDirectory("C:\\Temp\\b\\c"));
  EXPECT_EQ(0u, SvCreatePath("C:\\\\x\\\\y"));
  EXPECT_TRUE(files().IsDirectory("C:\\x\\y"));
  EXPECT_EQ(0u, SvCreatePath("C:\\"));
  EXPECT_EQ(161u, SvCreatePath("\\\\"));
  EXPECT_EQ(161u, SvCreatePath(""));
  // A level that cannot be made is not reported here.
  EXPECT_EQ(0u, SvCreatePath("Q:\\nodrive\\dir"));
  EXPECT_EQ(0u, SvCreateDirectory("Q:\\nodrive"));
  EXPECT_FALSE(files().Exists("Q:\\nodrive"));

  ASSERT_TRUE(svp::Fs().SetCurrentDirectory("C:\\Temp"));
  std::string out = "unchanged";
  SvGetFullDirectory("b", out, nullptr);
  SvGetFullDirectory(nullptr, out, "x.dll");
  EXPECT_EQ("unchanged", out);
  SvGetFullDirectory("b", out, "x.dll");
  EXPECT_EQ("C:\\Temp\\b\\", out);
  SvGetFullDirectory("C:\\abs\\", out, "");
  EXPECT_EQ("C:\\abs\\", out);
  EXPECT_EQ(17u, SvGetFullPath(out, "b\\c\\f.txt"));
  EXPECT_EQ("C:\\Temp\\b\\c\\f.txt", out);
  // Too long for 260 characters: out stays, the needed length comes back.
  EXPECT_GE(SvGetFullPath(out, "C:\\" + std::string(300, 'd')), 260u);
  EXPECT_EQ("C:\\Temp\\b\\c\\f.txt", out);
}

}  // namespace
