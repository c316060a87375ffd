// The two text files a user unpacks beside the program: code page 932 with CRLF line ends (the
// shell hands them to a Japanese editor, the tool reads filetype.ini with its own reader), a readme
// that covers everything the window shows, and type names that the tool's reader finds.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "inifile.h"
#include "scratch.h"
#include "typenames.h"
#include "widetext.h"

namespace {

const std::string kDir = VT_UNPACKED_DIR;

std::string ReadPackaged(const char* name) {
  std::string bytes;
  EXPECT_TRUE(vttest::ReadFileBytes(kDir + name, &bytes)) << kDir << name;
  return bytes;
}

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// Offset of the first byte that breaks code page 932 or the CRLF rule, or -1 for a clean text.
// Double-byte characters are stepped over whole, so a trail byte is never taken for a line end.
// Counts the double-byte characters on the way.
long FirstFault(const std::string& text, std::string* why, int* doubleBytes) {
  const size_t n = text.size();
  *doubleBytes = 0;
  for (size_t i = 0; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (IsDBCSLeadByteEx(932, b)) {
      if (i + 1 >= n || !IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
        *why = "lead byte without a trail byte";
        return static_cast<long>(i);
      }
      ++i;
      ++*doubleBytes;
    } else if (b == '\r') {
      if (i + 1 >= n || text[i + 1] != '\n') {
        *why = "carriage return without line feed";
        return static_cast<long>(i);
      }
      ++i;
    } else if (b == '\n') {
      *why = "line feed without carriage return";
      return static_cast<long>(i);
    } else if (b == 0 || b == 0x80 || b == 0xA0 || b >= 0xFD) {
      *why = "byte that is no character";
      return static_cast<long>(i);
    }
  }
  return -1;
}

class PackagedText : public testing::TestWithParam<const char*> {};

TEST_P(PackagedText, IsJapaneseCodePage932WithCrlfLineEndsOnly) {
  const std::string text = ReadPackaged(GetParam());
  ASSERT_GT(text.size(), 200u);
  std::string why;
  int doubleBytes = 0;
  const long fault = FirstFault(text, &why, &doubleBytes);
  EXPECT_EQ(fault, -1) << why << " at offset " << fault;
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "the last line has no line end";
  // The system's own conversion as a second opinion: it also refuses pairs that map to nothing.
  EXPECT_GT(MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                nullptr, 0),
            0);
  EXPECT_GT(doubleBytes, 50) << "no Japanese text";
  EXPECT_EQ(text.find("\xEF\xBB\xBF"), std::string::npos) << "UTF-8 byte order mark";
}

INSTANTIATE_TEST_SUITE_P(Package, PackagedText, testing::Values("readme.txt", "filetype.ini"),
                         [](const testing::TestParamInfo<const char*>& param) {
                           return std::string(param.param[0] == 'r' ? "readme" : "filetype");
                         });

TEST(PackagedReadme, NamesEveryButtonOptionRegistryPlaceAndFile) {
  const std::string text = ReadPackaged("readme.txt");
  // The window's captions exactly as it shows them, the command-line options they choose, what is
  // written where, the files, and the notes for newer Windows.
  const char* const needles[] = {
      "Version 0.02.2012.0910", "情報取得", "閉じる", "適用", "解除", "すべて解除", "Readme",
      "filetype.ini", "ファイルの種類", "リストへの追加", "本体の設定に合わせる", "追加する",
      "追加しない", "プレイリスト(*.vnt;*.m3u)", "追加で開く", "新規に開く", "/a ", "/na ",
      "/clear ", "HKEY_CLASSES_ROOT\\.MP3", "HKEY_CLASSES_ROOT\\vantrel.MP3", "backup",
      "vantrel.MP3\\DefaultIcon", "vantrel.MP3\\shell\\open\\command", "\"%1\"", "vntassoc.ini",
      "AddOption", "ListOption", "[filetype]", "Vantrel Player を起動後、「情報取得」をクリックして下さい",
      "プログラムから開く", "既定のアプリ", "ユーザーアカウント制御", "管理者"};
  for (const char* needle : needles) {
    EXPECT_NE(text.find(needle), std::string::npos) << "readme.txt lacks a mention (CP932 bytes): " << needle;
  }
}

