// VtRegistry against Wine's real registry, on scratch keys under HKEY_CLASSES_ROOT and
// HKEY_CURRENT_USER that the fixture removes again.
#include "registry.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "library.h"
#include "scratch.h"

using vttest::GetString;
using vttest::KeyExists;
using vttest::SetString;

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { StartLibrary(); }  // DeleteTree walks names by characters
  void TearDown() override { StopLibrary(); }

  bool Set(const char* name, DWORD type, const std::string& bytes) {
    return vttest::SetRawValue(HKEY_CLASSES_ROOT, cr_, name, type, bytes.data(),
                               static_cast<DWORD>(bytes.size()));
  }
  // The inline buffer lies inside the object; a heap block does not.
  static bool Inside(const VtRegistry& reg, const char* text) {
    const char* begin = reinterpret_cast<const char*>(&reg);
    return text >= begin && text < begin + sizeof reg;
  }

  vttest::ScratchKey classes_{HKEY_CLASSES_ROOT, vttest::UniqueName()};
  vttest::ScratchKey user_{HKEY_CURRENT_USER, "Software\\" + vttest::UniqueName()};
  const std::string& cr_ = classes_.path();
  const std::string& cu_ = user_.path();
};

// A REG_SZ value of exactly size stored bytes, terminator included.
std::string Sized(size_t size, char fill) { return std::string(size - 1, fill) + '\0'; }
std::string Terminated(const char* text) { return std::string(text) + '\0'; }

TEST_F(RegistryTest, ReadsUpTo509BytesInlineAndLongerValuesIntoAResizedHeapBlock) {
  ASSERT_TRUE(Set("s509", REG_SZ, Sized(509, 'a')) && Set("s510", REG_SZ, Sized(510, 'b')) &&
              Set("s3000", REG_SZ, Sized(3000, 'c')));
  VtRegistry reg;
  ASSERT_TRUE(reg.Open(HKEY_CLASSES_ROOT, cr_.c_str(), KEY_READ | KEY_WRITE));
  const char* text = reg.ReadString("s509");
  EXPECT_TRUE(Inside(reg, text));
  EXPECT_EQ(std::string(508, 'a'), text);
  text = reg.ReadString("s510");
  EXPECT_FALSE(Inside(reg, text));
  EXPECT_EQ(512u, _msize(const_cast<char*>(text)));
  EXPECT_EQ(std::string(509, 'b'), text);
  text = reg.ReadString("s3000");
  EXPECT_EQ(3002u, _msize(const_cast<char*>(text)));
  EXPECT_EQ(std::string(2999, 'c'), text);
  EXPECT_TRUE(Inside(reg, reg.ReadString("s509")));
}

TEST_F(RegistryTest, ReadsValuesUpTo4MiB) {
  ASSERT_TRUE(Set("max", REG_SZ, Sized(4194304, 'm')) && Set("over", REG_SZ, Sized(4194305, 'o')));
  VtRegistry reg;
  ASSERT_TRUE(reg.Open(HKEY_CLASSES_ROOT, cr_.c_str(), KEY_READ | KEY_WRITE));
  EXPECT_EQ(4194303u, strlen(reg.ReadString("max")));
  EXPECT_STREQ("", reg.ReadString("over"));
}

TEST_F(RegistryTest, ReadsStringValuesAsStoredAndAnythingElseAsEmpty) {
  ASSERT_TRUE(Set("dword", REG_DWORD, std::string("\1\0\0\0", 4)) &&
              Set("multi", REG_MULTI_SZ, std::string("a\0b\0\0", 5)) && Set("zero", REG_SZ, "") &&
              Set("", REG_SZ, Terminated("default")) &&
              Set("expand", REG_EXPAND_SZ, Terminated("%SystemRoot%\\表示")) &&
              Set("full", REG_SZ, Terminated("abcdefgh")) && Set("short", REG_SZ, "xyz"));
  VtRegistry reg;
  EXPECT_STREQ("", reg.ReadString(""));  // closed
  ASSERT_TRUE(reg.Open(HKEY_CLASSES_ROOT, cr_.c_str(), KEY_READ | KEY_WRITE));
  for (const char* name : {"dword", "multi", "zero", "missing"}) EXPECT_STREQ("", reg.ReadString(name));
  EXPECT_STREQ("", reg.ReadString(nullptr));  // not the default value
  EXPECT_STREQ("default", reg.ReadString(""));
  EXPECT_STREQ("%SystemRoot%\\表示", reg.ReadString("expand"));
  // An unterminated value must not run into the rest of an earlier read. (Wine's ANSI query
  // terminates such values itself; Windows leaves that to the buffer's zero bytes.)
  EXPECT_STREQ("abcdefgh", reg.ReadString("full"));
  EXPECT_STREQ("xyz", reg.ReadString("short"));
}

