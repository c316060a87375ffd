// The INI text format: what a file reads as, seen through the bytes Save writes back.
#include <cstring>

#include "ini_fixture.h"

namespace {

struct Rewrite {
  const char* name;
  const char* input;
  const char* saved;
};

const Rewrite kRewrites[] = {
    {"CR, LF and CRLF in any mix", "[s]\ra=1\n\nb=2\r\n\r\rc=3\n\r", "[s]\r\na=1\r\nb=2\r\nc=3\r\n"},
    {"blanks, tabs and full-width spaces trimmed", " \t[ \x81\x40s ]\x81\x40\n\tk \t= v\tv \x81\x40\n",
     "[s]\r\nk=v v\r\n"},
    {"] inside a header name", "[a]b]\nk=1\n", "[a]b]\r\nk=1\r\n"},
    {"trail byte 0x5D closes no header", "[s]\n[xゾ\n[ゾ=1\n[ゾ]\nk=2\n", "[s]\r\n[ゾ=1\r\n[ゾ]\r\nk=2\r\n"},
    {"[a] x is no header", "[s]\n[a] x\nk=1\n", "[s]\r\nk=1\r\n"},
    {"keys under empty names are ignored", "k=0\n[]\na=1\n[ ]\nb=2\n[s]\nc=3\n", "[s]\r\nc=3\r\n"},
    {"a header without keys leaves nothing", "[s]\nk=1\n[empty]\n[s]\nnoequals\n=nokey\n", "[s]\r\nk=1\r\n"},
    {"no comment syntax, = in values, empty value", "[s]\n;x=1\nk=a=b\ne=\n", "[s]\r\n;x=1\r\nk=a=b\r\ne=\r\n"},
    {"duplicate keys keep the first place and name", "[s]\nKey=1\nz=0\nKEY=22\n", "[s]\r\nKey=22\r\nz=0\r\n"},
    {"sections differing in case merge", "[Abc]\nx=1\n[o]\ny=2\n[aBC]\nx=3\nw=4\n",
     "[Abc]\r\nx=3\r\nw=4\r\n[o]\r\ny=2\r\n"},
};

}  // namespace

TEST_F(IniTest, LinesReadAndWriteBack) {
  for (const Rewrite& r : kRewrites) {
    LoadBytes(r.input);
    EXPECT_EQ(r.saved, Saved()) << r.name;
  }
}

TEST_F(IniTest, GetIntTakesWholeNumbersOnly) {
  LoadBytes("[VNTASSOC]\n  addoption = 1  \n[n]\na=abc\nb=1x\nc=\nd=1.0\ne=-1\n");
  EXPECT_EQ(1, ini_.GetInt("vntassoc", "AddOption", -1));
  const struct { const char* key; int expected; } cases[] = {
      {"a", 7}, {"b", 7}, {"c", 7}, {"d", 1}, {"e", -1}, {"missing", 7}};
  for (const auto& c : cases) EXPECT_EQ(c.expected, ini_.GetInt("n", c.key, 7)) << c.key;
  EXPECT_EQ(7, ini_.GetInt("none", "a", 7));
}

TEST_F(IniTest, GetStringCutsAtCharacterBoundaries) {
  LoadBytes("[s]\nk=abあい\nempty=\n");
  const struct { int size; const char* text; } cases[] = {{0, ""}, {4, "ab"}, {5, "abあ"}, {7, "abあい"}};
  for (const auto& c : cases) {
    char buf[10];
    std::memset(buf, 0xBD, sizeof buf);
    EXPECT_EQ(buf, ini_.GetString("s", "k", c.size, buf, "d"));
    std::string want = c.size > 0 ? std::string(c.text) + '\0' : "";  // size 0 writes nothing
    want.resize(sizeof buf, '\xBD');
    EXPECT_EQ(want, std::string(buf, sizeof buf)) << c.size;
  }
  char buf[8];
  EXPECT_STREQ("", ini_.GetString("s", "EMPTY", 8, buf, "d"));  // present but empty: not the default
  EXPECT_STREQ("d", ini_.GetString("s", "missing", 8, buf, "d"));
}

TEST_F(IniTest, ParseKeepsCopiesAndForgetsThePath) {
  LoadBytes("[old]\nk=1\n");
  char text[] = "[s]\nk=v\n";
  EXPECT_TRUE(ini_.Parse(text));
  std::memset(text, 'X', sizeof text - 1);
  char buf[8];
  EXPECT_STREQ("v", ini_.GetString("s", "k", 8, buf, "d"));
  EXPECT_EQ(nullptr, ini_.FindSection("old", false));
  EXPECT_EQ("[old]\nk=1\n", Saved());  // no path after Parse: the file stays as it was
}
