// Walking, comparing and cutting texts: trail bytes that look like ASCII (表 and ソ end in 0x5C),
// dangling lead bytes, and letter case.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "owner.h"
#include "text.h"

namespace {

// Runs an in-place function on a copy of text; returns the text up to its (new) terminator.
template <typename F>
std::string InPlace(F function, std::string text) {
  function(&text[0]);
  return text.c_str();
}

std::vector<std::string> Tokens(std::string text, const char* delimiters) {
  std::vector<std::string> out;
  char* resume = nullptr;
  for (char* t = NextToken(&text[0], delimiters, &resume); t; t = NextToken(resume, delimiters, &resume))
    out.push_back(t);
  return out;
}

TEST(Text, CompareNoCaseFoldsSingleByteLettersOnly) {
  EXPECT_EQ(3, WholeCharLength("a表\x81"));
  EXPECT_EQ(0, CompareNoCase(".Mp3", ".mP3"));
  EXPECT_EQ(0, CompareNoCase("表a", "表A"));
  EXPECT_LT(CompareNoCase("ab", "abc"), 0);
  EXPECT_NE(0, CompareNoCase("Ａ", "ａ"));  // full-width letters are exact
  EXPECT_NE(0, CompareNoCase("ア", "ヂ"));  // trail bytes 'A' and 'a' are not folded
  EXPECT_LT(CompareNoCase("z", "あ"), 0);
}

TEST(Text, InPlaceEditsKeepDoubleByteCharactersWhole) {
  EXPECT_EQ("ab", InPlace(TrimRight, "ab 　"));
  EXPECT_EQ("ab", InPlace(TrimRight, "ab \x81"));
  EXPECT_EQ("メ@", InPlace(TrimRight, "メ@"));  // 0x83 0x81 0x40 holds no full-width space
  EXPECT_EQ("a b", InPlace(TrimBoth, " 　a b　 "));
  EXPECT_EQ("", InPlace(TrimBoth, " 　 "));
  EXPECT_EQ("a  b c", InPlace(ControlsToSpaces, "a\r\nb\tc\x81"));
  // Upper-casing the trail byte would turn テ (0x83 0x65) into ウ (0x83 0x45).
  EXPECT_EQ(".MP3;テ;表A", InPlace(UpperInPlace, ".mp3;テ;表a"));
}

TEST(Text, SearchesSkipTrailBytes) {
  const char* path = "C:\\表\\ソ.a";
  EXPECT_EQ(path + 5, FindLastChar(path, '\\'));
  EXPECT_EQ(path + 8, FindLastChar(path, '.'));
  EXPECT_EQ(nullptr, FindLastChar("表ソ", '\\'));
  EXPECT_EQ(path + 5, FindText(path, "\\ソ"));
  EXPECT_EQ(nullptr, FindText("表x", "\\x"));
  EXPECT_EQ(nullptr, FindText("ABC", "b"));
  EXPECT_EQ(nullptr, FindText("abc", ""));
}

TEST(Text, NextTokenYieldsEmptyTokensAndEnds) {
  using List = std::vector<std::string>;
  EXPECT_EQ((List{"a", "", "", "", "b"}), Tokens("a\r\n\r\nb", "\r\n"));
  EXPECT_EQ((List{"", "x"}), Tokens(";x;", ";"));
  EXPECT_EQ((List{"表", "ソ"}), Tokens("表\\ソ", "\\"));
  EXPECT_EQ((List{"ab", ""}), Tokens("ab;\x81", ";"));
}

TEST(Text, ParseIntOrTakesOnlyAWholeNumberAndWraps) {
  const struct {
    const char* text;
    int want;
  } cases[] = {{"  -42  ", -42}, {"12.5", 12}, {"12.", 12}, {".5", -1}, {"-", -1}, {"", -1},
               {"1 2", -1}, {"0x10", -1}, {"1.2.3", -1}, {"\t5", -1}, {"2147483648", INT_MIN},
               {"-2147483648", INT_MIN}, {"4294967297", 1}, {"-4294967295", 1}};
  for (const auto& c : cases) EXPECT_EQ(c.want, ParseIntOr(c.text, -1)) << '"' << c.text << '"';
}

// What a VtOwner released, in order.
std::vector<int> released;
void NoteRelease(int* block) { released.push_back(*block); }

// Owned texts, LocalAlloc blocks and DDE data handles share this owner: taking another block frees
// the one held (a data handle's owner once let it leak), and what a move or release() hands over
// is freed by no one but its new holder.
TEST(Text, OwnerFreesWhatItGivesUpOnceAndWhatItHandsOverNever) {
  int a = 1, b = 2, c = 3;
  released.clear();
  {
    VtOwner<int, NoteRelease> owner(&a);
    owner.reset(&b);
    EXPECT_EQ(std::vector<int>{1}, released);
    VtOwner<int, NoteRelease> taken(std::move(owner));
    EXPECT_TRUE(owner == nullptr);
    EXPECT_EQ(&b, taken.release());
    taken.reset(&c);
    owner = std::move(taken);
  }
  EXPECT_EQ((std::vector<int>{1, 3}), released);
}

}  // namespace
