// In-place text functions and comparison: trail bytes that look like ASCII, dangling lead bytes, case.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "text.h"

namespace {

// Runs an in-place function on a copy of text; returns the text up to its (new) terminator.
template <typename F>
std::string InPlace(F function, std::string text) {
  function(&text[0]);
  return text.c_str();
}

TEST(Text, WholeCharLengthDropsOnlyADanglingLeadByte) {
  EXPECT_EQ(0, WholeCharLength(""));
  EXPECT_EQ(4, WholeCharLength("a表c"));
  EXPECT_EQ(3, WholeCharLength("a表\x81"));
}

TEST(Text, CompareNoCaseFoldsSingleByteLettersOnly) {
  EXPECT_EQ(0, CompareNoCase(".Mp3", ".mP3"));
  EXPECT_EQ(0, CompareNoCase("表a", "表A"));  // the walk goes on after a trail byte 0x5C
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
  EXPECT_GT(CompareNoCase("abc", "AB"), 0);
  EXPECT_NE(0, CompareNoCase("Ａ", "ａ"));  // full-width letters are exact
  EXPECT_NE(0, CompareNoCase("ア", "ヂ"));  // trail bytes 'A' and 'a' are not folded
  EXPECT_LT(CompareNoCase("z", "あ"), 0);
  EXPECT_GT(CompareNoCase("あ", "Z"), 0);
}

TEST(Text, TrimsAsciiAndFullWidthSpaces) {
  EXPECT_EQ("ab", InPlace(TrimRight, "ab 　"));
  EXPECT_EQ("ab", InPlace(TrimRight, "ab \x81"));
  EXPECT_EQ("メ@", InPlace(TrimRight, "メ@"));  // 0x83 0x81 '@' holds no full-width space
  EXPECT_EQ("x 　y", InPlace(TrimLeft, "　 x 　y"));
  EXPECT_EQ("a b", InPlace(TrimBoth, " 　a b　 "));
  EXPECT_EQ("", InPlace(TrimBoth, " 　 "));
  EXPECT_EQ(nullptr, TrimRight(nullptr));
  EXPECT_EQ(nullptr, TrimLeft(nullptr));
}

TEST(Text, ControlsToSpacesAndUpperInPlaceKeepDoubleByteCharacters) {
  EXPECT_EQ("a  b c", InPlace(ControlsToSpaces, "a\r\nb\tc"));
  EXPECT_EQ("x ", InPlace(ControlsToSpaces, "x\n\x81"));
  // Upper-casing the trail byte would turn テ (0x83 0x65) into ウ (0x83 0x45).
  EXPECT_EQ(".MP3;テ;表A;ｱ", InPlace(UpperInPlace, ".mp3;テ;表a;ｱ"));
  EXPECT_EQ("A\x81", InPlace(UpperInPlace, "a\x81"));
}

TEST(Text, ParseIntOrTakesOnlyAWholeNumber) {
  const struct {
    const char* text;
    int want;
  } cases[] = {
      {"  -42  ", -42}, {"+7", 7}, {"12.5", 12}, {"12.", 12}, {".5", -1}, {"-", -1}, {"", -1},
      {"1 2", -1}, {"0x10", -1}, {"1.2.3", -1}, {"\t5", -1},
      // Overflow wraps like 32-bit arithmetic.
      {"2147483647", INT_MAX}, {"2147483648", INT_MIN}, {"-2147483648", INT_MIN}, {"4294967297", 1},
      {"-4294967295", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(c.want, ParseIntOr(c.text, -1)) << '"' << c.text << '"';
}

}  // namespace
