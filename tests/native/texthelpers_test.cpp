#include "textedit/texthelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// Each call's token, then what is left of the source.
std::string Tokens(std::string source, const char* delimiters, int calls) {
  std::string out, token;
  for (int i = 0; i < calls; ++i) out += "[" + SvNextToken(source, delimiters, token) + "]";
  return out + source;
}

TEST(SvNextToken, TakesOneFieldPerCall) {
  EXPECT_EQ("[a][][b][]", Tokens("a,,b", ",", 4));
  EXPECT_EQ("[a],b", Tokens("a,,b", ",", 1));
  EXPECT_EQ("[abc]", Tokens("abc", ",", 1));
  EXPECT_EQ("[k][v]w", Tokens("k=v;w", ";=", 2));  // any character of the set ends it
  EXPECT_EQ("[x;y]", Tokens("x;y", nullptr, 1));
}

TEST(SvTextHelpers, TrimCommentAndTrailingCharacters) {
  using Edit = std::string& (*)(std::string&);
  const std::tuple<Edit, const char*, const char*> cases[] = {
      {SvTrim, "  x y \t\n z", "x y"},  // cut at the line feed, then trimmed
      {SvTrim, " \t\r\v\f ", ""},
      {SvTrim, "\nabc", ""},
      {SvTrim, "a\r", "a"},
      {SvStripComment, "key=value ;comment;more", "key=value "},
      {SvStripComment, ";all", ""},
  };
  for (const auto& [edit, in, out] : cases) {
    std::string text = in;
    EXPECT_EQ(out, edit(text)) << in;
    EXPECT_EQ(out, text) << in;
  }

  std::string text = "D:\\\\";
  SvRemoveTrailingChar(text, '\\');
  EXPECT_EQ("D:\\", text);
  for (const char* in : {"", "C:", "C:\\"}) {
    text = in;
    SvAppendCharIfMissing(text, '\\');
    EXPECT_EQ(*in ? "C:\\" : "", text) << in;
  }
  text.clear();
  SvRemoveTrailingChar(text, '\\');
  EXPECT_EQ("", text);
}

TEST(SvParseNumber, BehavesLikeStrtoulBaseZero) {
  const std::pair<const char*, uint32_t> cases[] = {
      {" \t0XFF,1", 255},
      {"08", 0},
      {"0x", 0},
      {"", 0},
      {"+7", 7},
      {"-1", 4294967295u},
      {"4294967295", 4294967295u},
      {"0x123456789", 4294967295u},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(value, SvParseNumber(text)) << text;
}

TEST(SvEqualNoCase, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SvEqualNoCase("[Files]", "[fILES]"));
  EXPECT_TRUE(SvEqualNoCase("", ""));
  EXPECT_FALSE(SvEqualNoCase("abc", "abcd"));
  EXPECT_FALSE(SvEqualNoCase("a@", "a`"));
}

}  // namespace
