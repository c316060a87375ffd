// Register then Unregister on every kind of starting state an extension can be in, compared with a
// full dump of the extension's key, of every ProgID involved and of the Default Apps registrations
// (the tool's, and another application's beside it). The registry must come back as it was, except
// where the tool cannot know or keep what was there (each such case names the state it ends in; the
// README lists them with the reasons).
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "associnfo.h"
#include "library.h"
#include "regdump.h"
#include "scratch.h"

namespace {

using vttest::PutText;
using vttest::PutValue;
using vttest::kView64;

const char kExe[] = "C:\\Program Files\\Vantrel\\vantrel.exe";
const char kApplications[] = "Software\\RegisteredApplications";

// The keys one case works on: the extension (seeded in small letters, used by the entry in capitals
// as the list passes it), the tool's ProgID for it and another program's ProgID.
struct Names {
  std::string ext;    // .vtr<pid>r<n>
  std::string entry;  // .VTR<pid>R<n>
  std::string own;    // vantrel.VTR<pid>R<n>
  std::string other;  // VtRelApp.<pid>.<n>
};

using Seed = std::function<void(const Names&)>;

struct Case {
  const char* state;
  Seed before;
  Seed after;  // the state the round trip must end in; null: the same as before
};

void OtherTree(const Names& n) {
  PutText(n.other, "", "Other Type");
  PutText(n.other, "FriendlyTypeName", "@other.dll,-101");
  PutValue(n.other, "EditFlags", REG_DWORD, std::string("\x00\x00\x01\x00", 4));
  PutText(n.other + "\\DefaultIcon", "", "other.exe,2");
  PutText(n.other + "\\shell", "", "play");
  PutText(n.other + "\\shell\\play\\command", "", "other.exe /play \"%1\"");
  PutText(n.other + "\\shell\\open\\command", "", "other.exe \"%1\"");
  PutText(n.other + "\\shell\\open\\ddeexec\\application", "", "Other");
}

void OwnTree(const Names& n, bool withBackup) {
  PutText(n.own, "", "VTR File");
  if (withBackup) PutText(n.own, "backup", n.other);
  PutText(n.own + "\\DefaultIcon", "", std::string(kExe) + ",0");
  PutText(n.own + "\\shell", "", "");
  PutText(n.own + "\\shell\\open\\command", "", "\"" + std::string(kExe) + "\" \"%1\"");
}

// Values and subkeys that an extension key carries for the shell and other programs.
void ExtensionExtras(const Names& n) {
  PutText(n.ext, "Content Type", "audio/x-vtr");
  PutText(n.ext, "PerceivedType", "audio");
  PutValue(n.ext + "\\OpenWithProgids", n.other.c_str(), REG_NONE, "");
  PutValue(n.ext + "\\OpenWithProgids", "VtRelThird.1", REG_NONE, "");
  PutText(n.ext + "\\ShellNew", "NullFile", "");
  PutText(n.ext + "\\PersistentHandler", "", "{098f2470-bae0-11cd-b579-08002b30bfeb}");
}

void NamesNothing(const Names& n) { PutText(n.ext, "", ""); }
void NamesOther(const Names& n) {
  PutText(n.ext, "", n.other);
  OtherTree(n);
}

const std::vector<Case>& Matrix() {
  static const std::vector<Case> cases = {
      {"no key", [](const Names&) {}, NamesNothing},
      {"key without any value", [](const Names& n) { vttest::MakeKey(n.ext); }, NamesNothing},
      {"empty default", NamesNothing, nullptr},
      {"another program's ProgID with subkeys and values", NamesOther, nullptr},
      {"another program's ProgID whose key is missing",
       [](const Names& n) { PutText(n.ext, "", n.other); }, nullptr},
      {"extension key with values and subkeys of its own",
       [](const Names& n) {
         NamesOther(n);
         ExtensionExtras(n);
       },
       nullptr},
      {"empty default beside values and subkeys of its own",
       [](const Names& n) {
         NamesNothing(n);
         ExtensionExtras(n);
       },
       nullptr},
      {"default of type REG_EXPAND_SZ",
       [](const Names& n) {
         PutValue(n.ext, "", REG_EXPAND_SZ, n.other + std::string(1, '\0'));
         OtherTree(n);
       },
       NamesOther},
      {"the tool's ProgID with its key and backup",
       [](const Names& n) {
         PutText(n.ext, "", n.own);
         OwnTree(n, true);
         OtherTree(n);
       },
       NamesOther},
      {"the tool's ProgID in other letter case, with its key and backup",
       [](const Names& n) {
         std::string lower = n.own;
         for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         PutText(n.ext, "", lower);
         OwnTree(n, true);
         OtherTree(n);
       },
       NamesOther},
      {"the tool's ProgID with its key, without backup",
       [](const Names& n) {
         PutText(n.ext, "", n.own);
         OwnTree(n, false);
       },
       NamesNothing},
      {"the tool's ProgID without its key",
       [](const Names& n) {
         PutText(n.ext, "", n.own);
         ExtensionExtras(n);
       },
       [](const Names& n) {
         NamesNothing(n);
         ExtensionExtras(n);
       }},
  };
  return cases;
}

class RoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartLibrary(); }
  // Another application registered for Default Apps, as on any Windows, whose registration must
  // come through every round trip untouched.
  void SetUp() override {
    const std::string capabilities = otherApp_.path() + "\\Capabilities";
    vttest::SetString(HKEY_LOCAL_MACHINE, capabilities, "ApplicationName", "VtRel Other", kView64);
    vttest::SetString(HKEY_LOCAL_MACHINE, capabilities + "\\FileAssociations", ".vtr", "VtRelApp.1",
                      kView64);
    vttest::SetString(HKEY_LOCAL_MACHINE, kApplications, otherApp_.path().c_str(), capabilities,
                      kView64);
  }
  void TearDown() override {
    for (const Names& n : used_) Remove(n);
    vttest::DeleteValue(HKEY_LOCAL_MACHINE, kApplications, otherApp_.path().c_str(), kView64);
  }

  Names Fresh() {
    const std::string tail =
        std::to_string(GetCurrentProcessId()) + "r" + std::to_string(used_.size());
    Names n;
    n.ext = ".vtr" + tail;
    n.entry = ".VTR" + tail;
    for (char& c : n.entry) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    n.own = "vantrel" + n.entry;
    n.other = "VtRelApp." + tail;
    used_.push_back(n);
    Remove(n);
    return n;
  }
  static void Remove(const Names& n) {
    for (const std::string& key : {n.ext, n.own, n.other})
      vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, key);
    vttest::RemoveDefaultApp(n.ext);
  }
  std::string Dump(const Names& n) const { return Dump(std::vector<Names>{n}); }
  std::string Dump(const std::vector<Names>& names) const {
    std::string dump;
    for (const Names& n : names)
      dump += vttest::DumpTrees(HKEY_CLASSES_ROOT, {n.ext, n.own, n.other});
    return dump + vttest::DumpTrees(HKEY_LOCAL_MACHINE,
                                   {"Software\\vntassoc", kApplications, otherApp_.path()},
                                   kView64);
  }
  // What the seed gives, dumped and removed again.
  std::string Expected(const Names& n, const Seed& seed) const {
    seed(n);
    std::string dump = Dump(n);
    Remove(n);
    return dump;
  }

 private:
  std::vector<Names> used_;
  vttest::ScratchKey otherApp_{HKEY_LOCAL_MACHINE, "Software\\" + vttest::UniqueName("VtRelOther"),
                               kView64};
};

