// Registry contents that no sane program writes, met by Load, Register, Unregister and the removal
// of what changes cut short leave, in the machine's scope and in the user's: values of other types, of 0 bytes, of 4 MiB and one byte
// more, without a terminating zero, ProgID trees many levels deep, user choices that name nothing
// readable, and keys the tool may read but not change. Each has one defined outcome; none may crash
// or touch anything outside the extension's key, the tool's ProgID and its Default Apps entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "associnfo.h"
#include "defaultapps.h"
#include "leftovers.h"
#include "library.h"
#include "readonlytree.h"
#include "regdump.h"
#include "scopes.h"
#include "scratch.h"

namespace {

using vttest::DumpTree;
using vttest::kView64;

const char kExe[] = "C:\\Program Files\\Vantrel\\vantrel.exe";
const size_t kLimit = 4194304;  // the longest value the tool reads

struct Typed {
  const char* what;
  DWORD type;
  std::string bytes;
};

class RegistryInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartLibrary(); }
  void SetUp() override {
    const std::string tail =
        std::to_string(GetCurrentProcessId()) + "g" + std::to_string(++serial_);
    ext_ = ".vtr" + tail;
    entry_ = ".VTR" + tail;
    for (char& c : entry_) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    own_ = "vantrel" + entry_;
    other_ = "VtRelApp." + tail;
    pick_ = "VtRelPick." + tail;
    TearDown();
  }
  void TearDown() override {
    more_.insert(more_.end(), {ext_, own_, other_, pick_});
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      for (const std::string& key : more_) vttest::HiveClasses(hive).Delete(key);
    // Default Apps values of these names too, and the registration once it lists nothing.
    for (const std::string& name : more_) vttest::RemoveDefaultApp(name);
    more_.clear();
  }
  // A text of exactly size bytes with its terminator: "VtRel..." padded with x.
  static std::string LongText(size_t size) {
    std::string text(size - 1, 'x');
    text.replace(0, 5, "VtRel");
    return text + '\0';
  }

  VtScope scope_ = VtScope::kMachine;
  vttest::HiveClasses at_{HKEY_LOCAL_MACHINE};  // the scope's classes
  std::string ext_, entry_, own_, other_, pick_;
  std::vector<std::string> more_;  // a test's further keys in both hives, removed as these are
  static int serial_;
};
int RegistryInput::serial_ = 0;

// The same inputs seeded in the classes of either scope, met by entries of that scope.
class RegistryInputIn : public RegistryInput, public ::testing::WithParamInterface<VtScope> {
 protected:
  void SetUp() override {
    scope_ = GetParam();
    at_ = vttest::HiveClasses(ScopeHive(scope_));
    RegistryInput::SetUp();
  }
  // The tool's Default Apps registration in the scope's hive, whole.
  std::string Registration() const {
    std::string value = "(none)";
    vttest::GetString(at_.hive(), kRegisteredApplicationsKey, kRegisteredAppName, &value, kView64);
    return DumpTree(at_.hive(), kAppKey, kView64) + value;
  }
  // Whether RegisteredApplications names the tool in the scope's hive.
  bool Registered() const {
    return vttest::ValueExists(at_.hive(), kRegisteredApplicationsKey, kRegisteredAppName, kView64);
  }
};

INSTANTIATE_TEST_SUITE_P(Scope, RegistryInputIn,
                         ::testing::Values(VtScope::kMachine, VtScope::kUser), vttest::ScopeName);

