// Register then Unregister on every kind of starting state an extension can be in, in the
// machine's scope and in the user's, compared with a full dump of the extension's key and of every
// ProgID involved in both classes hives, and of the Default Apps registrations of both hives (the
// tool's, and another application's beside it). The registry must come back as it was, except
// where the tool cannot know or keep what was there (each such case names the state it ends in; the
// README lists them with the reasons).
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "associnfo.h"
#include "defaultapps.h"
#include "library.h"
#include "regdump.h"
#include "scopes.h"
#include "scratch.h"

namespace {

using vttest::OtherScope;
using vttest::kView64;

const char kExe[] = "C:\\Program Files\\Vantrel\\vantrel.exe";

// The keys one case works on, in the classes of one hive (at): the extension (seeded in small
// letters, used by the entry in capitals as the list passes it), the tool's ProgID for it and
// another program's ProgID.
struct Names {
  vttest::HiveClasses at{HKEY_LOCAL_MACHINE};
  std::string ext;    // .vtr<pid>r<n>
  std::string entry;  // .VTR<pid>R<n>
  std::string own;    // vantrel.VTR<pid>R<n>
  std::string other;  // VtRelApp.<pid>.<n>

  // The same names in the classes of scope's hive.
  Names In(VtScope scope) const {
    Names names = *this;
    names.at = vttest::HiveClasses(ScopeHive(scope));
    return names;
  }
};

using Seed = std::function<void(const Names&)>;

struct Case {
  const char* state;
  Seed before;
  // The states the round trip must end in, in the machine's scope and in the user's; null: the
  // same as before.
  Seed machineAfter;
  Seed userAfter;

