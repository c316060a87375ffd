// Bounded copies: whole characters only, and never a byte at or past the size.
#include <gtest/gtest.h>

#include "marked.h"
#include "text.h"

namespace {

using vttest::Marked;

TEST(Copy, CopyBoundedCutsBeforeACharacterThatDoesNotFit) {
  Marked buf;
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", 4));  // 表 would leave no room for the terminator
  EXPECT_STREQ("ab", buf.data());
  EXPECT_TRUE(buf.IntactFrom(3));
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", 5));
  EXPECT_STREQ("ab表", buf.data());
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", 6));
  EXPECT_STREQ("ab表c", buf.data());
  EXPECT_EQ(2, CopyBounded(buf.data(), "ab\x81", 6));
  EXPECT_STREQ("ab", buf.data());
}

TEST(Copy, CopyBoundedWithNoRoomWritesNothing) {
  Marked buf;
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", 0));
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", -1));
  EXPECT_TRUE(buf.IntactFrom(0));
}

TEST(Copy, AppendBounded) {
  Marked path("C:\\表\\");
  EXPECT_EQ(16, AppendBounded(path.data(), "readme.txt", 520));
  EXPECT_STREQ("C:\\表\\readme.txt", path.data());

  Marked cut("ab");
  EXPECT_EQ(6, AppendBounded(cut.data(), "表cd", 6));
  EXPECT_STREQ("ab表c", cut.data());
  EXPECT_TRUE(cut.IntactFrom(6));

  Marked dangling("ab\x81");
  EXPECT_EQ(3, AppendBounded(dangling.data(), "c", 10));
  EXPECT_STREQ("abc", dangling.data());

  Marked full("a表");  // already too long for size 3: not even terminated within it
  full.data()[3] = '\xBD';
  EXPECT_EQ(3, AppendBounded(full.data(), "xy", 3));
  EXPECT_STREQ("ax", full.data());
  EXPECT_TRUE(full.IntactFrom(3));
}

}  // namespace