// The readme the English window opens: plain ASCII with CRLF line ends, naming the English
// captions exactly as the window shows them.
TEST(PackagedReadme, EnglishOneIsPlainAsciiAndNamesTheEnglishCaptions) {
  const std::string text = ReadPackaged("readme-en.txt");
  ASSERT_GT(text.size(), 200u);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    const bool lineEnd = b == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
    ASSERT_TRUE((b >= 0x20 && b <= 0x7E) || lineEnd || (b == '\n' && i > 0 && text[i - 1] == '\r'))
        << "offset " << i;
  }
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << "the last line has no line end";
  const char* const needles[] = {
      "Version 0.02.2012.0910", "Get info", "Close", "Register", "Unregister all", "Readme", "filetype.ini",
      "Default apps", "File type", "Windows default", "For: all users", "For: this user",
      "Start Vantrel Player, then click Get info", "These extensions could not be changed:",
      "/a ", "/na ", "/clear ", "HKEY_CLASSES_ROOT\\vantrel.MP3", "vntassoc.ini", "[filetype]"};
  for (const char* needle : needles)
    EXPECT_NE(text.find(needle), std::string::npos) << "readme-en.txt lacks " << needle;
}

class TypeNames : public testing::Test {
 protected:
  // The reader compares names through the library's character tables, as in the running tool.
  void SetUp() override {
    StartLibrary();
    ASSERT_TRUE(file_.Load((kDir + "filetype.ini").c_str()));
  }
  void TearDown() override { StopLibrary(); }
  // The lookup the register command makes: the extension as the list holds it, in capitals.
  std::wstring NameFor(const char* ext) { return names_.For(ext); }
  VtIniFile file_;
  VtTypeNames names_{kDir.c_str()};
};

TEST_F(TypeNames, ExplanationAboveTheHeaderLeavesOnlyExtensionKeys) {
  // The explanation lines must be ignored by the reader: one section, every key an extension.
  ASSERT_EQ(file_.count(), 1);
  const VtIniSection* section = file_.SectionAt(0);
  EXPECT_STREQ(section->name(), "filetype");
  ASSERT_GE(section->count(), 10);
  for (int i = 0; i < section->count(); ++i) {
    const VtIniKeyValue* entry = section->EntryAt(i);
    const std::string key = entry->key();
    EXPECT_EQ(key[0], '.') << key;
    EXPECT_EQ(key.find_first_of(" \t;[]"), std::string::npos) << key;
    EXPECT_GT(std::strlen(entry->value()), 0u) << key;
    EXPECT_LT(std::strlen(entry->value()), 512u) << key;
  }
}

TEST_F(TypeNames, CommonExtensionsGetTheirJapaneseNamesWhateverTheCase) {
  EXPECT_EQ(NameFor(".MP3"), L"MP3 オーディオ");
  EXPECT_EQ(NameFor(".WAV"), L"WAVE サウンド");
  EXPECT_EQ(NameFor(".MID"), L"MIDI シーケンス");
  EXPECT_EQ(NameFor(".VNT"), L"Vantrel Player プレイリスト");
  EXPECT_EQ(NameFor(".m3u"), L"M3U プレイリスト");
  // Every extension that gets the player's second icon has a name too.
  for (const char* ext : {".MID", ".RMI", ".RCP", ".R36", ".G36", ".MDS"}) {
    EXPECT_EQ(NameFor(ext).find(L" File"), std::wstring::npos) << ext;
  }
  EXPECT_EQ(NameFor(".EXE"), L"EXE File");
}

TEST_F(TypeNames, ReadmeExamplesReadTheWayTheToolReadsThem) {
  // The readme's example lines parse, with the same reader, to what the shipped files hold.
  std::string readme = ReadPackaged("readme.txt");
  VtIniFile examples;
  ASSERT_TRUE(examples.Parse(&readme[0]));
  const VtIniSection* section = examples.FindSection("filetype", false);
  ASSERT_NE(section, nullptr);
  ASSERT_GE(section->count(), 2);
  for (int i = 0; i < section->count(); ++i) {
    const VtIniKeyValue* entry = section->EntryAt(i);
    EXPECT_EQ(NameFor(entry->key()), OwnText(entry->value())) << entry->key();
  }
  // The options file example shows the values a first start writes.
  EXPECT_EQ(examples.GetInt("vntassoc", "AddOption", 99), -1);
  EXPECT_EQ(examples.GetInt("vntassoc", "ListOption", 99), 0);
}

}  // namespace