  const Seed& After(VtScope scope) const {
    return scope == VtScope::kMachine ? machineAfter : userAfter;
  }
};

void OtherTree(const Names& n) {
  n.at.PutText(n.other, "", "Other Type");
  n.at.PutText(n.other, "FriendlyTypeName", "@other.dll,-101");
  n.at.PutValue(n.other, "EditFlags", REG_DWORD, std::string("\x00\x00\x01\x00", 4));
  n.at.PutText(n.other + "\\DefaultIcon", "", "other.exe,2");
  n.at.PutText(n.other + "\\shell", "", "play");
  n.at.PutText(n.other + "\\shell\\play\\command", "", "other.exe /play \"%1\"");
  n.at.PutText(n.other + "\\shell\\open\\command", "", "other.exe \"%1\"");
  n.at.PutText(n.other + "\\shell\\open\\ddeexec\\application", "", "Other");
}

void OwnTree(const Names& n, bool withBackup) {
  n.at.PutText(n.own, "", "VTR File");
  if (withBackup) n.at.PutText(n.own, "backup", n.other);
  n.at.PutText(n.own + "\\DefaultIcon", "", std::string(kExe) + ",0");
  n.at.PutText(n.own + "\\shell", "", "");
  n.at.PutText(n.own + "\\shell\\open\\command", "", "\"" + std::string(kExe) + "\" \"%1\"");
}

// Values and subkeys that an extension key carries for the shell and other programs.
void ExtensionExtras(const Names& n) {
  n.at.PutText(n.ext, "Content Type", "audio/x-vtr");
  n.at.PutText(n.ext, "PerceivedType", "audio");
  n.at.PutValue(n.ext + "\\OpenWithProgids", n.other.c_str(), REG_NONE, "");
  n.at.PutValue(n.ext + "\\OpenWithProgids", "VtRelThird.1", REG_NONE, "");
  n.at.PutText(n.ext + "\\ShellNew", "NullFile", "");
  n.at.PutText(n.ext + "\\PersistentHandler", "", "{098f2470-bae0-11cd-b579-08002b30bfeb}");
}

void NoKey(const Names&) {}
void NamesNothing(const Names& n) { n.at.PutText(n.ext, "", ""); }
// What Unregister leaves of a key that named nothing beside values of its own: in the machine's
// classes an empty default, in the user's none, which would hide the machine's association.
void ExtrasNamingNothing(const Names& n) {
  NamesNothing(n);
  ExtensionExtras(n);
}
void NamesOther(const Names& n) {
  n.at.PutText(n.ext, "", n.other);
  OtherTree(n);
}
// The extension names the tool's ProgID as progId spells it; the ProgID's key keeps the backup of
// the other program's, whose tree is there as well.
void NamesOwnWithBackup(const Names& n, const std::string& progId) {
  n.at.PutText(n.ext, "", progId);
  OwnTree(n, true);
  OtherTree(n);
}

// In the user's classes an extension key that names nothing and holds nothing else goes: without
// it the machine's association shows again, which is what the user saw before registering.
const std::vector<Case>& Matrix() {
  static const std::vector<Case> cases = {
      {"no key", NoKey, NamesNothing, nullptr},
      {"key without any value", [](const Names& n) { n.at.MakeKey(n.ext); }, NamesNothing, NoKey},
      {"empty default", NamesNothing, nullptr, NoKey},
      {"another program's ProgID with subkeys and values", NamesOther, nullptr, nullptr},
      {"another program's ProgID whose key is missing",
       [](const Names& n) { n.at.PutText(n.ext, "", n.other); }, nullptr, nullptr},
      {"extension key with values and subkeys of its own",
       [](const Names& n) {
         NamesOther(n);
         ExtensionExtras(n);
       },
       nullptr, nullptr},
      {"empty default beside values and subkeys of its own", ExtrasNamingNothing, nullptr,
       ExtensionExtras},
      {"values and subkeys of its own without a default", ExtensionExtras, ExtrasNamingNothing,
       nullptr},
      {"default of type REG_EXPAND_SZ",
       [](const Names& n) {
         n.at.PutValue(n.ext, "", REG_EXPAND_SZ, n.other + std::string(1, '\0'));
         OtherTree(n);
       },
       NamesOther, NamesOther},
      {"the tool's ProgID with its key and backup",
       [](const Names& n) { NamesOwnWithBackup(n, n.own); }, NamesOther, NamesOther},
      {"the tool's ProgID in other letter case, with its key and backup",
       [](const Names& n) {
         std::string lower = n.own;
         for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
         NamesOwnWithBackup(n, lower);
       },
       NamesOther, NamesOther},
      {"the tool's ProgID with its key, without backup",
       [](const Names& n) {
         n.at.PutText(n.ext, "", n.own);
         OwnTree(n, false);
       },
       NamesNothing, NoKey},
      {"the tool's ProgID without its key",
       [](const Names& n) {
         n.at.PutText(n.ext, "", n.own);
         ExtensionExtras(n);
       },
       ExtrasNamingNothing, ExtensionExtras},
  };
  return cases;
}

class RoundTrip : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartLibrary(); }
  // Another application registered for Default Apps in both hives, as on any Windows, whose
  // registrations must come through every round trip untouched.
  void SetUp() override {
    const std::string capabilities = otherAppPath_ + "\\Capabilities";
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      vttest::SetString(hive, capabilities, "ApplicationName", "VtRel Other", kView64);
      vttest::SetString(hive, capabilities + "\\FileAssociations", ".vtr", "VtRelApp.1", kView64);
      vttest::SetString(hive, kRegisteredApplicationsKey, otherAppPath_.c_str(), capabilities,
                        kView64);
    }
  }
  void TearDown() override {
    for (const Names& n : used_) Remove(n);
    for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
      vttest::DeleteValue(hive, kRegisteredApplicationsKey, otherAppPath_.c_str(), kView64);
  }

  // Names in the classes of scope's hive, none of their keys in either hive.
  Names Fresh(VtScope scope) {
    const std::string tail =
        std::to_string(GetCurrentProcessId()) + "r" + std::to_string(used_.size());
    Names n;
    n.ext = ".vtr" + tail;
    n.entry = ".VTR" + tail;
    for (char& c : n.entry) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    n.own = "vantrel" + n.entry;
    n.other = "VtRelApp." + tail;
    n = n.In(scope);
    used_.push_back(n);
    Remove(n);
    return n;
  }
  static void Remove(const Names& n) {
    for (VtScope scope : {VtScope::kMachine, VtScope::kUser})
      for (const std::string& key : {n.ext, n.own, n.other}) n.In(scope).at.Delete(key);
    vttest::RemoveDefaultApp(n.ext);
  }
  // The names' keys in both hives' classes and both hives' Default Apps registrations.
  std::string Dump(const Names& n) const { return Dump(std::vector<Names>{n}); }
  std::string Dump(const std::vector<Names>& names) const {
    std::string dump;
    for (VtScope scope : {VtScope::kMachine, VtScope::kUser}) {
      const HKEY hive = ScopeHive(scope);
      dump += hive == HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE\n" : "HKEY_CURRENT_USER\n";
      for (const Names& n : names)
        dump += vttest::DumpTrees(hive, n.In(scope).at.Paths({n.ext, n.own, n.other}));
      dump += vttest::DumpTrees(hive, {kAppKey, kRegisteredApplicationsKey, otherAppPath_},
                                kView64);
    }
    return dump;
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
  const std::string otherAppPath_ = "Software\\" + vttest::UniqueName("VtRelOther");
  vttest::ScratchKey machineApp_{HKEY_LOCAL_MACHINE, otherAppPath_, kView64};
  vttest::ScratchKey userApp_{HKEY_CURRENT_USER, otherAppPath_, kView64};
};

