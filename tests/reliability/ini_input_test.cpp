// INI files of any bytes: random ones, 200 KB ones, ones with zero bytes, with trail bytes 0x5C and
// with every mix of CR and LF. Loading never fails, and a document saved and loaded again is the
// same document, whose saved text no longer changes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "inifile.h"
#include "library.h"
#include "scratch.h"
#include "typenames.h"
#include "widetext.h"

namespace {

// The document as one text: sections in order, each with its entries in order.
std::string Document(const VtIniFile& ini) {
  std::string text;
  for (int i = 0; const VtIniSection* section = ini.SectionAt(i); ++i) {
    text += "[" + std::string(section->name()) + "]\n";
    for (int k = 0; const VtIniKeyValue* entry = section->EntryAt(k); ++k)
      text += std::string(entry->key()) + "=" + entry->value() + "\n";
  }
  return text;
}

class IniInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartLibrary(); }

  // Loads bytes, saves, loads again and saves again: both documents and both saved texts must
  // agree. Returns the first document.
  std::string RoundTrip(const std::string& bytes) {
    EXPECT_TRUE(vttest::WriteFileBytes(file_, bytes));
    VtIniFile ini;
    EXPECT_TRUE(ini.Load(file_.c_str()));
    const std::string first = Document(ini);
    ini.Save();
    std::string saved;
    EXPECT_TRUE(vttest::ReadFileBytes(file_, &saved));
    EXPECT_TRUE(ini.Load(file_.c_str()));
    EXPECT_EQ(first, Document(ini));
    ini.Save();
    std::string again;
    EXPECT_TRUE(vttest::ReadFileBytes(file_, &again));
    EXPECT_EQ(saved, again);
    return first;
  }

  vttest::ScratchDir dir_;
  std::string file_ = dir_.File("r.ini");
};

// Bytes drawn mostly from what the parser reacts to: brackets, "=", blanks, tabs, CR, LF, lead
// bytes (some at the end of a line), 0x5C and 0x5D as trail bytes, letters.
TEST_F(IniInput, RandomBytesLoadAndRewriteStably) {
  static const char kAlphabet[] =
      "[]=  \t\r\n\r\nab;\x81\x40\x81\x5C\x95\x5C\x83\x5D\x82\xA0\xE0\x7F";
  std::mt19937 random(20240907);
  std::uniform_int_distribution<int> length(0, 3000);
  std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kAlphabet) - 2);
  std::uniform_int_distribution<int> anyByte(1, 255);
  int withSections = 0;
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::string bytes = "[s" + std::to_string(round % 7) + "]\n";
    const int n = length(random);
    for (int i = 0; i < n; ++i)
      bytes += static_cast<char>(round % 3 == 0 ? anyByte(random) : kAlphabet[pick(random)]);
    if (!RoundTrip(bytes).empty()) ++withSections;
  }
  EXPECT_GT(withSections, 30);  // the rounds reached the parser's section and key paths
}

TEST_F(IniInput, ZeroBytesEndTheTextWhereverTheyStand) {
  const std::string head = "[s]\r\na=1\r\n";
  for (size_t at : {size_t(0), size_t(1), size_t(4), head.size()}) {
    std::string bytes = head;
    bytes.insert(at, 1, '\0');
    bytes += "[t]\r\nb=2\r\n";
    const std::string document = RoundTrip(bytes);
    EXPECT_EQ(std::string::npos, document.find("[t]")) << at;
  }
  EXPECT_EQ("[s]\na=1\n", RoundTrip(head + std::string(100, '\0')));
}

// 0x5C is a backslash as a single byte and the second byte of 表, ソ, 能: it must neither end a
// name nor be taken as anything else, and a whole file of it is just text.
TEST_F(IniInput, TrailBytes0x5CStayInsideTheirCharacters) {
  const std::string document = RoundTrip("[表]\r\nソ=能\\\r\n[\\]\r\n\\=表\r\n");
  EXPECT_EQ("[表]\nソ=能\\\n[\\]\n\\=表\n", document);
  VtIniFile ini;
  ASSERT_TRUE(ini.Load(file_.c_str()));
  char value[8];
  EXPECT_STREQ("能\\", ini.GetString("表", "ソ", sizeof value, value, "-"));
  EXPECT_EQ("", RoundTrip(std::string(5000, '\x5C')));
  EXPECT_EQ("", RoundTrip(std::string(5001, '\x81')));
}

// A lead byte takes the next byte as its second, also a CR or LF: such a line runs on into the
// next. Saved and loaded again, the document must still be the same, and a lead byte with nothing
// after it (the end of the file) is no character at all.
TEST_F(IniInput, LeadBytesBeforeLineEndsReadBackTheSame) {
  EXPECT_EQ("[s]\nk=v\x81\nw=1\n", RoundTrip("[s]\nk=v\x81\nw=1\n"));
  EXPECT_EQ("[s]\nk=v\x81\rw=1\n", RoundTrip("[s]\r\nk=v\x81\rw=1\r\n"));
  EXPECT_EQ("[s]\nk=v\n", RoundTrip("[s]\r\nk=v\x81"));
  EXPECT_EQ("[s]\nk=v\n", RoundTrip(std::string("[s]\r\nk=v\x81\0w=1\r\n", 15)));
}

