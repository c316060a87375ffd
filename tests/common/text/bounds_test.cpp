// Functions that write into a caller's buffer: whole characters only, and never a byte at or past
// the size. Each buffer is pre-filled with 0xBD so a stray write shows.
#include <gtest/gtest.h>

#include <algorithm>
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

struct Append {
  const char* dest;
  const char* src;
  int size;
  int result;  // the length the whole text would have
  const char* text;
};

// The text already in the buffer is walked by characters; what is appended is cut before the
// first character that would leave no room for the terminator.
TEST(Bounds, AppendBoundedKeepsWholeCharactersWithinTheSize) {
  const Append cases[] = {
      {"C:\\表\\", "readme.txt", 520, 16, "C:\\表\\readme.txt"},
      {"ab", "c表", 6, 5, "abc表"},
      {"ab", "c表", 5, 5, "abc"},          // 表 would take the terminator's byte
      {"", "表", 2, 2, ""},
      {"ab\x81", "表cd", 6, 6, "ab表c"},  // a dangling lead byte is overwritten
      {"a表", "xy", 3, 3, "ax"},           // 表 would end at the size: the append starts over it
  };
  for (const Append& c : cases) {
    Marked buf(c.dest);
    EXPECT_EQ(c.result, AppendBounded(buf.data(), c.src, c.size)) << c.dest << "+" << c.src;
    EXPECT_STREQ(c.text, buf.data()) << c.dest << "+" << c.src;
    // Past the size, only the text that was there before may differ from the marker.
    EXPECT_TRUE(buf.IntactFrom(std::max(static_cast<size_t>(c.size), std::strlen(c.dest) + 1)))
        << c.dest << "+" << c.src;
  }
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