// The same round trips in either scope, seeded in that scope's classes beside another program's
// association of the same extension in the other hive's classes, which must come through as well.
class RoundTripIn : public RoundTrip, public ::testing::WithParamInterface<VtScope> {
 protected:
  VtScope scope() const { return GetParam(); }
  Names Fresh() { return RoundTrip::Fresh(scope()); }
  // seed in the scope's classes, with the other hive's association beside it.
  Seed Beside(const Seed& seed) const {
    const VtScope other = OtherScope(scope());
    return [seed, other](const Names& n) {
      seed(n);
      NamesOther(n.In(other));
    };
  }
};

INSTANTIATE_TEST_SUITE_P(Scope, RoundTripIn, ::testing::Values(VtScope::kMachine, VtScope::kUser),
                         vttest::ScopeName);

TEST_P(RoundTripIn, RegisterOnceOrTwiceThenUnregisterRestoresTheStartingState) {
  const HKEY hive = ScopeHive(scope()), otherHive = ScopeHive(OtherScope(scope()));
  for (int registrations = 1; registrations <= 2; ++registrations) {
    for (const Case& c : Matrix()) {
      SCOPED_TRACE(std::string(c.state) + ", registered " + std::to_string(registrations) + "x");
      const Names n = Fresh();
      const Seed& after = c.After(scope());
      const std::string expected = after ? Expected(n, Beside(after)) : "";
      Beside(c.before)(n);
      const std::string before = Dump(n);

      VtAssocInfo entry(n.entry.c_str(), scope());
      entry.Load();
      ASSERT_EQ(ERROR_SUCCESS, entry.Register(kExe, L"VTR File", ""));
      ASSERT_EQ(n.own, n.at.NamedProgId(n.ext));
      // The second registration is what "適用" does to every associated row: new options.
      if (registrations == 2) {
        EXPECT_EQ(ERROR_SUCCESS, entry.Register(kExe, L"Audio File", "/a"));
      }
      EXPECT_EQ(1, entry.associated);
      // Default Apps offers the registration of the hive it was made in, and only there.
      std::string listed;
      EXPECT_TRUE(vttest::GetString(hive, kFileAssociationsKey, n.entry.c_str(), &listed, kView64));
      EXPECT_EQ(n.own, listed);
      EXPECT_FALSE(vttest::ValueExists(otherHive, kFileAssociationsKey, n.entry.c_str(), kView64));

      VtAssocInfo fresh(n.entry.c_str(), scope());  // as after a restart of the tool
      fresh.Load();
      EXPECT_EQ(ERROR_SUCCESS, fresh.Unregister());
      EXPECT_EQ(0, fresh.associated);
      EXPECT_EQ(after ? expected : before, Dump(n));
    }
  }
}