// A default value that cannot be read as a text names nothing: the round trip leaves an empty
// string there in the machine's classes and none in the user's (where it would hide the machine's
// association), and every other value of the key stays as it was.
TEST_P(RegistryInputIn, DefaultThatIsNoReadableTextCountsAsNamingNothing) {
  const std::vector<Typed> cases = {
      {"REG_DWORD", REG_DWORD, std::string("\x2a\0\0\0", 4)},
      {"REG_BINARY", REG_BINARY, std::string("\x01\x02\xff", 3)},
      {"REG_MULTI_SZ", REG_MULTI_SZ, std::string("VtRelApp.x\0\0", 12)},
      {"REG_NONE", REG_NONE, std::string()},
      {"REG_SZ of 0 bytes", REG_SZ, std::string()},
      {"REG_SZ of 4 MiB + 1", REG_SZ, LongText(kLimit + 1)},
  };
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    ASSERT_TRUE(at_.PutValue(ext_, "", c.type, c.bytes));
    at_.PutText(ext_, "Content Type", "audio/x-vtr");
    VtAssocInfo entry(entry_.c_str(), scope_);
    entry.Load();
    EXPECT_EQ(nullptr, entry.backup);
    EXPECT_EQ(nullptr, entry.typeName);
    EXPECT_EQ(0, entry.associated);

    entry.Register(kExe, L"VTR File", "");
    EXPECT_EQ(1, entry.associated);
    EXPECT_EQ(own_, at_.NamedProgId(ext_));
    entry.Unregister();
    EXPECT_EQ(0, entry.associated);
    const std::string left = scope_ == VtScope::kMachine ? "   = SZ 0000\n" : "";
    EXPECT_EQ(".vtr:\n" + left +
                  "  Content Type = SZ 61007500640069006f002f0078002d007600740072000000\n",
              ".vtr" + DumpTree(at_.hive(), at_.Path(ext_)).substr(at_.Path(ext_).size()));
    EXPECT_FALSE(at_.Exists(own_));
  }
}

// A ProgID name of exactly 4 MiB is still read, kept as "backup" and restored byte for byte; a
// name stored without its terminating zero comes back with one.
TEST_P(RegistryInputIn, LongestReadableAndUnterminatedNamesComeBack) {
  const std::vector<Typed> cases = {
      {"REG_SZ of 4 MiB", REG_SZ, LongText(kLimit)},
      {"REG_SZ without terminator", REG_SZ, "VtRelApp.unterminated"},
      {"REG_EXPAND_SZ with a reference", REG_EXPAND_SZ, std::string("VtRel%Other%.1\0", 15)},
  };
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    ASSERT_TRUE(at_.PutValue(ext_, "", c.type, c.bytes));
    VtAssocInfo entry(entry_.c_str(), scope_);
    entry.Register(kExe, L"VTR File", "/a");
    entry.Unregister();
    const std::string text(c.bytes.c_str());  // up to the first zero, as the tool takes it
    EXPECT_EQ(text, at_.NamedProgId(ext_));
    std::string raw;
    ASSERT_TRUE(vttest::GetString(at_.hive(), at_.Path(ext_), "", &raw));
    EXPECT_EQ(text.size(), raw.size());
    EXPECT_FALSE(at_.Exists(own_));
  }
}

// The tool's own keys holding values it did not write: the fields say what could be read, and
// Unregister still removes the tool's tree.
TEST_P(RegistryInputIn, ToolProgIdWithUnreadableValuesLoadsWhatItCanAndIsRemoved) {
  at_.PutText(ext_, "", own_);
  ASSERT_TRUE(at_.PutValue(own_, "backup", REG_DWORD, std::string("\1\0\0\0", 4)));
  ASSERT_TRUE(at_.PutValue(own_, "", REG_SZ, LongText(kLimit + 1)));
  ASSERT_TRUE(at_.PutValue(own_ + "\\DefaultIcon", "", REG_SZ, "vantrel.exe,1"));  // no terminator
  ASSERT_TRUE(at_.PutValue(own_ + "\\shell", "", REG_BINARY, "play"));
  ASSERT_TRUE(at_.PutValue(own_ + "\\shell\\open\\command", "", REG_EXPAND_SZ,
                       std::string("%P% \"%1\"\0", 10)));
  VtAssocInfo entry(entry_.c_str(), scope_);
  entry.Load();
  EXPECT_EQ(1, entry.associated);
  ASSERT_NE(nullptr, entry.backup);
  EXPECT_STREQ("", entry.backup);
  EXPECT_EQ(nullptr, entry.typeName);
  EXPECT_STREQ("vantrel.exe,1", entry.icon);
  EXPECT_STREQ("%P% \"%1\"", entry.command);  // a binary verb counts as no verb: "open"

  entry.Unregister();
  EXPECT_EQ("", at_.NamedProgId(ext_));
  EXPECT_FALSE(at_.Exists(own_));
}

