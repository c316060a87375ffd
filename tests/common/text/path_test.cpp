// Path helpers: trail bytes 0x5C are no backslashes, and a result that does not fit leaves the empty
// text without a byte written past the size.
#include <gtest/gtest.h>

#include <string>

#include "library.h"
#include "marked.h"
#include "scratch.h"
#include "text.h"

namespace {

using vttest::Marked;

TEST(Path, FileExistsOnlyForFiles) {
  vttest::ScratchDir dir;
  const std::string file = dir.File("表.txt");
  ASSERT_TRUE(vttest::WriteFileBytes(file, "x"));
  EXPECT_TRUE(FileExists(file.c_str()));
  EXPECT_TRUE(FileExists((file + "::anything").c_str()));
  EXPECT_FALSE(FileExists(dir.File("ソ.txt").c_str()));
  EXPECT_FALSE(FileExists(dir.path().c_str()));
  EXPECT_FALSE(FileExists(dir.path().substr(0, dir.path().size() - 1).c_str()));
  EXPECT_FALSE(FileExists(nullptr));
}

TEST(Path, FolderOfKeepsTheLastRealBackslash) {
  char dest[kPathSize] = "x";
  EXPECT_STREQ("D:\\Tools\\", FolderOf(dest, sizeof dest, "D:\\Tools\\vntassoc.exe"));
  EXPECT_STREQ("C:\\表\\", FolderOf(dest, sizeof dest, "C:\\表\\ソ"));
  EXPECT_STREQ("", FolderOf(dest, sizeof dest, "name.ext"));
  EXPECT_STREQ("", FolderOf(dest, sizeof dest, nullptr));
  EXPECT_EQ(nullptr, FolderOf(nullptr, 10, "C:\\a"));
}

TEST(Path, FolderOfGivesEmptyWhenTheFolderDoesNotFit) {
  Marked fits;
  EXPECT_STREQ("D:\\T\\", FolderOf(fits.data(), 6, "D:\\T\\x"));
  EXPECT_TRUE(fits.IntactFrom(6));
  Marked tooSmall;
  EXPECT_STREQ("", FolderOf(tooSmall.data(), 5, "D:\\T\\x"));
  EXPECT_TRUE(tooSmall.IntactFrom(1));
  Marked none;
  FolderOf(none.data(), 0, "D:\\T\\x");
  EXPECT_TRUE(none.IntactFrom(0));
}

TEST(Path, ChangeExtensionReplacesOnlyTheFileNamesExtension) {
  char dest[kPathSize];
  const struct {
    const char* path;
    const char* want;
  } cases[] = {
      {"D:\\a.b\\c", "D:\\a.b\\c.ini"}, {"D:\\a\\c.exe", "D:\\a\\c.ini"}, {"c", "c.ini"},
      {"D:\\x.表", "D:\\x.ini"},  // 表's trail byte lies after the period but is no backslash
      {"c\x81", "c.ini"},         // a dangling lead byte would swallow the period
      {nullptr, ".ini"},
  };
  for (const auto& c : cases)
    EXPECT_STREQ(c.want, ChangeExtension(dest, sizeof dest, c.path, ".ini")) << (c.path ? c.path : "null");
  EXPECT_STREQ("a", ChangeExtension(dest, sizeof dest, "a.exe", nullptr));
  EXPECT_EQ(nullptr, ChangeExtension(nullptr, 10, "a.exe", ".ini"));
}

TEST(Path, ChangeExtensionGivesEmptyWhenTheResultDoesNotFit) {
  Marked fits;
  EXPECT_STREQ("D:\\a\\c.ini", ChangeExtension(fits.data(), 11, "D:\\a\\c.exe", ".ini"));
  EXPECT_TRUE(fits.IntactFrom(11));
  Marked tooSmall;
  EXPECT_STREQ("", ChangeExtension(tooSmall.data(), 10, "D:\\a\\c.exe", ".ini"));
  EXPECT_TRUE(tooSmall.IntactFrom(1));
  // The path fits, but the period is in a folder name, so ".ini" is appended and overflows.
  Marked appended;
  EXPECT_STREQ("", ChangeExtension(appended.data(), 12, "D:\\a.b\\c", ".ini"));
  EXPECT_TRUE(appended.IntactFrom(1));
  Marked none;
  ChangeExtension(none.data(), 0, "D:\\a\\c.exe", ".ini");
  EXPECT_TRUE(none.IntactFrom(0));
}

}  // namespace