// A user's registration and the machine's on the same extension, from every starting state in both
// hives: one administrator's unregister restores both hives, each as its own scope's round trip
// does, and leaves nothing of the tool's in either.
TEST_F(RoundTrip, AdministratorsUnregisterRemovesTheUsersAndTheMachinesRegistrationTogether) {
  for (const Case& c : Matrix()) {
    SCOPED_TRACE(c.state);
    const Names n = Fresh(VtScope::kMachine), user = n.In(VtScope::kUser);
    const Seed& machineAfter = c.machineAfter ? c.machineAfter : c.before;
    const Seed& userAfter = c.userAfter ? c.userAfter : c.before;
    const std::string expected = Expected(n, [&](const Names& m) {
      machineAfter(m);
      userAfter(m.In(VtScope::kUser));
    });
    c.before(n);
    c.before(user);

    VtAssocInfo mine(n.entry.c_str(), VtScope::kUser);
    ASSERT_EQ(ERROR_SUCCESS, mine.Register(kExe, L"User File", ""));
    VtAssocInfo everyones(n.entry.c_str());
    ASSERT_EQ(ERROR_SUCCESS, everyones.Register(kExe, L"VTR File", ""));
    ASSERT_EQ(n.own, n.at.NamedProgId(n.ext));
    ASSERT_EQ(n.own, user.at.NamedProgId(n.ext));

    VtAssocInfo fresh(n.entry.c_str());
    EXPECT_EQ(ERROR_SUCCESS, fresh.Unregister());
    EXPECT_EQ(0, fresh.associated);
    EXPECT_EQ(expected, Dump(n));
  }
}