TEST_F(RegistryTest, OpenSkipsOneLeadingBackslashAndCreatesMissingKeysTellingWhichItMade) {
  VtRegistry reg;
  bool created = false;
  ASSERT_TRUE(
      reg.Create(HKEY_CURRENT_USER, ("\\" + cu_ + "\\a\\b").c_str(), KEY_WRITE, &created));
  EXPECT_TRUE(created);
  reg.WriteString("v", "表示");
  std::string got;
  ASSERT_TRUE(GetString(HKEY_CURRENT_USER, cu_ + "\\a\\b", "v", &got));
  EXPECT_EQ("表示", got);
  // An existing key is only opened: a caller removing what it made must leave this one.
  ASSERT_TRUE(reg.Create(HKEY_CURRENT_USER, (cu_ + "\\a\\b").c_str(), KEY_WRITE, &created));
  EXPECT_FALSE(created);
  created = true;
  EXPECT_FALSE(reg.Create(nullptr, "a", KEY_WRITE, &created));
  EXPECT_FALSE(created);
  // HKEY_CLASSES_ROOT itself accepts one leading backslash, so the second one shows only elsewhere.
  EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, ("\\\\" + cu_).c_str(), KEY_READ | KEY_WRITE));
}

TEST_F(RegistryTest, OpenWithNullOrEmptySubkeyOpensTheParentItself) {
  VtRegistry parent;
  ASSERT_TRUE(parent.Create(HKEY_CURRENT_USER, cu_.c_str(), KEY_READ | KEY_WRITE));
  for (const char* sub : {static_cast<const char*>(nullptr), ""}) {
    VtRegistry reg;
    ASSERT_TRUE(reg.Open(parent.key(), sub, KEY_READ | KEY_WRITE));
    reg.WriteString(sub ? "empty" : "null", nullptr);
  }
  // Closing the child left the parent's handle open; a null value is stored as one zero byte.
  DWORD type = 0, size = 0;
  ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(parent.key(), "null", nullptr, &type, nullptr, &size));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(1u, size);
  EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(parent.key(), "empty", nullptr, &type, nullptr, &size));
}

// The access asked for is the access given: a key that grants reading only opens to read, and a
// refused open or write says why, so that a caller can tell "missing" from "not allowed".
TEST_F(RegistryTest, AccessIsWhatEachOpenAsksAndAFailureSaysWhy) {
  VtRegistry reg;
  EXPECT_FALSE(reg.Open(nullptr, cu_.c_str(), KEY_READ));
  EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, (cu_ + "\\missing").c_str(), KEY_READ));
  EXPECT_EQ(ERROR_FILE_NOT_FOUND, reg.error());
  EXPECT_EQ(nullptr, reg.key());
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, cu_ + "\\missing"));

  ASSERT_TRUE(reg.Create(HKEY_CURRENT_USER, (cu_ + "\\locked").c_str(), KEY_ALL_ACCESS));
  ASSERT_TRUE(reg.WriteString("v", "1"));
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;CI;KR;;;WD)", 1,
                                                                   &readOnly, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(reg.key(), DACL_SECURITY_INFORMATION, readOnly));
  LocalFree(readOnly);
  reg.Close();
  EXPECT_FALSE(reg.Open(HKEY_CURRENT_USER, (cu_ + "\\locked").c_str(), KEY_READ | KEY_WRITE));
  EXPECT_EQ(ERROR_ACCESS_DENIED, reg.error());
  ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, (cu_ + "\\locked").c_str(), KEY_READ));
  EXPECT_STREQ("1", reg.ReadString("v"));
  EXPECT_FALSE(reg.WriteString("v", "2"));
  EXPECT_EQ(ERROR_ACCESS_DENIED, reg.error());
  // The owner may still give the rights back, so that the fixture can delete the key.
  ASSERT_TRUE(reg.Open(HKEY_CURRENT_USER, (cu_ + "\\locked").c_str(), WRITE_DAC));
  PSECURITY_DESCRIPTOR all = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;CI;KA;;;WD)", 1, &all, nullptr));
  EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(reg.key(), DACL_SECURITY_INFORMATION, all));
  LocalFree(all);
}