// "OpenWithProgids" as a value of the extension key instead of a key: whatever its type, it stays
// as it is, and the key that Register puts beside it goes again.
TEST_P(RegistryInputIn, OpenWithProgidsThatIsAValueStaysAsItIs) {
  const std::vector<Typed> cases = {
      {"REG_SZ", REG_SZ, other_ + '\0'},
      {"REG_MULTI_SZ", REG_MULTI_SZ, other_ + std::string(2, '\0')},
      {"REG_NONE", REG_NONE, std::string()},
  };
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    at_.PutText(ext_, "", other_);
    ASSERT_TRUE(at_.PutValue(ext_, "OpenWithProgids", c.type, c.bytes));
    const std::string before = DumpTree(at_.hive(), at_.Path(ext_));
    VtAssocInfo entry(entry_.c_str(), scope_);
    entry.Register(kExe, L"VTR File", "");
    EXPECT_TRUE(
        vttest::ValueExists(at_.hive(), at_.Path(ext_ + "\\OpenWithProgids"), own_.c_str()));
    entry.Unregister();
    EXPECT_EQ(before, DumpTree(at_.hive(), at_.Path(ext_)));
  }
}

// Deep trees: the tool's ProgID with subkeys four wide and three deep plus a chain of 40 levels
// (names with the trail byte 0x5C among them) goes entirely; another program's tree of the same
// shape is not touched.
TEST_P(RegistryInputIn, DeepProgIdTreesGoWholeOrStayWhole) {
  std::vector<std::string> leaves;
  for (const char* a : {"a", "表", "shell", "ソ"})
    for (const char* b : {"b", "能", "x\\y"})
      leaves.push_back(std::string(a) + "\\" + b + "\\leaf");
  std::string chain = "chain";
  for (int level = 0; level < 40; ++level) chain += "\\" + std::to_string(level);
  leaves.push_back(chain);
  for (const std::string& leaf : leaves) {
    ASSERT_TRUE(at_.PutText(own_ + "\\" + leaf, "v", leaf));
    ASSERT_TRUE(at_.PutText(other_ + "\\" + leaf, "v", leaf));
  }
  at_.PutText(own_, "backup", other_);
  at_.PutText(other_, "", "Other Type");
  at_.PutText(ext_, "", own_);
  const std::string otherBefore = DumpTree(at_.hive(), at_.Path(other_));

  VtAssocInfo entry(entry_.c_str(), scope_);
  entry.Register(kExe, L"VTR File", "");
  entry.Unregister();
  EXPECT_EQ(other_, at_.NamedProgId(ext_));
  EXPECT_FALSE(at_.Exists(own_));
  EXPECT_EQ(otherBefore, DumpTree(at_.hive(), at_.Path(other_)));
}

// A choice key whose ProgId is missing, empty or no text is no choice: the next key counts, and
// with none left nothing is shown. Reading changes nothing.
TEST_P(RegistryInputIn, UserChoiceWithoutReadableProgIdIsNoChoice) {
  const std::vector<Typed> cases = {
      {"no value", REG_NONE, ""},
      {"empty REG_SZ", REG_SZ, std::string(1, '\0')},
      {"REG_DWORD", REG_DWORD, std::string("\x2a\0\0\0", 4)},
      {"REG_BINARY", REG_BINARY, "VtRelApp"},
  };
  at_.PutText(ext_, "", other_);
  at_.PutText(pick_, "", "Pick Type");
  vttest::ScratchChoice choice(ext_);
  VtAssocInfo entry(entry_.c_str(), scope_);
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.what);
    const char* name = c.type == REG_NONE ? nullptr : "ProgId";
    ASSERT_TRUE(choice.Set("UserChoiceLatest", name, c.type, c.bytes));
    ASSERT_TRUE(choice.Set("UserChoice", name, c.type, c.bytes));
    const std::string before = DumpTree(HKEY_CURRENT_USER, choice.path());
    entry.Load();
    EXPECT_EQ(nullptr, entry.userChoice);
    EXPECT_EQ(before, DumpTree(HKEY_CURRENT_USER, choice.path()));
    ASSERT_TRUE(choice.Set("UserChoice", pick_));
    entry.Load();
    EXPECT_STREQ("Pick Type", entry.userChoice);
  }
}