// Three extensions registered, one of them unregistered again: it comes back as it was, and the
// other two keep their registration, Default Apps included, as if only they had been registered.
TEST_P(RoundTripIn, UnregisteringSomeExtensionsLeavesTheOthersAsIfOnlyTheyWereRegistered) {
  const std::vector<Names> n = {Fresh(), Fresh(), Fresh()};
  Beside([](const Names& m) {
    NamesOther(m);
    ExtensionExtras(m);
  })(n[0]);
  Beside(NamesOther)(n[1]);
  // Naming nothing, in the form that each scope restores as it was.
  Beside(scope() == VtScope::kMachine ? Seed(NamesNothing) : Seed(NoKey))(n[2]);
  const std::string before = Dump(n);
  const VtScope in = scope();
  auto registerEntry = [in](const Names& m) {
    EXPECT_EQ(ERROR_SUCCESS, VtAssocInfo(m.entry.c_str(), in).Register(kExe, L"VTR File", ""));
  };
  auto unregisterEntry = [in](const Names& m) {
    EXPECT_EQ(ERROR_SUCCESS, VtAssocInfo(m.entry.c_str(), in).Unregister());
  };
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
TEST_P(RoundTripIn, UnregisterAloneRestoresOrClearsWithoutLosingTheExtensionsOwnData) {
  {
    SCOPED_TRACE("the tool's ProgID without its key, beside values and subkeys of the extension");
    const Names n = Fresh();
    const Seed left = scope() == VtScope::kMachine ? ExtrasNamingNothing : ExtensionExtras;
    const std::string expected = Expected(n, Beside(left));
    Beside([](const Names& m) {
      m.at.PutText(m.ext, "", m.own);
      ExtensionExtras(m);
    })(n);
    VtAssocInfo entry(n.entry.c_str(), scope());
    EXPECT_EQ(ERROR_SUCCESS, entry.Unregister());
    EXPECT_EQ(expected, Dump(n));
  }
  {
    SCOPED_TRACE("the tool's ProgID without its key, nothing else in the extension's key");
    const Names n = Fresh();
    n.at.PutText(n.ext, "", n.own);
    VtAssocInfo entry(n.entry.c_str(), scope());
    EXPECT_EQ(ERROR_SUCCESS, entry.Unregister());
    EXPECT_FALSE(n.at.Exists(n.ext));
  }
  {
    SCOPED_TRACE("the tool's ProgID with backup, beside values and subkeys of the extension");
    const Names n = Fresh();
    const std::string expected = Expected(n, Beside([](const Names& m) {
                                            NamesOther(m);
                                            ExtensionExtras(m);
                                          }));
    Beside([](const Names& m) {
      NamesOwnWithBackup(m, m.own);
      ExtensionExtras(m);
    })(n);
    VtAssocInfo entry(n.entry.c_str(), scope());
    EXPECT_EQ(ERROR_SUCCESS, entry.Unregister());
    EXPECT_EQ(expected, Dump(n));
  }
}

// An earlier version associated through HKEY_CLASSES_ROOT: the user's extension key names the
// tool's ProgID, which only the machine's classes hold, with the "backup" of what the user's key
// named; the machine's key names another program. An administrator's unregister and a standard
// user's both restore the program the user's key named, and the machine's keeps its own.
TEST_P(RoundTripIn, UnregisterReadsTheBackupWhereWindowsFindsTheProgId) {
  const Names n = Fresh(), user = n.In(VtScope::kUser), machine = n.In(VtScope::kMachine);
  const std::string previous = n.other + ".Previous";
  ASSERT_TRUE(user.at.PutText(n.ext, "", n.own));
  OwnTree(machine, false);
  ASSERT_TRUE(machine.at.PutText(n.own, "backup", previous));
  NamesOther(machine);
  VtClasses classes(scope());
  VtAssocInfo entry(n.entry.c_str(), scope());
  entry.Load();
  EXPECT_EQ(ERROR_SUCCESS, entry.Unregister(&classes));
  EXPECT_EQ(previous, user.at.NamedProgId(n.ext));
  EXPECT_EQ(n.other, machine.at.NamedProgId(n.ext));
  // Nothing names the machine's ProgID any more: it goes where this user may delete it.
  EXPECT_EQ(scope() == VtScope::kUser, machine.at.Exists(n.own));
}

// The player may name an extension twice, once with a trailing backslash. As a key name that is the
// same key, and "vantrel.X\" the same ProgID key as "vantrel.X": registering both must not let the
// second overwrite the "backup" that the first wrote.
TEST_P(RoundTripIn, ExtensionWithABackslashCannotOverwriteTheBackup) {
  const Names n = Fresh();
  Beside(NamesOther)(n);
  const std::string before = Dump(n);
  VtAssocInfo plain(n.entry.c_str(), scope());
  VtAssocInfo slashed((n.entry + "\\").c_str(), scope());
  VtAssocInfo inside((n.entry + "\\sub").c_str(), scope());
  for (VtAssocInfo* entry : {&plain, &slashed, &inside}) entry->Register(kExe, L"VTR File", "");
  EXPECT_EQ(n.own, n.at.NamedProgId(n.ext));
  EXPECT_EQ(0, slashed.associated);
  EXPECT_EQ(0, inside.associated);
  for (VtAssocInfo* entry : {&slashed, &inside, &plain}) entry->Unregister();
  EXPECT_EQ(before, Dump(n));
}

// Key names differ from CompareNoCase in one more way: the registry also folds the case of
// double-byte letters (full-width Ａ and ａ name one key). An extension registered once as
// ".ＶＴＲ" and once as ".ｖｔｒ" (two rows, or two answers of the player) must still come back.
TEST_F(RoundTrip, ExtensionsDifferingInDoubleByteCaseShareOneBackup) {
  const Names n = Fresh(VtScope::kMachine);
  const std::string upper = n.ext + "ＶＴＲ", lower = n.ext + "ｖｔｒ";
  ASSERT_TRUE(n.at.PutText(upper, "", n.other));
  OtherTree(n);
  const std::vector<std::string> keys = n.at.Paths({upper, "vantrel" + upper, n.other});
  const std::string before = vttest::DumpTrees(n.at.hive(), keys);
  VtAssocInfo first(upper.c_str());
  VtAssocInfo second(lower.c_str());
  first.Register(kExe, L"VTR File", "");
  second.Register(kExe, L"VTR File", "");
  VtAssocInfo later(upper.c_str());
  later.Unregister();
  second.Unregister();
  EXPECT_EQ(before, vttest::DumpTrees(n.at.hive(), keys));
  for (const std::string& key : {upper, "vantrel" + upper}) n.at.Delete(key);
  for (const std::string& ext : {upper, lower}) vttest::RemoveDefaultApp(ext);
}

}  // namespace