// "Empty" decides whether a key the tool touched is deleted: a lone value that is not the default
// one, or a subkey, keeps it.
TEST_F(RegistryTest, IsEmptyCountsSubkeysAndEveryValueButTheDefaultWhenAsked) {
  VtRegistry reg;
  EXPECT_FALSE(reg.IsEmpty());  // closed: not known, so not empty
  ASSERT_TRUE(reg.Create(HKEY_CURRENT_USER, cu_.c_str(), KEY_READ | KEY_WRITE));
  EXPECT_TRUE(reg.IsEmpty());
  reg.WriteString("", "x");
  EXPECT_FALSE(reg.IsEmpty());
  EXPECT_TRUE(reg.IsEmpty(true));
  reg.DeleteValue("");
  reg.WriteString("Content Type", "audio/x");
  EXPECT_FALSE(reg.IsEmpty(true));
  reg.DeleteValue("Content Type");
  ASSERT_TRUE(VtRegistry().Create(reg.key(), "sub", KEY_WRITE));
  EXPECT_FALSE(reg.IsEmpty(true));
}

TEST_F(RegistryTest, DeleteTreeRemovesAThreeLevelTreeAndKeepsTheOpenKey) {
  for (const char* a : {"a", "b", "c"})
    for (const char* b : {"1", "2", "3"})
      for (const char* c : {"x", "y", "z"})
        ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, cr_ + "\\tree\\" + a + "\\" + b + "\\" + c, "v", "1"));
  ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, cr_ + "\\treeSibling", "v", "keep"));
  VtRegistry reg;
  EXPECT_FALSE(reg.DeleteTree("tree"));  // closed
  ASSERT_TRUE(reg.Open(HKEY_CLASSES_ROOT, cr_.c_str(), KEY_READ | KEY_WRITE));
  HKEY open = reg.key();
  EXPECT_FALSE(reg.DeleteTree("absent"));
  EXPECT_TRUE(reg.DeleteTree("tree"));
  EXPECT_EQ(open, reg.key());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cr_ + "\\tree"));
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cr_ + "\\treeSibling"));
}

TEST_F(RegistryTest, DeleteTreeCutsOnlyATrailingBackslashThatIsACharacterOfItsOwn) {
  VtRegistry reg;
  ASSERT_TRUE(reg.Create(HKEY_CLASSES_ROOT, cr_.c_str(), KEY_READ | KEY_WRITE));
  ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, cr_ + "\\keep\\child", "v", "1"));
  EXPECT_FALSE(reg.DeleteTree("\\"));  // not cut to "", which would be the open key itself
  EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cr_ + "\\keep\\child"));
  // 表 and ソ end in 0x5C as their trail byte.
  const char* const cases[][2] = {
      {"slash\\", "slash"}, {".表", ".表"}, {".ソ", ".ソ"}, {".表\\", ".表"}, {".ソ\\", ".ソ"}};
  for (const auto& c : cases) {
    const char* name = c[0];
    const std::string key = c[1];
    ASSERT_TRUE(SetString(HKEY_CLASSES_ROOT, cr_ + "\\" + key + "\\shell", "", "x"));
    EXPECT_TRUE(reg.DeleteTree(name)) << name;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, cr_ + "\\" + key)) << name;
  }
}

// 255 characters are the longest key name, 510 bytes when each is double-byte; a longer value name
// (value names may be longer) comes as the empty text, and the walk goes on past it.
TEST_F(RegistryTest, EnumeratesNamesOfUpTo510BytesAndPassesOverLongerOnes) {
  std::string longest;
  for (int i = 0; i < 255; ++i) longest += "表";
  ASSERT_TRUE(Set(longest.c_str(), REG_SZ, "") && Set((longest + "表").c_str(), REG_SZ, "") &&
              Set("after", REG_DWORD, std::string(4, '\0')));
  VtRegistry reg;
  VtRegistry::NameBuffer name;
  EXPECT_FALSE(reg.SubkeyName(0, name));  // closed
  ASSERT_TRUE(reg.Open(HKEY_CLASSES_ROOT, cr_.c_str(), KEY_READ | KEY_WRITE));
  // Beneath the open key: Wine's ANSI calls take paths of up to 260 characters only.
  for (const std::string& sub : {longest, std::string(".b")})
    ASSERT_TRUE(VtRegistry().Create(reg.key(), sub.c_str(), KEY_READ | KEY_WRITE));
  auto all = [&](bool (VtRegistry::*next)(DWORD, VtRegistry::NameBuffer&) const) {
    std::vector<std::string> names;
    for (DWORD i = 0; i < 10 && (reg.*next)(i, name); ++i) names.push_back(name);
    std::sort(names.begin(), names.end());
    return names;
  };
  EXPECT_EQ(all(&VtRegistry::SubkeyName), (std::vector<std::string>{".b", longest}));
  EXPECT_EQ(all(&VtRegistry::ValueName), (std::vector<std::string>{"", "after", longest}));
}

}  // namespace
