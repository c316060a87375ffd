// The test run itself: Wine must present the Japanese ANSI code page, or every text test means nothing.
#include <gtest/gtest.h>
#include <windows.h>

TEST(Environment, AnsiCodePageIs932WithShiftJisLeadBytes) {
  EXPECT_EQ(932u, GetACP());
  EXPECT_TRUE(IsDBCSLeadByte(0x81));
  EXPECT_TRUE(IsDBCSLeadByte(0xE0));
  EXPECT_FALSE(IsDBCSLeadByte(0xA0));  // half-width katakana range is single-byte
  EXPECT_FALSE(IsDBCSLeadByte('A'));
}

TEST(Environment, SourceLiteralsAreShiftJis) {
  const unsigned char* s = reinterpret_cast<const unsigned char*>("表");
  EXPECT_EQ(0x95, s[0]);
  EXPECT_EQ(0x5C, s[1]);
  EXPECT_EQ(0, s[2]);
}
