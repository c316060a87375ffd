// Functions that write into a caller's buffer: whole characters only, and never a byte at or past
// the size. Each buffer is pre-filled with 0xBD so a stray write shows.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scratch.h"
#include "text.h"

namespace {

class Marked {
 public:
  explicit Marked(const char* text = nullptr) : bytes_(600, '\xBD') {
    if (text) bytes_.replace(0, std::strlen(text) + 1, text, std::strlen(text) + 1);
  }
  char* data() { return &bytes_[0]; }
  bool IntactFrom(size_t offset) const {
    return bytes_.find_first_not_of('\xBD', offset) == std::string::npos;
  }

 private:
  std::string bytes_;
};

TEST(Bounds, CopyBoundedCutsBeforeACharacterThatDoesNotFit) {
  Marked buf;
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", 0));
  EXPECT_TRUE(buf.IntactFrom(0));
  EXPECT_EQ(5, CopyBounded(buf.data(), "ab表c", 4));  // 表 would leave no room for the terminator
  EXPECT_STREQ("ab", buf.data());
  EXPECT_TRUE(buf.IntactFrom(3));
  EXPECT_EQ(2, CopyBounded(buf.data(), "ab\x81", 6));
  EXPECT_STREQ("ab", buf.data());
}

TEST(Bounds, FolderOfAndChangeExtensionSeeOnlyRealBackslashes) {
  char dest[520];
  EXPECT_STREQ("C:\\表\\", FolderOf(dest, sizeof dest, "C:\\表\\ソ"));
  EXPECT_STREQ("", FolderOf(dest, sizeof dest, "name.ext"));
  const char* cases[][2] = {{"D:\\a.b\\c", "D:\\a.b\\c.ini"}, {"D:\\a\\c.exe", "D:\\a\\c.ini"},
                            {"c", "c.ini"}, {"D:\\x.表", "D:\\x.ini"}, {"c\x81", "c.ini"}};
  for (const auto& c : cases) EXPECT_STREQ(c[1], ChangeExtension(dest, sizeof dest, c[0], ".ini")) << c[0];
}

// A path cut short would name another file, so a result that does not fit gives the empty text.
TEST(Bounds, PathResultsThatDoNotFitAreEmpty) {
  Marked exact, folder, appended;
  EXPECT_STREQ("D:\\a\\c.ini", ChangeExtension(exact.data(), 11, "D:\\a\\c.exe", ".ini"));
  EXPECT_TRUE(exact.IntactFrom(11));
  EXPECT_STREQ("", FolderOf(folder.data(), 5, "D:\\T\\x"));
  EXPECT_TRUE(folder.IntactFrom(1));
  // The path fits, but its period is in a folder name, so ".ini" is appended and overflows.
  EXPECT_STREQ("", ChangeExtension(appended.data(), 12, "D:\\a.b\\c", ".ini"));
  EXPECT_TRUE(appended.IntactFrom(1));
}

TEST(Bounds, FileExistsOnlyForFiles) {
  vttest::ScratchDir dir;
  const std::string file = dir.File("表.txt");
  ASSERT_TRUE(vttest::WriteFileBytes(file, "x"));
  EXPECT_TRUE(FileExists(file.c_str()));
  EXPECT_TRUE(FileExists((file + "::anything").c_str()));
  EXPECT_FALSE(FileExists(dir.File("ソ.txt").c_str()));
  EXPECT_FALSE(FileExists(dir.path().c_str()));
}

}  // namespace