TEST_F(IniInput, EveryMixOfLineEndsGivesTheSameDocument) {
  const std::vector<std::string> lines = {"[vntassoc]", "AddOption=1", "[other]", "k=表", "x = y "};
  const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", "\n\n", "\r\n\r\n"};
  const std::string expected = "[vntassoc]\nAddOption=1\n[other]\nk=表\nx=y\n";
  std::string reference;
  for (size_t mix = 0; mix < ends.size() * ends.size(); ++mix) {
    std::string bytes;
    for (size_t i = 0; i < lines.size(); ++i)
      bytes += lines[i] + ends[(mix / (i % 2 == 0 ? 1 : ends.size()) + i) % ends.size()];
    EXPECT_EQ(expected, RoundTrip(bytes)) << mix;
    std::string saved;
    ASSERT_TRUE(vttest::ReadFileBytes(file_, &saved));
    if (reference.empty()) reference = saved;
    EXPECT_EQ(reference, saved) << mix;
  }
  // Without any line end after the last line it still counts.
  EXPECT_EQ(expected, RoundTrip("[vntassoc]\rAddOption=1\n[other]\r\nk=表\n\rx = y "));
}

// 200 KB: the first 131072 bytes are the document, and the rest never turns up in it.
TEST_F(IniInput, TwoHundredKilobytesLoadTheirFirst128KiB) {
  std::string bytes;
  for (int i = 0; bytes.size() < 200 * 1024; ++i)
    bytes += "[section" + std::to_string(i) + "]\r\nkey=" + std::string(100, 'v') + "\r\n";
  const std::string document = RoundTrip(bytes);
  EXPECT_NE(std::string::npos, document.find("[section0]"));
  // A section counts when its header line and the "=" of its key line lie within the limit.
  size_t expected = 0;
  for (size_t at = bytes.find('['); at != std::string::npos; at = bytes.find('[', at + 1))
    if (bytes.find("\r\n", at) + 2 + 4 <= 0x20000) ++expected;
  EXPECT_EQ(expected, static_cast<size_t>(std::count(document.begin(), document.end(), '[')));
}

// filetype.ini is walked in UTF-16 by the type names' own reader: for any file of whole code page
// 932 characters it finds what the INI reader finds (headers in any case and spacing, blanks, tabs,
// full-width spaces, "=" in names, repeated and empty keys, names past 511 bytes), and the same
// name in the same text saved as UTF-8 or UTF-16 with a byte order mark.
TEST_F(IniInput, TypeNamesAreWhatTheIniReaderReadsInEveryEncoding) {
  const std::vector<std::string> headers = {"[filetype]", " [ FileType ]\t", "[other]", "[]", "[",
                                            "[filetype"};
  const std::vector<std::string> keys = {".mp3", ".MP3", " .Mp3\t", ".mp", "", "　.MP3"};
  const std::vector<std::string> blanks = {"", " ", "\t", "　", " \t　"};
  const std::vector<std::string> words = {"表", "ソ", "=", "\\", ";", "[x]", "name", " ", "　",
                                          std::string(300, 'a'), std::string(150, 'x') + "表"};
  const std::vector<std::string> ends = {"\r\n", "\n", "\r", "\r\n\r\n"};
  std::mt19937 random(20261209);
  auto any = [&random](const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<size_t>(0, from.size() - 1)(random)];
  };
  std::uniform_int_distribution<int> count(0, 8);
  int named = 0;
  for (int round = 0; round < 400; ++round) {
    std::string bytes = round % 2 == 0 ? "[filetype]" + any(ends) : "";
    for (int line = count(random); line > 0; --line) {
      if (count(random) < 2) {
        bytes += any(headers);
      } else {
        bytes += any(blanks) + any(keys) + any(blanks) + (count(random) > 0 ? "=" : "");
        for (int word = count(random) % 4; word > 0; --word) bytes += any(blanks) + any(words);
      }
      bytes += any(ends);
    }
    SCOPED_TRACE(bytes);
    ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("filetype.ini"), bytes));
    VtIniFile ini;
    ASSERT_TRUE(ini.Load(dir_.File("filetype.ini").c_str()));
    char value[512];
    ini.GetString("filetype", ".MP3", sizeof value, value, "");
    const std::wstring expected = value[0] != 0 ? OwnText(value) : L"MP3 File";
    named += value[0] != 0 ? 1 : 0;
    const std::wstring text = OwnText(bytes.c_str());
    for (const std::string& saved : {bytes, "\xEF\xBB\xBF" + vttest::EncodedText(text, CP_UTF8),
                                     "\xFF\xFE" + vttest::EncodedText(text, 1200)}) {
      ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("filetype.ini"), saved));
      EXPECT_EQ(VtTypeNames(dir_.File("").c_str()).For(".MP3"), expected);
    }
  }
  EXPECT_GT(named, 80);   // the rounds reached names, not only the fallback
}

}  // namespace