// A ProgID of 255 characters is read beneath its key like any other; a longer one names no key and
// is shown as it is; a name that does not resolve is never shown.
TEST_F(RegistryInput, UserChoiceNamesOfAnyLengthOrUnresolvable) {
  std::string longest = pick_, longer = pick_;
  longest.resize(255, 'x');
  longer.resize(300, 'y');
  vttest::ScratchKey longKey(HKEY_CLASSES_ROOT, longest);
  HKEY longHandle;  // beneath its handle: the whole path is too long for Wine's ANSI functions
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, longest.c_str(), 0, nullptr, 0,
                                           KEY_ALL_ACCESS, nullptr, &longHandle, nullptr));
  const bool named = vttest::SetString(longHandle, "Application", "ApplicationName", "Long Player");
  RegCloseKey(longHandle);
  ASSERT_TRUE(named);
  vttest::ScratchChoice choice(ext_);
  VtAssocInfo entry(entry_.c_str());
  ASSERT_TRUE(choice.Set("UserChoice", longest));
  entry.Load();
  EXPECT_STREQ("Long Player", entry.userChoice);
  ASSERT_TRUE(choice.Set("UserChoice", longer));
  entry.Load();
  EXPECT_STREQ(longer.c_str(), entry.userChoice);

  ASSERT_TRUE(choice.Set("UserChoice", pick_));
  for (const std::string& bad :
       {std::string("@"), std::string("@%SystemRoot%\\system32\\shell32.dll"),
        "@" + std::string(5000, 'x') + ",-1"}) {
    SCOPED_TRACE(bad.substr(0, 40));
    vttest::PutText(pick_ + "\\Application", "ApplicationName", bad);
    vttest::PutText(pick_, "", "Pick Type");
    entry.Load();
    EXPECT_STREQ("Pick Type", entry.userChoice);
    vttest::PutText(pick_, "", bad);
    entry.Load();
    EXPECT_STREQ(pick_.c_str(), entry.userChoice);
  }
}

// A FileAssociations key the tool may not change is no empty one: Unregister restores the
// extension, leaves the whole Default Apps registration and the ProgID it names, and says why; the
// next unregister with the right to change it takes them away.
TEST_P(RegistryInputIn, FileAssociationsItMayNotChangeKeepsTheDefaultAppsRegistration) {
  at_.PutText(ext_, "", other_);
  VtAssocInfo entry(entry_.c_str(), scope_);
  ASSERT_EQ(ERROR_SUCCESS, entry.Register(kExe, L"VTR File", ""));
  const std::string registration = Registration();
  {
    vttest::ReadOnlyTree locked(at_.hive(), kFileAssociationsKey);
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), entry.Unregister());
    EXPECT_EQ(other_, at_.NamedProgId(ext_));
    EXPECT_EQ(registration, Registration());
    EXPECT_TRUE(at_.Exists(own_));
  }
  EXPECT_EQ(ERROR_SUCCESS, entry.Unregister());
  EXPECT_FALSE(vttest::KeyExists(at_.hive(), kAppKey, kView64));
  EXPECT_FALSE(Registered());
}

// An extension key the tool may not change that names the tool's ProgID: the association stays in
// effect, so the ProgID stays with the "backup" that restores the extension later, and so does
// its Default Apps entry; Unregister says why.
TEST_P(RegistryInputIn, ExtensionItMayNotChangeKeepsTheToolsProgIdWithItsBackup) {
  at_.PutText(ext_, "", other_);
  ASSERT_EQ(ERROR_SUCCESS, VtAssocInfo(entry_.c_str(), scope_).Register(kExe, L"VTR File", ""));
  auto state = [this] {
    return vttest::DumpTrees(at_.hive(), at_.Paths({ext_, own_})) + Registration();
  };
  const std::string before = state();
  {
    vttest::ReadOnlyTree locked(at_.hive(), at_.Path(ext_));
    ASSERT_TRUE(locked.ok());
    VtAssocInfo entry(entry_.c_str(), scope_);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), entry.Unregister());
    EXPECT_EQ(1, entry.associated);
    EXPECT_EQ(before, state());
  }
  EXPECT_EQ(ERROR_SUCCESS, VtAssocInfo(entry_.c_str(), scope_).Unregister());
  EXPECT_EQ(other_, at_.NamedProgId(ext_));
  EXPECT_FALSE(at_.Exists(own_));
}

