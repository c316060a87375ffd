// Searching and cutting must never take a trail byte (表 and ソ end in 0x5C) for an ASCII character.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text.h"

namespace {

std::vector<std::string> Tokens(std::string text, const char* delimiters) {
  std::vector<std::string> out;
  char* resume = nullptr;
  for (char* t = NextToken(&text[0], delimiters, &resume); t; t = NextToken(resume, delimiters, &resume))
    out.push_back(t);
  return out;
}

using List = std::vector<std::string>;

TEST(Search, FindLastCharSkipsTrailBytes) {
  const char* path = "C:\\表\\ソ";
  EXPECT_EQ(path + 5, FindLastChar(path, '\\'));
  EXPECT_EQ(nullptr, FindLastChar("表ソ", '\\'));
  const char* dangling = "a.b\x81";
  EXPECT_EQ(dangling + 1, FindLastChar(dangling, '.'));
  EXPECT_EQ(dangling + 3, FindLastChar(dangling, '\0'));
  EXPECT_EQ(nullptr, FindLastChar(static_cast<const char*>(nullptr), '.'));
}

TEST(Search, FindTextMatchesWholeCharactersExactly) {
  const char* path = "C:\\a.exe::x";
  EXPECT_EQ(path + 8, FindText(path, "::"));
  EXPECT_EQ(nullptr, FindText("表x", "\\x"));
  EXPECT_EQ(nullptr, FindText("ABC", "b"));
  EXPECT_EQ(nullptr, FindText("ab", "abc"));
  EXPECT_EQ(nullptr, FindText("abc", ""));
}

TEST(Search, NextTokenYieldsEmptyTokensAndEnds) {
  EXPECT_EQ((List{"a", "", "", "", "b"}), Tokens("a\r\n\r\nb", "\r\n"));
  EXPECT_EQ((List{"", "x"}), Tokens(";x;", ";"));
  EXPECT_EQ((List{"表", "ソ"}), Tokens("表\\ソ", "\\"));
  EXPECT_EQ((List{"ab", ""}), Tokens("ab;\x81", ";"));
  EXPECT_EQ(List{}, Tokens("", ";"));
}

}  // namespace