TEST_F(RoundTrip, RegisterOnceOrTwiceThenUnregisterGivesBackTheStartingState) {
  for (int registrations = 1; registrations <= 2; ++registrations) {
    for (const Case& c : Matrix()) {
      SCOPED_TRACE(std::string(c.state) + ", registered " + std::to_string(registrations) + "x");
      const Names n = Fresh();
      const std::string expected = c.after ? Expected(n, c.after) : "";
      c.before(n);
      const std::string before = Dump(n);

      VtAssocInfo entry(n.entry.c_str());
      entry.Load();
      entry.Register(kExe, "VTR File", "");
      ASSERT_EQ(n.own, vttest::NamedProgId(n.ext));
      // The second registration is what "適用" does to every associated row: new options.
      if (registrations == 2) entry.Register(kExe, "Audio File", "/a");
      EXPECT_EQ(1, entry.associated);

      VtAssocInfo fresh(n.entry.c_str());  // as after a restart of the tool
      fresh.Load();
      fresh.Unregister();
      EXPECT_EQ(0, fresh.associated);
      EXPECT_EQ(c.after ? expected : before, Dump(n));
    }
  }
}

// Three extensions registered, one of them unregistered again: it comes back as it was, and the
// other two keep their registration, Default Apps included, as if only they had been registered.
TEST_F(RoundTrip, UnregisteringSomeExtensionsLeavesTheOthersAsIfOnlyTheyWereRegistered) {
  const std::vector<Names> n = {Fresh(), Fresh(), Fresh()};
  NamesOther(n[0]);
  ExtensionExtras(n[0]);
  NamesOther(n[1]);
  NamesNothing(n[2]);
  const std::string before = Dump(n);
  auto registerEntry = [](const Names& m) {
    VtAssocInfo(m.entry.c_str()).Register(kExe, "VTR File", "");
  };
  auto unregisterEntry = [](const Names& m) { VtAssocInfo(m.entry.c_str()).Unregister(); };
  registerEntry(n[2]);
  registerEntry(n[1]);
  const std::string onlyTheOthers = Dump(n);
  registerEntry(n[0]);
  unregisterEntry(n[0]);
  EXPECT_EQ(onlyTheOthers, Dump(n));
  unregisterEntry(n[1]);
  unregisterEntry(n[2]);
  EXPECT_EQ(before, Dump(n));
}