namespace {

// States the tool did not make itself, each registered and unregistered in either scope: the
// extension keys of both hives must come back naming what they named, spelled as they spelled it.
class ForeignStates : public RoundTrip, public ::testing::WithParamInterface<VtScope> {
 protected:
  VtScope scope() const { return GetParam(); }
  // Register and Unregister, as a "適用" and a later "解除" of that scope do.
  void RoundTripOnce(const Names& n) {
    VtClasses classes(scope());
    ASSERT_EQ(ERROR_SUCCESS,
              VtAssocInfo(n.entry.c_str(), scope()).Register(kExe, L"VTR File", "", &classes));
    EXPECT_EQ(ERROR_SUCCESS, VtAssocInfo(n.entry.c_str(), scope()).Unregister(&classes));
  }
};

INSTANTIATE_TEST_SUITE_P(Scope, ForeignStates,
                         ::testing::Values(VtScope::kMachine, VtScope::kUser), vttest::ScopeName);

// An earlier version's association through HKEY_CLASSES_ROOT: the user's extension names the
// tool's ProgID, which only the machine's classes hold, with the "backup" of the user's program.
// Registering over it must not replace the only copy of that "backup", whatever the machine's
// extension names.
TEST_P(ForeignStates, RegisterOverAnEarlierVersionsUpgradeKeepsTheUsersBackup) {
  for (bool machineNamesOther : {true, false}) {
    SCOPED_TRACE(machineNamesOther ? "machine's key names another program" : "machine's: no key");
    const Names n = Fresh(VtScope::kMachine), user = n.In(VtScope::kUser);
    const std::string previous = n.other + ".Previous";
    ASSERT_TRUE(user.at.PutText(n.ext, "", n.own));
    OwnTree(n, false);
    ASSERT_TRUE(n.at.PutText(n.own, "backup", previous));
    if (machineNamesOther) NamesOther(n);
    RoundTripOnce(n);
    EXPECT_EQ(previous, user.at.NamedProgId(n.ext));
    // Where the machine's named nothing, the user's program must not become everybody's.
    EXPECT_EQ(machineNamesOther ? n.other : "", n.at.NamedProgId(n.ext));
  }
}

// A ProgID of the tool that a cut-short run left, with a "backup" naming a program since removed,
// while no extension names it: its "backup" was captured for no association made now.
TEST_P(ForeignStates, AStaleBackupIsNeverInherited) {
  const Names n = Fresh(scope());
  OwnTree(n, false);
  ASSERT_TRUE(n.at.PutText(n.own, "backup", n.other + ".Gone"));
  RoundTripOnce(n);
  EXPECT_EQ("", n.at.NamedProgId(n.ext));
  EXPECT_FALSE(n.at.Exists(n.own));
}

// A previous ProgID whose name code page 932 cannot spell comes back as it was stored, not as the
// system's look-alike.
TEST_P(ForeignStates, APreviousNameInAnyScriptComesBackExactly) {
  const Names n = Fresh(scope());
  const std::wstring previous = L"Café.Ωmega." + std::wstring(n.other.begin(), n.other.end());
  const std::string path = n.at.Path(n.ext);
  ASSERT_TRUE(vttest::SetRawValueW(n.at.hive(), std::wstring(path.begin(), path.end()), L"", REG_SZ,
                                   vttest::WideBytes(previous)));
  RoundTripOnce(n);
  DWORD type = 0;
  std::string stored;
  EXPECT_TRUE(vttest::GetStoredValue(n.at.hive(), path, "", &type, &stored));
  EXPECT_EQ(vttest::WideBytes(previous), stored);
}

// A registration that a restored export left in pieces (FileAssociations there, the value that
// points Windows at it missing) is made whole by the next registration.
TEST_P(ForeignStates, DefaultAppsIsMadeWholePieceByPiece) {
  const Names n = Fresh(scope());
  const HKEY hive = ScopeHive(scope());
  vttest::RemoveUnusedDefaultApp();
  ASSERT_TRUE(vttest::CreateKey(hive, kFileAssociationsKey, kView64));
  ASSERT_FALSE(vttest::ValueExists(hive, kRegisteredApplicationsKey, kRegisteredAppName, kView64));
  VtClasses classes(scope());
  ASSERT_EQ(ERROR_SUCCESS,
            VtAssocInfo(n.entry.c_str(), scope()).Register(kExe, L"VTR File", "", &classes));
  std::string pointed;
  EXPECT_TRUE(vttest::GetString(hive, kRegisteredApplicationsKey, kRegisteredAppName, &pointed,
                                kView64));
  EXPECT_EQ(kCapabilitiesKey, pointed);
  EXPECT_TRUE(vttest::ValueExists(hive, kCapabilitiesKey, "ApplicationName", kView64));
}

}  // namespace
