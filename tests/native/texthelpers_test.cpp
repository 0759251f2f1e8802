#include "textedit/texthelpers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SvNextToken, TakesOneFieldPerCall) {
  std::string source = "a,,b";
  std::string token;
  EXPECT_EQ("a", SvNextToken(source, ",", token));
  EXPECT_EQ(",b", source);
  EXPECT_EQ("", SvNextToken(source, ",", token));
  EXPECT_EQ("b", SvNextToken(source, ",", token));
  EXPECT_EQ("", source);
  EXPECT_EQ("", SvNextToken(source, ",", token));

  source = "abc";
  EXPECT_EQ("abc", SvNextToken(source, ",", token));
  EXPECT_EQ("", source);

  // Any character of the set ends the token.
  source = "k=v;w";
  EXPECT_EQ("k", SvNextToken(source, ";=", token));
  EXPECT_EQ("v", SvNextToken(source, ";=", token));
  EXPECT_EQ("w", source);
  source = "x;y";
  EXPECT_EQ("x;y", SvNextToken(source, nullptr, token));
}

TEST(SvTrim, CutsAtLineFeedThenTrimsWhiteSpace) {
  std::string text = "  x y \t\n z";
  EXPECT_EQ("x y", SvTrim(text));
  EXPECT_EQ("x y", text);
  text = " \t\r\v\f ";
  EXPECT_EQ("", SvTrim(text));
  text = "\nabc";
  EXPECT_EQ("", SvTrim(text));
  text = "a\r";
  EXPECT_EQ("a", SvTrim(text));
}

TEST(SvTextHelpers, CommentsAndTrailingCharacters) {
  std::string text = "key=value ;comment;more";
  EXPECT_EQ("key=value ", SvStripComment(text));
  text = ";all";
  EXPECT_EQ("", SvStripComment(text));

  text = "D:\\\\";
  SvRemoveTrailingChar(text, '\\');
  EXPECT_EQ("D:\\", text);
  text = "";
  SvRemoveTrailingChar(text, '\\');
  EXPECT_EQ("", text);

  SvAppendCharIfMissing(text, '\\');
  EXPECT_EQ("", text);
  text = "C:";
  SvAppendCharIfMissing(text, '\\');
  EXPECT_EQ("C:\\", text);
  SvAppendCharIfMissing(text, '\\');
  EXPECT_EQ("C:\\", text);
}

TEST(SvParseNumber, BehavesLikeStrtoulBaseZero) {
  EXPECT_EQ(42u, SvParseNumber("42"));
  EXPECT_EQ(255u, SvParseNumber("0xff"));
  EXPECT_EQ(255u, SvParseNumber(" \t0XFF,1"));
  EXPECT_EQ(8u, SvParseNumber("010"));
  EXPECT_EQ(0u, SvParseNumber("08"));
  EXPECT_EQ(0u, SvParseNumber("0x"));
  EXPECT_EQ(0u, SvParseNumber(""));
  EXPECT_EQ(0u, SvParseNumber("abc"));
  EXPECT_EQ(12u, SvParseNumber("12abc"));
  EXPECT_EQ(4294967295u, SvParseNumber("4294967295"));
  EXPECT_EQ(4294967295u, SvParseNumber("4294967296"));
  EXPECT_EQ(4294967295u, SvParseNumber("0x123456789"));
  EXPECT_EQ(4294967295u, SvParseNumber("-1"));
  EXPECT_EQ(7u, SvParseNumber("+7"));
}

TEST(SvEqualNoCase, IgnoresAsciiCaseOnly) {
  EXPECT_TRUE(SvEqualNoCase("[Files]", "[fILES]"));
  EXPECT_FALSE(SvEqualNoCase("abc", "abcd"));
  EXPECT_FALSE(SvEqualNoCase("a@", "a`"));
  EXPECT_TRUE(SvEqualNoCase("", ""));
}

}  // namespace