// Unregister without a Register first: the state a crash, another tool or an older version left.
TEST_F(RoundTrip, UnregisterAloneRestoresOrClearsWithoutLosingTheExtensionsOwnData) {
  {
    SCOPED_TRACE("the tool's ProgID without its key, beside values and subkeys of the extension");
    const Names n = Fresh();
    const std::string expected = Expected(n, [](const Names& m) {
      NamesNothing(m);
      ExtensionExtras(m);
    });
    PutText(n.ext, "", n.own);
    ExtensionExtras(n);
    VtAssocInfo entry(n.entry.c_str());
    entry.Unregister();
    EXPECT_EQ(expected, Dump(n));
  }
  {
    SCOPED_TRACE("the tool's ProgID without its key, nothing else in the extension's key");
    const Names n = Fresh();
    PutText(n.ext, "", n.own);
    VtAssocInfo entry(n.entry.c_str());
    entry.Unregister();
    EXPECT_FALSE(vttest::KeyExists(HKEY_CLASSES_ROOT, n.ext));
  }
  {
    SCOPED_TRACE("the tool's ProgID with backup, beside values and subkeys of the extension");
    const Names n = Fresh();
    const std::string expected = Expected(n, [](const Names& m) {
      NamesOther(m);
      ExtensionExtras(m);
    });
    PutText(n.ext, "", n.own);
    OwnTree(n, true);
    OtherTree(n);
    ExtensionExtras(n);
    VtAssocInfo entry(n.entry.c_str());
    entry.Unregister();
    EXPECT_EQ(expected, Dump(n));
  }
}

// The player may name an extension twice, once with a trailing backslash. As a key name that is the
// same key, and "vantrel.X\" the same ProgID key as "vantrel.X": registering both must not let the
// second overwrite the "backup" that the first wrote.
TEST_F(RoundTrip, ExtensionWithABackslashCannotOverwriteTheBackup) {
  const Names n = Fresh();
  NamesOther(n);
  const std::string before = Dump(n);
  VtAssocInfo plain(n.entry.c_str());
  VtAssocInfo slashed((n.entry + "\\").c_str());
  VtAssocInfo inside((n.entry + "\\sub").c_str());
  for (VtAssocInfo* entry : {&plain, &slashed, &inside}) entry->Register(kExe, "VTR File", "");
  EXPECT_EQ(n.own, vttest::NamedProgId(n.ext));
  EXPECT_EQ(0, slashed.associated);
  EXPECT_EQ(0, inside.associated);
  for (VtAssocInfo* entry : {&slashed, &inside, &plain}) entry->Unregister();
  EXPECT_EQ(before, Dump(n));
}

// Key names differ from CompareNoCase in one more way: the registry also folds the case of
// double-byte letters (full-width Ａ and ａ name one key). An extension registered once as
// ".ＶＴＲ" and once as ".ｖｔｒ" (two rows, or two answers of the player) must still come back.
TEST_F(RoundTrip, ExtensionsDifferingInDoubleByteCaseShareOneBackup) {
  const Names n = Fresh();
  const std::string upper = n.ext + "ＶＴＲ", lower = n.ext + "ｖｔｒ";
  ASSERT_TRUE(PutText(upper, "", n.other));
  OtherTree(n);
  const std::vector<std::string> keys = {upper, "vantrel" + upper, n.other};
  const std::string before = vttest::DumpTrees(HKEY_CLASSES_ROOT, keys);
  VtAssocInfo first(upper.c_str());
  VtAssocInfo second(lower.c_str());
  first.Register(kExe, "VTR File", "");
  second.Register(kExe, "VTR File", "");
  VtAssocInfo later(upper.c_str());
  later.Unregister();
  second.Unregister();
  EXPECT_EQ(before, vttest::DumpTrees(HKEY_CLASSES_ROOT, keys));
  for (const std::string& key : {upper, "vantrel" + upper})
    vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, key);
  for (const std::string& ext : {upper, lower}) vttest::RemoveDefaultApp(ext);
}

}  // namespace
