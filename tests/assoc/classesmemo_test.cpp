// The memo of the tool's ProgID keys in the classes, against Wine's real machine classes: trusted
// while the classes key's last-write time stands, walked anew when a key beneath it comes or goes,
// and kept in the options file only as it reads back whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classesmemo.h"
#include "inifile.h"
#include "library.h"
#include "scratch.h"

namespace {

using Exts = std::vector<std::string>;

class ClassesMemo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartLibrary(); }

  static std::string Written() { return vttest::MachineClassesWritten(); }
  // A memo read from an options file whose machine key holds value.
  static Exts Found(const std::string& value) {
    VtIniFile ini;
    std::string text = "[classes]\r\nmachine=" + value + "\r\n";
    ini.Parse(&text[0]);
    VtClassesMemo memo;
    memo.Read(ini);
    return memo.ToolProgIdExtensions(VtScope::kMachine);
  }
  static bool Holds(const Exts& exts, const std::string& ext) {
    for (const std::string& held : exts)
      if (held == ext) return true;
    return false;
  }
  const std::string ext_ = "." + vttest::UniqueName("vtm");
};

// Windows and Wine change a key's last-write time when a key directly beneath it is made or
// deleted: the memo's whole premise. A memo of the present time is trusted as it stands; one of
// another time is walked anew.
TEST_F(ClassesMemo, IsTrustedUntilAKeyBeneathTheClassesComesOrGoes) {
  EXPECT_EQ(Found(Written() + "\\.FAKE"), Exts{".FAKE"});
  auto key = std::make_unique<vttest::ScratchKey>(HKEY_CLASSES_ROOT, "vantrel" + ext_);
  const std::string before = Written() + "\\.FAKE";
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, "vantrel" + ext_, "", "x"));
  Exts walked = Found(before);
  EXPECT_TRUE(Holds(walked, ext_));
  EXPECT_FALSE(Holds(walked, ".FAKE"));
  const std::string made = Written() + "\\" + ext_;
  key.reset();
  EXPECT_FALSE(Holds(Found(made), ext_));
}

// The file is anyone's to edit: whatever does not read back as the memo Write makes is walked.
TEST_F(ClassesMemo, AnythingButAWholeMemoIsWalked) {
  const std::string now = Written();
  for (const std::string& value :
       {std::string("garbage"), now.substr(1) + "\\.FAKE", now + "x\\.FAKE", now + "\\.FAKE\\nodot",
        now + "\\.FAKE\\.a\\b", std::string(16, 'G') + "\\.FAKE", "0x" + now.substr(2) + "\\.FAKE",
        std::string()}) {
    EXPECT_FALSE(Holds(Found(value), ".FAKE")) << value;
  }
  EXPECT_EQ(Found(now), Exts{});
}

// What a settled walk found is written, names in double-byte characters whose second byte is a
// backslash included, and a fresh memo reads it back; a name the file cannot carry leaves no memo.
TEST_F(ClassesMemo, WrittenAfterASettledWalkAndReadBackWhole) {
  const std::string table = ext_ + "\x95\x5C";  // 表
  vttest::ScratchKey key(HKEY_CLASSES_ROOT, "vantrel" + table);
  vttest::ScratchKey broken(HKEY_CLASSES_ROOT, "vantrel" + ext_ + "\tb");
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, "vantrel" + table, "", "x"));
  Sleep(1100);
  VtClassesMemo memo;
  EXPECT_TRUE(Holds(memo.ToolProgIdExtensions(VtScope::kMachine), table));
  VtIniFile ini;
  memo.Write(ini);
  VtClassesMemo back;
  back.Read(ini);
  EXPECT_TRUE(Holds(back.ToolProgIdExtensions(VtScope::kMachine), table));
  char value[64];
  ini.GetString("classes", "machine", sizeof value, value, "(none)");
  EXPECT_EQ(std::string(value, 16), Written());

  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, "vantrel" + ext_ + "\tb", "", "x"));
  Sleep(1100);
  VtClassesMemo tabbed;
  tabbed.ToolProgIdExtensions(VtScope::kMachine);
  tabbed.Write(ini);
  EXPECT_STREQ(ini.GetString("classes", "machine", sizeof value, value, "(none)"), "");
}

}  // namespace