// What changes cut short may leave that no extension names goes, whatever it holds: the tool's
// ProgID, its "Open with" entry beside another program's, Default Apps values naming it under any
// name, the registration once nothing is listed; in the other hive only where this process may
// write. What cannot go is told. A ProgID of the tool's form that some extension key names, in
// either hive, in another letter case or with a path after it, is an association's: it stays, with
// its "Open with" entry and Default Apps value, until nothing names it. A Default Apps value naming
// another program's ProgID, or no text, is not the tool's: it stays, and so does the registration.
TEST_P(RegistryInputIn, LeftoversGoUnlessAnExtensionNamesTheirProgId) {
  const vttest::HiveClasses away(ScopeHive(vttest::OtherScope(scope_)));
  const std::string named = ext_ + "a", namedOwn = own_ + "A";
  const std::string foreign = ext_ + "f", foreignOwn = own_ + "F";
  const std::string awayExt = ext_ + "c", awayOwn = own_ + "C";
  const std::string strayOwn = own_ + "S";
  const std::string junk = "vtrjunk" + ext_.substr(1), odd = entry_ + "J", listed = entry_ + "L";
  more_ = {named, namedOwn, foreign, foreignOwn, awayExt, awayOwn, strayOwn, junk, odd, listed};
  auto sweep = [this] {
    VtClasses classes(scope_);
    return RemoveLeftovers(classes);
  };
  auto associations = [this] {
    std::vector<std::string> names = vttest::ValueNames(at_.hive(), kFileAssociationsKey, kView64);
    std::sort(names.begin(), names.end());
    return names;
  };

  ASSERT_EQ(ERROR_SUCCESS, VtAssocInfo((entry_ + "A").c_str(), scope_).Register(kExe, L"VTR", ""));
  // Cut short after "Open with" and Default Apps had the ProgID, with the extension restored.
  at_.PutText(ext_, "", other_);
  at_.PutValue(ext_ + "\\OpenWithProgids", other_.c_str(), REG_NONE, "");
  at_.PutValue(ext_ + "\\OpenWithProgids", own_.c_str(), REG_NONE, "");
  at_.PutText(own_ + "\\shell\\open\\command", "", "x.exe \"%1\"");
  at_.PutText(own_ + "\\Other", "v", "x");
  vttest::SetString(at_.hive(), kFileAssociationsKey, entry_.c_str(), own_, kView64);
  vttest::SetString(at_.hive(), kFileAssociationsKey, junk.c_str(), own_ + "X", kView64);
  vttest::SetString(at_.hive(), kFileAssociationsKey, listed.c_str(), other_, kView64);
  vttest::SetRawValue(at_.hive(), kFileAssociationsKey, odd.c_str(), REG_DWORD, "\1\0\0\0", 4,
                      kView64);
  // ProgIDs of the tool's form that extension keys name, and one nothing names in the other hive.
  at_.PutText(foreign, "", foreignOwn + "\\shell");
  at_.PutText(foreignOwn, "", "Foreign");
  away.PutText(awayExt, "", "vantrel" + awayExt);
  at_.PutText(awayOwn, "", "Away");
  away.PutText(strayOwn, "", "Stray");
  const std::string openWith = at_.Path(ext_ + "\\OpenWithProgids");
  {
    vttest::ReadOnlyTree locked(at_.hive(), at_.Path(ext_));
    ASSERT_TRUE(locked.ok());
    const std::vector<VtLeftover> left = sweep();
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(ext_, left[0].ext);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), left[0].error);
  }
  EXPECT_EQ(2u, vttest::ValueNames(at_.hive(), openWith).size());
  EXPECT_FALSE(at_.Exists(own_));
  for (const std::string& kept : {namedOwn, foreignOwn, awayOwn}) EXPECT_TRUE(at_.Exists(kept));
  EXPECT_TRUE(vttest::ValueExists(at_.hive(), at_.Path(named + "\\OpenWithProgids"),
                                  namedOwn.c_str()));
  EXPECT_EQ((std::vector<std::string>{entry_ + "A", odd, listed}), associations());
  EXPECT_EQ(scope_ == VtScope::kUser, away.Exists(strayOwn));

  // Another program takes the association's extension over: nothing names its ProgID any more.
  at_.PutText(named, "", other_);
  EXPECT_TRUE(sweep().empty());
  EXPECT_EQ(other_, at_.NamedProgId(ext_));
  EXPECT_EQ(std::vector<std::string>{other_}, vttest::ValueNames(at_.hive(), openWith));
  EXPECT_FALSE(at_.Exists(namedOwn));
  EXPECT_FALSE(at_.Exists(named + "\\OpenWithProgids"));
  EXPECT_EQ((std::vector<std::string>{odd, listed}), associations());
  EXPECT_TRUE(Registered());
  EXPECT_TRUE(at_.Exists(foreignOwn) && at_.Exists(awayOwn));

  // Their owner takes the values that are not the tool's: nothing is listed any more.
  for (const std::string& value : {odd, listed})
    vttest::DeleteValue(at_.hive(), kFileAssociationsKey, value.c_str(), kView64);
  EXPECT_TRUE(sweep().empty());
  EXPECT_FALSE(vttest::KeyExists(at_.hive(), kAppKey, kView64));
  EXPECT_FALSE(Registered());

  // A registration cut short before its first extension was listed.
  vttest::SetString(at_.hive(), kRegisteredApplicationsKey, kRegisteredAppName, kCapabilitiesKey,
                    kView64);
  vttest::SetString(at_.hive(), kCapabilitiesKey, "ApplicationName", "x", kView64);
  EXPECT_TRUE(sweep().empty());
  EXPECT_FALSE(vttest::KeyExists(at_.hive(), kAppKey, kView64));
  EXPECT_FALSE(Registered());

  // This user's choices of the tool's ProgIDs: of one that goes with the leftovers, or that no hive
  // holds, they go first; of an association's, or of another program, they stay. One Windows will
  // not let go keeps its ProgID, and is told.
  const std::string leftOwn = own_ + "L", protectedOwn = own_ + "P";
  more_.insert(more_.end(), {leftOwn, protectedOwn});
  at_.PutText(leftOwn, "", "Left");
  at_.PutText(protectedOwn, "", "Protected");
  struct Chosen {
    std::string ext, progId;
    bool stays;
  };
  const Chosen chosen[] = {{ext_ + "l", leftOwn, false},     {ext_ + "g", own_ + "G", false},
                           {foreign, foreignOwn, true},       {ext_ + "o", other_, true},
                           {ext_ + "p", protectedOwn, true}};
  std::vector<std::unique_ptr<vttest::ScratchChoice>> choices;
  for (const Chosen& c : chosen) {
    choices.push_back(std::make_unique<vttest::ScratchChoice>(c.ext));
    ASSERT_TRUE(choices.back()->Set("UserChoice", c.progId));
  }
  ASSERT_TRUE(choices.back()->Protect("UserChoice"));
  const std::vector<VtLeftover> left = sweep();
  ASSERT_EQ(1u, left.size());
  EXPECT_EQ(entry_ + "P", left[0].ext);
  EXPECT_EQ(kErrorUserChoiceKept, left[0].error);
  for (size_t i = 0; i < choices.size(); ++i) {
    // Read as Explorer reads it: a protected choice lets its value be read, no more.
    const std::string key = choices[i]->path() + "\\UserChoice";
    EXPECT_EQ(chosen[i].stays ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND,
              RegGetValueA(HKEY_CURRENT_USER, key.c_str(), "ProgId", RRF_RT_REG_SZ, nullptr,
                           nullptr, nullptr))
        << chosen[i].progId;
  }
  EXPECT_FALSE(at_.Exists(leftOwn));
  EXPECT_TRUE(at_.Exists(protectedOwn));
}

}  // namespace
