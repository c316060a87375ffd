// Reading limits, the remembered path, replacing the file on Save, and the document's growth.
#include <climits>
#include <string>
#include <vector>

#include "ini_fixture.h"

using vttest::Listing;

TEST_F(IniTest, SaveWritesExactBytesAndNoTemporaryFile) {
  ASSERT_TRUE(ini_.Load(file_.c_str()));  // missing: empty document, path remembered
  EXPECT_EQ(5, ini_.GetInt("vntassoc", "AddOption", 5));
  ini_.SetInt("vntassoc", "AddOption", -1);
  ini_.SetInt("vntassoc", "ListOption", 0);
  EXPECT_EQ("[vntassoc]\r\nAddOption=-1\r\nListOption=0\r\n", Saved());

  LoadBytes("[other]\nx=あ\n[vntassoc]\nAddOption=0\n");
  ini_.SetInt("VNTASSOC", "addoption", INT_MIN);
  EXPECT_EQ("[other]\r\nx=あ\r\n[vntassoc]\r\nAddOption=-2147483648\r\n", Saved());
  EXPECT_EQ(std::vector<std::string>{"t.ini"}, Listing(dir_.path()));
}

TEST_F(IniTest, ZeroByteEndsTheText) {
  LoadBytes(std::string("[s]\r\na=1\r\nb=2") + '\0' + "\r\nc=3\r\n");
  EXPECT_EQ("[s]\r\na=1\r\nb=2\r\n", Saved());
}

TEST_F(IniTest, ReadsAtMost131072BytesAndParsesTheCutLine) {
  std::string bytes = "[s]\r\npad=";
  bytes.append(0x20000 - 6 - bytes.size() - 2, 'x');
  bytes += "\r\ncut=123456\r\nafter=1\r\n";  // "cut=12" ends exactly at byte 131072
  bytes.resize(200000, 'y');
  LoadBytes(bytes);
  EXPECT_EQ(12, ini_.GetInt("s", "cut", -1));
  EXPECT_EQ(-1, ini_.GetInt("s", "after", -1));
}

TEST_F(IniTest, PathIsRememberedOnlyWhenItFitsWhole) {
  const std::string folder = dir_.path();
  const std::string fits = folder + std::string(519 - folder.size(), 'a');
  EXPECT_TRUE(ini_.Load(fits.c_str()));
  EXPECT_EQ(fits, ini_.path());
  for (const std::string& tooLong : {fits + "a", fits.substr(0, 518) + "あ"}) {
    EXPECT_TRUE(ini_.Load(tooLong.c_str()));
    EXPECT_STREQ("", ini_.path());
    ini_.SetInt("s", "k", 1);
    ini_.Save();
    EXPECT_TRUE(Listing(folder).empty());
  }
}

TEST_F(IniTest, ReadOnlyTargetIsKept) {
  const std::string old = "[s]\r\nk=old\r\n";
  LoadBytes(old);
  ini_.SetInt("s", "k", 1);

  ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(old, Saved());
  EXPECT_TRUE(GetFileAttributesA(file_.c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(std::vector<std::string>{"t.ini"}, Listing(dir_.path()));
  SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A folder where the file should be lets the temporary file be written but not moved into place.
TEST_F(IniTest, SaveOverAFolderOrIntoAMissingFolderWritesNothing) {
  const std::string sub = dir_.File("sub");
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  ASSERT_TRUE(ini_.Load(sub.c_str()));
  ini_.SetInt("s", "k", 1);
  ini_.Save();
  EXPECT_TRUE(GetFileAttributesA(sub.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(std::vector<std::string>{"sub"}, Listing(dir_.path()));
  EXPECT_TRUE(Listing(sub + "\\").empty());

  ASSERT_TRUE(ini_.Load(dir_.File("none\\t.ini").c_str()));
  ini_.SetInt("s", "k", 1);
  ini_.Save();
  EXPECT_EQ(std::vector<std::string>{"sub"}, Listing(dir_.path()));
}

TEST_F(IniTest, DocumentGrowsPastItsFirstArraysInOrder) {
  for (int s = 0; s < 40; ++s)
    for (int k = 0; k < 40; ++k) ini_.SetInt(std::to_string(s).c_str(), std::to_string(k).c_str(), s * k);
  ASSERT_EQ(40, ini_.count());
  const VtIniSection* last = ini_.SectionAt(39);
  EXPECT_STREQ("39", last->name());
  EXPECT_STREQ("33", last->EntryAt(33)->key());
  EXPECT_STREQ("1287", last->EntryAt(33)->value());
  EXPECT_EQ(nullptr, last->EntryAt(40));
  EXPECT_EQ(nullptr, ini_.SectionAt(40));
}
