// VtAssocInfo against Wine's real HKEY_CLASSES_ROOT, on scratch extensions and ProgIDs that the
// fixture removes again.
#include <gtest/gtest.h>
// sddl.h needs windows.h first.
#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "associnfo.h"
#include "assocrows.h"
#include "changereport.h"
#include "defaultapps.h"
#include "extensionrule.h"
#include "library.h"
#include "localmemory.h"
#include "replaceable.h"
#include "scratch.h"

namespace {

using vttest::GetString;
using vttest::KeyExists;
using vttest::kView64;
using vttest::ScratchKey;
using vttest::SetString;
using vttest::ValueExists;

const HKEY kClasses = HKEY_CLASSES_ROOT;
const HKEY kMachine = HKEY_LOCAL_MACHINE;
const char kExe[] = "C:\\Program Files\\Vantrel\\vantrel.exe";
const std::string kOpen = "\"C:\\Program Files\\Vantrel\\vantrel.exe\" \"%1\"";

class AssocInfo : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { StartLibrary(); }

  // A scratch name that the fixture deletes (with its tool ProgID and Default Apps entry when it is
  // an extension).
  std::string Scratch(const std::string& prefix, const std::string& tail = "x") {
    std::string name = prefix + std::to_string(GetCurrentProcessId()) + tail + std::to_string(++count_);
    Own(name);
    if (name[0] == '.') {
      Own("vantrel" + name);
      exts_.push_back(name);
    }
    return name;
  }
  void TearDown() override {
    for (const std::string& ext : exts_) vttest::RemoveDefaultApp(ext);
  }
  std::string Ext(const std::string& tail = "x") { return Scratch(".vtt", tail); }
  // An extension of a fixed name, removed afterwards like a scratch one.
  std::string Named(const std::string& ext) {
    Own(ext);
    Own("vantrel" + ext);
    exts_.push_back(ext);
    return ext;
  }
  void Own(const std::string& name) { keys_.push_back(std::make_unique<ScratchKey>(kClasses, name)); }

  // A foreign ProgID with a type name, an icon and an open command.
  std::string Foreign() {
    std::string progId = Scratch("VtTestApp.");
    SetString(kClasses, progId, "", "Test Type");
    SetString(kClasses, progId + "\\DefaultIcon", "", "test.dll,3");
    SetString(kClasses, progId + "\\shell\\open\\command", "", "test.exe \"%1\"");
    return progId;
  }

  // A ProgID with only a type name.
  std::string Typed(const std::string& typeName) {
    std::string progId = Scratch("VtTestPick.");
    SetString(kClasses, progId, "", typeName);
    return progId;
  }

  // The user's choice for ext, as Explorer keeps it in sub.
  void Choose(const std::string& ext, const std::string& progId, const char* sub = "UserChoice",
              const char* name = "ProgId") {
    ASSERT_TRUE(ChoiceOf(ext).Set(sub, progId, name));
  }
  vttest::ScratchChoice& ChoiceOf(const std::string& ext) {
    if (!choices_.count(ext)) choices_[ext] = std::make_unique<vttest::ScratchChoice>(ext);
    return *choices_[ext];
  }
  // Opened only to read values, as a protected choice allows.
  static bool Chosen(const std::string& ext, const char* sub) {
    HKEY key;
    const std::string path = vttest::FileExtsKey(ext) + "\\" + sub;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  static std::string Value(const std::string& key, const char* name = "") {
    std::string v;
    return GetString(kClasses, key, name, &v) ? v : "<missing>";
  }
  static std::string Machine(const std::string& key, const char* name) {
    std::string v;
    return GetString(kMachine, key, name, &v, kView64) ? v : "<missing>";
  }
  // The names of a key's values as stored, in the order the registry gives them.
  static std::string ValueNames(HKEY root, const std::string& key, REGSAM view = 0) {
    std::string names;
    for (const std::string& name : vttest::ValueNames(root, key, view))
      names += (names.empty() ? "" : ";") + name;
    return names;
  }

  static void ExpectCleared(const VtAssocInfo& info) {
    EXPECT_EQ(nullptr, info.backup);
    EXPECT_EQ(nullptr, info.typeName);
    EXPECT_EQ(nullptr, info.command);
    EXPECT_EQ(nullptr, info.icon);
    EXPECT_EQ(0, info.associated);
  }

 private:
  std::vector<std::unique_ptr<ScratchKey>> keys_;
  std::map<std::string, std::unique_ptr<vttest::ScratchChoice>> choices_;
  std::vector<std::string> exts_;
  int count_ = 0;
};

TEST_F(AssocInfo, LoadClearsEverythingWhenNoProgIdOpens) {
  std::string ext = Ext(), other = Foreign();
  VtAssocInfo info(ext.c_str());
  auto loadFull = [&] {
    SetString(kClasses, ext, "", other);
    info.Load();
    ASSERT_STREQ(L"Test Type", info.typeName);
  };
  loadFull();
  SetString(kClasses, ext, "", "");
  info.Load();
  ExpectCleared(info);

  loadFull();
  SetString(kClasses, ext, "", "VtTestApp.NoSuchKey");
  info.Load();
  ExpectCleared(info);

  loadFull();
  vttest::DeleteKeyTree(kClasses, ext);
  info.Load();
  ExpectCleared(info);
}

TEST_F(AssocInfo, LoadReadsForeignAssociationPieceByPiece) {
  std::string ext = Ext(), other = Foreign();
  SetString(kClasses, ext, "", other);
  SetString(kClasses, other + "\\shell\\play\\command", "", "play.exe");
  VtAssocInfo info(ext.c_str());
  info.Load();
  EXPECT_STREQ("", info.backup);  // present although the key has no "backup"
  EXPECT_STREQ(L"Test Type", info.typeName);
  EXPECT_STREQ("test.dll,3", info.icon);
  EXPECT_STREQ("test.exe \"%1\"", info.command);
  EXPECT_EQ(0, info.associated);

  SetString(kClasses, other, "backup", "Older.File");
  SetString(kClasses, other + "\\shell", "", "play");
  vttest::DeleteKeyTree(kClasses, other + "\\DefaultIcon");
  info.Load();
  EXPECT_STREQ("Older.File", info.backup);
  EXPECT_STREQ("play.exe", info.command);
  EXPECT_EQ(nullptr, info.icon);

  vttest::DeleteKeyTree(kClasses, other + "\\shell");
  info.Load();
  EXPECT_EQ(nullptr, info.command);
  EXPECT_STREQ(L"Test Type", info.typeName);
}

TEST_F(AssocInfo, ToolProgIdNamedInOtherCaseCountsAsAssociated) {
  std::string ext = Ext(), upper = ext;
  CharUpperA(&upper[0]);
  SetString(kClasses, ext, "", "vantrel" + ext);
  SetString(kClasses, "vantrel" + ext, "", "Mine");
  VtAssocInfo info(upper.c_str());
  info.Load();
  EXPECT_EQ(1, info.associated);
  EXPECT_STREQ(L"Mine", info.typeName);
}

TEST_F(AssocInfo, UserChoiceShownWhereItNamesAnotherProgIdThanTheExtension) {
  std::string ext = Ext(), other = Foreign(), picked = Typed("Picked Type"), same = other;
  CharUpperA(&same[0]);
  SetString(kClasses, ext, "", other);
  VtAssocInfo info(ext.c_str());
  info.Load();
  EXPECT_EQ(nullptr, info.userChoice);  // no choice at all
  Choose(ext, same);
  info.Load();
  EXPECT_EQ(nullptr, info.userChoice);
  EXPECT_STREQ(L"Test Type", info.typeName);

  Choose(ext, picked, "UserChoice", "Progid");  // as Windows 7 spells it
  info.Load();
  EXPECT_STREQ("Picked Type", info.userChoice);
  // Windows 11 keeps the choice in UserChoiceLatest\ProgId; a ProgId directly beneath
  // UserChoiceLatest is an older one.
  Choose(ext, Typed("Stale Type"), "UserChoiceLatest");
  info.Load();
  EXPECT_STREQ("Picked Type", info.userChoice);
  Choose(ext, Typed("Latest Type"), "UserChoiceLatest\\ProgId");
  info.Load();
  EXPECT_STREQ("Latest Type", info.userChoice);
  EXPECT_STREQ(L"Test Type", info.typeName);

  // Wherever reading the extension's association stops, the choice is still read.
  for (const std::string& named : {std::string("VtTestApp.NoSuchKey"), std::string()}) {
    SetString(kClasses, ext, "", named);
    info.Load();
    EXPECT_STREQ("Latest Type", info.userChoice) << named;
    ExpectCleared(info);
  }
  vttest::DeleteKeyTree(kClasses, ext);
  info.Load();
  EXPECT_STREQ("Latest Type", info.userChoice);
  ExpectCleared(info);
}

TEST_F(AssocInfo, UserChoiceNamedByApplicationNameElseTypeNameElseProgId) {
  std::string ext = Ext(), picked = Typed("Picked Type");
  Choose(ext, picked);
  VtAssocInfo info(ext.c_str());
  SetString(kClasses, picked + "\\Application", "ApplicationName", "Picked Player");
  info.Load();
  EXPECT_STREQ("Picked Player", info.userChoice);

  // An indirect name is shown as the text it stands for, in the ANSI code page.
  char recycleBin[256] = "";
  ASSERT_GT(LoadStringA(LoadLibraryA("shell32.dll"), 8964, recycleBin, sizeof recycleBin), 0);
  SetString(kClasses, picked + "\\Application", "ApplicationName",
            "@%SystemRoot%\\system32\\shell32.dll,-8964");
  info.Load();
  EXPECT_STREQ(recycleBin, info.userChoice);

  // One that does not resolve is never shown.
  SetString(kClasses, picked + "\\Application", "ApplicationName", "@vtnosuch.dll,-1");
  info.Load();
  EXPECT_STREQ("Picked Type", info.userChoice);
  SetString(kClasses, picked, "", "@{VtNoSuch.Package_1.0_x86__0?ms-resource://VtNoSuch/Name}");
  info.Load();
  EXPECT_STREQ(picked.c_str(), info.userChoice);

  // A program picked through "Open with": its friendly name, else its file's description, else
  // its file name; never the "Applications\..." key name.
  const std::string program = "vtpick" + std::to_string(GetCurrentProcessId()) + ".exe";
  const std::string app = "Applications\\" + program;
  Own(app);
  Choose(ext, app);
  info.Load();
  EXPECT_EQ(program, info.userChoice);
  SetString(kClasses, app + "\\shell\\open\\command", "",
            "\"C:\\windows\\system32\\regedit.exe\" \"%1\"");
  info.Load();
  EXPECT_STREQ("Wine Registry Editor", info.userChoice);
  SetString(kClasses, app, "FriendlyAppName", "Picked Program");
  info.Load();
  EXPECT_STREQ("Picked Program", info.userChoice);
}

// For an administrator the row shows the machine's association; a key of the administrator's own
// classes naming another program is what Windows opens for them, and the last column says so.
// For a user, the user's own key decides where it names a ProgID, else the machine's shows.
TEST_F(AssocInfo, EachScopeShowsItsOwnAssociationAndWhatWindowsOpensInstead) {
  const std::string ext = Ext(), other = Foreign(), mine = Typed("Mine Type");
  const vttest::HiveClasses userClasses(HKEY_CURRENT_USER);
  const std::string userExt = userClasses.Path(ext);
  SetString(kClasses, ext, "", other);
  ScratchKey userKey(HKEY_CURRENT_USER, userExt);
  SetString(HKEY_CURRENT_USER, userExt, "", mine);
  VtAssocInfo machine(ext.c_str());
  machine.Load();
  EXPECT_STREQ(L"Test Type", machine.typeName);
  EXPECT_STREQ("Mine Type", machine.userChoice);
  VtAssocInfo user(ext.c_str(), VtScope::kUser);
  user.Load();
  EXPECT_STREQ(L"Mine Type", user.typeName);
  EXPECT_EQ(0, user.fromMachine);
  EXPECT_EQ(nullptr, user.userChoice);

  // A user's key that names nothing (it may hold only "Open with" entries) hides nothing.
  SetString(HKEY_CURRENT_USER, userExt, "", "");
  user.Load();
  EXPECT_STREQ(L"Test Type", user.typeName);
  EXPECT_EQ(1, user.fromMachine);
  machine.Load();
  EXPECT_EQ(nullptr, machine.userChoice);

  // The administrator's own key of the machine's ProgID is what Windows shows this user, not
  // what every user gets.
  const std::string userProgId = userClasses.Path(other);
  ScratchKey userCopy(HKEY_CURRENT_USER, userProgId);
  SetString(HKEY_CURRENT_USER, userProgId, "", "User's Copy");
  machine.Load();
  EXPECT_STREQ(L"Test Type", machine.typeName);
  user.Load();
  EXPECT_STREQ(L"User's Copy", user.typeName);

  // An association of the tool in the administrator's own classes only: the machine's columns,
  // and Unregister restores the user's key all the same.
  const std::string own = "vantrel" + ext, userOwn = userClasses.Path(own);
  ScratchKey userOwnKey(HKEY_CURRENT_USER, userOwn);
  SetString(HKEY_CURRENT_USER, userOwn, "", "Vantrel Type");
  SetString(HKEY_CURRENT_USER, userExt, "", own);
  machine.Load();
  EXPECT_EQ(0, machine.associated);
  EXPECT_EQ(1, machine.userAssociated);
  EXPECT_STREQ(L"Test Type", machine.typeName);
  EXPECT_EQ(ERROR_SUCCESS, machine.Unregister());
  EXPECT_EQ(0, machine.userAssociated);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userExt));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, userOwn));
  EXPECT_EQ(other, Value(ext));
}

TEST_F(AssocInfo, RegisterAndUnregisterCompareUserChoiceWithWhatTheyLeave) {
  // The user already picked the player in Explorer; the extension still names another program.
  std::string ext = Ext(), other = Foreign(), upper = ext;
  CharUpperA(&upper[0]);
  SetString(kClasses, ext, "", other);
  Choose(ext, "vantrel" + ext);
  VtAssocInfo info(upper.c_str());
  info.Load();
  EXPECT_STREQ(("vantrel" + ext).c_str(), info.userChoice);  // no such key yet
  info.Register(kExe, L"Vantrel Type", "");
  EXPECT_EQ(nullptr, info.userChoice);
  // The choice goes with the ProgID it names: Windows opens the program the extension names again.
  EXPECT_EQ(ERROR_SUCCESS, info.Unregister());
  EXPECT_EQ(nullptr, info.userChoice);
  EXPECT_FALSE(Chosen(ext, "UserChoice"));
  EXPECT_EQ(other, Value(ext));
}

// Unregistering forgets this user's choice wherever Windows keeps it, each place on its own, only
// where it names the tool's ProgID (in any letter case); a choice of another program stays.
TEST_F(AssocInfo, UnregisterForgetsOnlyTheUsersChoiceOfTheToolsProgId) {
  enum Pick { kNone, kTool, kOther };
  struct Case {
    Pick latest, older;   // UserChoiceLatest\ProgId (Windows 11), UserChoice
    const char* name;     // the older one's value name
  };
  const Case cases[] = {{kNone, kTool, "ProgId"},  {kNone, kTool, "Progid"},  // Windows 7's
                        {kTool, kNone, "ProgId"},  {kNone, kOther, "ProgId"},
                        {kOther, kNone, "ProgId"}, {kTool, kOther, "ProgId"}};
  for (const Case& c : cases) {
    const std::string ext = Ext(), other = Foreign(), picked = Typed("Picked Type");
    std::string own = "vantrel" + ext;
    CharUpperA(&own[0]);
    SetString(kClasses, ext, "", other);
    VtAssocInfo info(ext.c_str());
    ASSERT_EQ(ERROR_SUCCESS, info.Register(kExe, L"Vantrel Type", ""));
    if (c.latest != kNone) Choose(ext, c.latest == kTool ? own : picked, "UserChoiceLatest\\ProgId");
    if (c.older != kNone) Choose(ext, c.older == kTool ? own : picked, "UserChoice", c.name);
    const std::string at = std::to_string(&c - cases);
    EXPECT_EQ(ERROR_SUCCESS, info.Unregister()) << at;
    EXPECT_EQ(c.latest == kOther, Chosen(ext, "UserChoiceLatest")) << at;
    EXPECT_EQ(c.older == kOther, Chosen(ext, "UserChoice")) << at;
    EXPECT_FALSE(KeyExists(kClasses, own)) << at;
    EXPECT_EQ(other, Value(ext)) << at;
    const bool otherChosen = c.latest == kOther || c.older == kOther;
    EXPECT_STREQ(otherChosen ? "Picked Type" : nullptr, info.userChoice) << at;
  }
}

// Where Windows refuses to forget the choice, the extension's key is given back all the same, and
// the ProgID the choice opens stays until an unregistration may forget it.
TEST_F(AssocInfo, UnregisterKeepsTheProgIdOfAChoiceWindowsProtects) {
  const std::string ext = Ext(), other = Foreign(), own = "vantrel" + ext;
  SetString(kClasses, ext, "", other);
  VtAssocInfo info(ext.c_str());
  ASSERT_EQ(ERROR_SUCCESS, info.Register(kExe, L"Vantrel Type", ""));
  Choose(ext, own);
  ASSERT_TRUE(ChoiceOf(ext).Protect("UserChoice"));
  EXPECT_EQ(kErrorUserChoiceKept, info.Unregister());
  EXPECT_EQ(other, Value(ext));
  EXPECT_TRUE(Chosen(ext, "UserChoice"));
  EXPECT_EQ("Vantrel Type", Value(own));
  EXPECT_EQ(own, Machine(kFileAssociationsKey, ext.c_str()));

  ASSERT_TRUE(ChoiceOf(ext).Protect("UserChoice", false));
  EXPECT_EQ(ERROR_SUCCESS, info.Unregister());
  EXPECT_FALSE(Chosen(ext, "UserChoice"));
  EXPECT_FALSE(KeyExists(kClasses, own));
  EXPECT_EQ("<missing>", Machine(kFileAssociationsKey, ext.c_str()));
}

TEST_F(AssocInfo, UnregisterRemovesExtensionKeyNamingMissingToolProgId) {
  std::string ext = Ext();
  SetString(kClasses, ext, "", "vantrel" + ext);
  VtAssocInfo info(ext.c_str());
  info.Load();
  ExpectCleared(info);
  info.Unregister();
  EXPECT_FALSE(KeyExists(kClasses, ext));

  // A key that holds more than the tool's ProgID keeps it all; only the default value is emptied.
  SetString(kClasses, ext, "", "vantrel" + ext);
  SetString(kClasses, ext + "\\ShellNew", "", "");
  info.Unregister();
  EXPECT_EQ("", Value(ext));
  EXPECT_TRUE(KeyExists(kClasses, ext + "\\ShellNew"));
}

TEST_F(AssocInfo, RegisterAndUnregisterRestoreThePreviousProgId) {
  std::string ext = Ext(), other = Foreign(), progId = "vantrel" + ext;
  SetString(kClasses, ext, "", other);
  VtAssocInfo info(ext.c_str());
  info.Load();
  info.Register(kExe, L"Vantrel Type", "/na");
  EXPECT_EQ(progId, Value(ext));
  EXPECT_EQ("Vantrel Type", Value(progId));
  EXPECT_EQ(other, Value(progId, "backup"));
  EXPECT_EQ(std::string(kExe) + ",0", Value(progId + "\\DefaultIcon"));
  EXPECT_EQ("", Value(progId + "\\shell"));
  EXPECT_EQ(kOpen + " /na", Value(progId + "\\shell\\open\\command"));
  EXPECT_EQ(kOpen + " /na", info.command);
  EXPECT_EQ(1, info.associated);

  // Again, now over its own ProgID and with the entry's own type name: "backup" must survive.
  info.Register(kExe, info.typeName, "");
  EXPECT_EQ(other, Value(progId, "backup"));
  EXPECT_EQ(kOpen, Value(progId + "\\shell\\open\\command"));
  EXPECT_STREQ(L"Vantrel Type", info.typeName);

  info.Unregister();
  EXPECT_EQ(other, Value(ext));
  EXPECT_FALSE(KeyExists(kClasses, progId));
  EXPECT_EQ(0, info.associated);
  EXPECT_STREQ(L"Test Type", info.typeName);
}

// The player's own MIDI-family types show its second icon in any letter case (the list passes them
// in capitals); names that only resemble them show the first.
TEST_F(AssocInfo, PlayerIconOnlyForItsOwnTypesInAnyCase) {
  const std::vector<std::pair<std::string, const char*>> cases = {
      {".mid", ",1"},  {".rmi", ",1"},  {".rcp", ",1"}, {".r36", ",1"}, {".g36", ",1"},
      {".mds", ",1"},  {".MID", ",1"},  {".Rmi", ",1"}, {".RCP", ",1"}, {".R36", ",1"},
      {".G36", ",1"},  {".MDS", ",1"},  {".midi", ",0"}, {".mi", ",0"}, {".mide", ",0"},
      {".表", ",0"}};
  for (const auto& c : cases)
    if (KeyExists(kClasses, c.first)) GTEST_SKIP() << c.first << " is associated in this prefix";
  for (const auto& c : cases) {
    const std::string ext = Named(c.first);
    VtAssocInfo info(ext.c_str());
    info.Register(kExe, L"Vantrel Type", "");
    EXPECT_EQ(std::string(kExe) + c.second, Value("vantrel" + ext + "\\DefaultIcon")) << ext;
    EXPECT_STREQ((std::string(kExe) + c.second).c_str(), info.icon) << ext;
  }
}

TEST_F(AssocInfo, RegisterOnUnnamedExtensionKeepsNoBackup) {
  std::string ext = Ext(), progId = "vantrel" + ext;
  VtAssocInfo info(ext.c_str());
  info.Register(kExe, L"", "");
  EXPECT_STREQ(L"", info.typeName);
  EXPECT_EQ("", Value(progId));
  EXPECT_EQ("<missing>", Value(progId, "backup"));

  info.Unregister();  // the empty backup becomes the extension's empty default value
  EXPECT_EQ("", Value(ext));
  EXPECT_FALSE(KeyExists(kClasses, progId));
  ExpectCleared(info);
}

TEST_F(AssocInfo, UnregisterLeavesForeignExtensionButDeletesToolProgId) {
  std::string ext = Ext(), other = Foreign(), progId = "vantrel" + ext;
  SetString(kClasses, ext, "", other);
  SetString(kClasses, progId + "\\DefaultIcon", "", "stale");  // as a Register cut short leaves it
  VtAssocInfo info(ext.c_str());
  info.Unregister();
  EXPECT_EQ(other, Value(ext));
  EXPECT_FALSE(KeyExists(kClasses, progId));
  EXPECT_STREQ(L"Test Type", info.typeName);
}

TEST_F(AssocInfo, OpenWithProgidsLosesOnlyTheToolsEntryAndGoesOnlyWhenNothingIsLeft) {
  std::string ext = Ext(), other = Foreign(), progId = "vantrel" + ext;
  const std::string list = ext + "\\OpenWithProgids";
  SetString(kClasses, ext, "", other);
  ASSERT_TRUE(vttest::SetRawValue(kClasses, list, other.c_str(), REG_NONE, nullptr, 0));
  VtAssocInfo info(ext.c_str());
  info.Register(kExe, L"Vantrel Type", "");
  HKEY handle;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(kClasses, list.c_str(), 0, KEY_READ, &handle));
  DWORD type = REG_SZ, size = 1;
  EXPECT_EQ(ERROR_SUCCESS,
            RegQueryValueExA(handle, progId.c_str(), nullptr, &type, nullptr, &size));
  RegCloseKey(handle);
  EXPECT_EQ(static_cast<DWORD>(REG_NONE), type);
  EXPECT_EQ(0u, size);
  info.Unregister();
  EXPECT_EQ(other, ValueNames(kClasses, list));

  // The tool's entry alone: the list's key goes, and an extension key left with nothing but its
  // default value naming the missing ProgID goes too.
  std::string alone = Ext();
  SetString(kClasses, alone, "", "vantrel" + alone);
  vttest::SetRawValue(kClasses, alone + "\\OpenWithProgids", ("vantrel" + alone).c_str(), REG_NONE,
                      nullptr, 0);
  VtAssocInfo(alone.c_str()).Unregister();
  EXPECT_FALSE(KeyExists(kClasses, alone));

  // A default value or a subkey is something left.
  for (const char* extra : {"", "\\sub"}) {
    std::string kept = Ext();
    VtAssocInfo entry(kept.c_str());
    entry.Register(kExe, L"Vantrel Type", "");
    const std::string keptList = kept + "\\OpenWithProgids";
    SetString(kClasses, keptList + extra, "", "");  // its default value, or a subkey
    entry.Unregister();
    EXPECT_TRUE(KeyExists(kClasses, keptList)) << extra;
    EXPECT_FALSE(ValueExists(kClasses, keptList, ("vantrel" + kept).c_str())) << extra;
  }
}

// The tool's Default Apps registration lives as long as one extension is registered, in the 64-bit
// view, and never touches another application's registration beside it.
TEST_F(AssocInfo, DefaultAppsRegistrationFollowsTheRegisteredExtensions) {
  // Windows and the restores of earlier exports read these very names; every other test takes
  // them from the tool, so a changed name fails here.
  EXPECT_STREQ(kRegisteredApplicationsKey, "Software\\RegisteredApplications");
  EXPECT_STREQ(kFileAssociationsKey, "Software\\vntassoc\\Capabilities\\FileAssociations");
  EXPECT_STREQ(kRegisteredAppName, "Vantrel Player (vntassoc)");
  for (REGSAM view : {REGSAM(0), kView64})  // a prefix left dirty by a crashed or faulty build
    vttest::DeleteKeyTree(kMachine, kAppKey, view);
  vttest::DeleteValue(kMachine, kRegisteredApplicationsKey, kRegisteredAppName, kView64);
  ScratchKey otherApp(kMachine, "Software\\" + vttest::UniqueName("VtTestOtherApp"), kView64);
  const std::string otherCaps = otherApp.path() + "\\Capabilities";
  SetString(kMachine, otherCaps, "ApplicationName", "Other App", kView64);
  SetString(kMachine, otherCaps + "\\FileAssociations", ".vtt", "Other.File", kView64);
  ASSERT_TRUE(
      SetString(kMachine, kRegisteredApplicationsKey, "VtTest Other App", otherCaps, kView64));

  std::string lower = Ext(), second = Ext(), upper = lower;
  CharUpperA(&upper[0]);
  VtAssocInfo first(upper.c_str()), next(second.c_str());
  first.Register(kExe, L"Vantrel Type", "");
  EXPECT_EQ("Vantrel Player", Machine(kCapabilitiesKey, "ApplicationName"));
  EXPECT_NE("<missing>", Machine(kCapabilitiesKey, "ApplicationDescription"));
  EXPECT_EQ(std::string(kExe) + ",0", Machine(kCapabilitiesKey, "ApplicationIcon"));
  EXPECT_EQ(upper, ValueNames(kMachine, kFileAssociationsKey, kView64));  // as the entry holds it
  EXPECT_EQ("vantrel" + upper, Machine(kFileAssociationsKey, upper.c_str()));
  EXPECT_EQ(kCapabilitiesKey, Machine(kRegisteredApplicationsKey, kRegisteredAppName));
  EXPECT_FALSE(KeyExists(kMachine, kAppKey));  // not in the 32-bit view
  next.Register(kExe, L"Vantrel Type", "");
  EXPECT_EQ("vantrel" + second, Machine(kFileAssociationsKey, second.c_str()));

  first.Unregister();
  EXPECT_EQ(second, ValueNames(kMachine, kFileAssociationsKey, kView64));
  EXPECT_EQ(kCapabilitiesKey, Machine(kRegisteredApplicationsKey, kRegisteredAppName));
  next.Unregister();
  EXPECT_FALSE(KeyExists(kMachine, kAppKey, kView64));
  EXPECT_FALSE(ValueExists(kMachine, kRegisteredApplicationsKey, kRegisteredAppName, kView64));
  EXPECT_EQ("Other App", Machine(otherCaps, "ApplicationName"));
  EXPECT_EQ("Other.File", Machine(otherCaps + "\\FileAssociations", ".vtt"));
  EXPECT_EQ(otherCaps, Machine(kRegisteredApplicationsKey, "VtTest Other App"));

  // Capabilities without any FileAssociations, as a Register cut short leaves it: any Unregister
  // removes it, here one of an extension that was never registered.
  SetString(kMachine, kCapabilitiesKey, "ApplicationName", "Vantrel Player", kView64);
  SetString(kMachine, kRegisteredApplicationsKey, kRegisteredAppName, kCapabilitiesKey, kView64);
  VtAssocInfo(Ext().c_str()).Unregister();
  EXPECT_FALSE(KeyExists(kMachine, kAppKey, kView64));
  EXPECT_FALSE(ValueExists(kMachine, kRegisteredApplicationsKey, kRegisteredAppName, kView64));
  EXPECT_EQ(otherCaps, Machine(kRegisteredApplicationsKey, "VtTest Other App"));
  vttest::DeleteValue(kMachine, kRegisteredApplicationsKey, "VtTest Other App", kView64);
}

TEST_F(AssocInfo, DoubleByteExtensionRoundTrip) {
  // The trail byte of 表 is 0x5C, a backslash when read byte by byte.
  std::string ext = Ext("表"), other = Foreign(), progId = "vantrel" + ext;
  SetString(kClasses, ext, "", other);
  VtAssocInfo info(ext.c_str());
  info.Register(kExe, L"表の種類", "");
  EXPECT_EQ(progId, Value(ext));
  EXPECT_EQ("表の種類", Value(progId));
  EXPECT_EQ(kOpen, Value(progId + "\\shell\\open\\command"));
  info.Load();
  EXPECT_EQ(1, info.associated);
  EXPECT_STREQ(other.c_str(), info.backup);

  info.Unregister();
  EXPECT_EQ(other, Value(ext));
  EXPECT_FALSE(KeyExists(kClasses, progId));
  EXPECT_EQ(0, info.associated);
}

// "vantrel" and an extension of 248 bytes make the longest key name; one byte more and the
// ProgID could not be made, so the extension is refused before anything is written.
TEST_F(AssocInfo, ExtensionsRegisterUpToTheLongestProgIdAndNoFurther) {
  std::string longest = Ext(), longer = Ext(), other = Foreign();
  longest.resize(248, 'n');
  longer.resize(249, 'f');
  for (const std::string& ext : {longest, longer}) Named(ext);
  ASSERT_TRUE(SetString(kClasses, longer, "", other));

  VtAssocInfo fits(longest.c_str());
  EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), fits.Register(kExe, L"Vantrel Type", ""));
  EXPECT_TRUE(KeyExists(kClasses, "vantrel" + longest));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), fits.Unregister());
  EXPECT_FALSE(KeyExists(kClasses, "vantrel" + longest));

  VtAssocInfo keeps(longer.c_str());
  keeps.Load();
  ASSERT_STREQ(L"Test Type", keeps.typeName);
  EXPECT_EQ(kErrorExtensionTooLong, keeps.Register(kExe, L"Vantrel Type", ""));
  EXPECT_EQ(other, Value(longer));
  EXPECT_FALSE(KeyExists(kClasses, "vantrel" + longer));
  EXPECT_STREQ(L"Test Type", keeps.typeName);
}

// What Windows never looks up as an extension (it takes the text after a name's last "." up to
// a blank), and the types by which it starts programs and shortcuts: each is refused with its
// reason, and neither the registry nor the entry changes.
TEST_F(AssocInfo, RefusedExtensionsAreNeverRegistered) {
  const std::string id = std::to_string(GetCurrentProcessId());
  const std::vector<std::pair<std::string, DWORD>> scratch = {
      {"..vt" + id, kErrorNotAnExtension},    {".vt " + id, kErrorNotAnExtension},
      {".vt" + id + " ", kErrorNotAnExtension}, {".tar.vt" + id, kErrorNotAnExtension},
      {".vt:" + id, kErrorNotAnExtension},    {".vt/" + id, kErrorNotAnExtension},
      {".vt|" + id, kErrorNotAnExtension},    {".vt\"" + id, kErrorNotAnExtension},
      {".vt\t" + id, kErrorNotAnExtension},   {".vt　" + id, kErrorNotAnExtension},
      {".", kErrorNotAnExtension}};
  for (const auto& c : scratch) {
    const std::string ext = c.first == "." ? c.first : Named(c.first);
    VtAssocInfo info(ext.c_str());
    EXPECT_EQ(c.second, info.Register(kExe, L"Vantrel Type", "")) << ext;
    EXPECT_FALSE(KeyExists(kClasses, ext)) << ext;
    EXPECT_FALSE(KeyExists(kClasses, "vantrel" + ext)) << ext;
  }
  // The prefix's own program types are looked at, never changed.
  for (const char* type : {".bat", ".LNK", ".Cmd", ".scr", ".ps1", ".appref-ms", ".EXE"}) {
    const std::string before = Value(type);
    VtAssocInfo info(type);
    info.typeName = _wcsdup(L"kept");  // the entry frees it
    EXPECT_EQ(kErrorProgramType, info.Register(kExe, L"Vantrel Type", "")) << type;
    EXPECT_STREQ(L"kept", info.typeName) << type;
    EXPECT_EQ(before, Value(type)) << type;
    EXPECT_FALSE(KeyExists(kClasses, std::string("vantrel") + type)) << type;
  }
}

TEST_F(AssocInfo, ExecutablesAndMalformedExtensionsAreNeverTouched) {
  // Put back whatever a faulty guard would change; Wine's own prefix has no ".exe" key at all.
  bool hadExe = KeyExists(kClasses, ".exe");
  std::string before = Value(".exe");
  if (!hadExe) Own(".exe");
  Own("vantrel.exe");
  for (const char* exe : {".exe", ".EXE"}) {
    VtAssocInfo info(exe);
    info.typeName = _wcsdup(L"kept");  // the entry frees it
    info.Register(kExe, L"Vantrel Type", "");
    EXPECT_STREQ(L"kept", info.typeName) << exe;
    EXPECT_EQ(before, Value(".exe")) << exe;
    EXPECT_FALSE(KeyExists(kClasses, "vantrel.exe")) << exe;
  }
  if (hadExe && before != "<missing>" && Value(".exe") != before) SetString(kClasses, ".exe", "", before);

  std::string noDot = Scratch("vtt");
  Own("vantrel" + noDot);
  for (const std::string& bad : {std::string(), noDot}) {
    VtAssocInfo info(bad.c_str());
    info.Register(kExe, L"Vantrel Type", "");
    info.Unregister();
    info.Load();
    ExpectCleared(info);
    EXPECT_FALSE(KeyExists(kClasses, "vantrel" + bad));
  }
  EXPECT_FALSE(KeyExists(kClasses, noDot));
}

// The rows find every row of one key, double-byte letter case folded as the registry folds it, and
// forget the rows they drop; a report names each key once, and a failure after "only an
// administrator may unregister this" is never hidden behind it.
TEST_F(AssocInfo, RowsOfOneKeyAndOneFailureEachInTheReport) {
  VtAssocRows rows;
  for (const char* ext : {".ＶＴＡ", ".mp3", ".ｖｔａ", ".MP3"})
    rows.Add(std::unique_ptr<VtAssocInfo>(new VtAssocInfo(ext)));
  EXPECT_EQ(rows.RowsOf(".Ｖｔａ"), (std::vector<int>{0, 2}));
  EXPECT_EQ(rows.RowsOf(".Mp3"), (std::vector<int>{1, 3}));
  rows.Truncate(2);
  EXPECT_EQ(rows.RowsOf(".ｖｔａ"), (std::vector<int>{0}));
  EXPECT_EQ(rows.RowsOf(".mP3"), (std::vector<int>{1}));
  rows.Clear();
  EXPECT_FALSE(rows.Holds(".mp3"));

  VtChangeReport report;
  report.Changed(4, ".mp3", kErrorMachineAssociation);
  report.Changed(4, ".MP3", ERROR_ACCESS_DENIED);
  report.Changed(5, ".ＶＴＡ", ERROR_ACCESS_DENIED);
  report.NotChanged(".ｖｔａ", ERROR_FILE_NOT_FOUND);
  report.Changed(6, ".ok", ERROR_SUCCESS);
  EXPECT_EQ(report.rows(), (std::vector<int>{4, 5, 6}));
  ASSERT_EQ(report.failures().size(), 2u);
  EXPECT_EQ(report.failures()[0].ext, ".mp3");
  EXPECT_EQ(report.failures()[0].result, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(report.failures()[1].result, static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

// Who may replace a player, a folder holding it or one above it, judged on security descriptors
// as Windows has them (no file under Wine is owned by anyone but the user running it).
TEST(Replaceable, OnlySystemAdministratorsTrustedInstallerAndTheRunningAdministratorMayReplace) {
#define VT_TI "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
#define VT_ONE "S-1-5-21-1-2-3-1001"  // a standard user
#define VT_RUNNING "S-1-5-21-0-0-0-1000"
  const VtReplaceKind kFile = VtReplaceKind::kFile, kOwn = VtReplaceKind::kOwnFolder,
                      kAbove = VtReplaceKind::kFolderAbove;
  // C:\Program Files on a clean Windows 10, and a file an administrator installed in it.
  const char kProgramFiles[] =
      "O:" VT_TI "D:PAI(A;;FA;;;" VT_TI ")(A;CIIO;GA;;;" VT_TI ")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)"
      "(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)"
      "(A;;0x1200a9;;;S-1-15-2-1)(A;OICIIO;GXGR;;;S-1-15-2-1)";
  const char kInstalled[] =
      "O:BAD:AI(A;ID;FA;;;SY)(A;ID;FA;;;BA)(A;ID;0x1200a9;;;BU)(A;ID;0x1200a9;;;S-1-15-2-1)";
  // C:\Tools, made by a standard user below C:\ (Authenticated Users' modify on what is below it,
  // CREATOR OWNER's full control made the creator's own ACE).
  const char kUsersFolder[] =
      "O:" VT_ONE "D:AI(A;ID;FA;;;BA)(A;OICIIOID;GA;;;BA)(A;ID;FA;;;SY)(A;OICIIOID;GA;;;SY)"
      "(A;OICIID;0x1200a9;;;BU)(A;OICIID;0x1301bf;;;AU)(A;ID;FA;;;" VT_ONE ")(A;OICIIOID;GA;;;CO)";
  // The same folder had it been made by an administrator, with only the creator's ACE left.
  const char kUserAceOnly[] = "O:BAD:(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" VT_ONE ")";
  // C:\Program Files under Wine: owned by the user running it.
  const char kWine[] =
      "O:" VT_RUNNING "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" VT_RUNNING ")(A;OICI;0x1200a9;;;WD)";
  const struct {
    const char* sddl;
    VtReplaceKind kind;
    const char* admin;
    bool replaceable;
  } kCases[] = {
      {kProgramFiles, kOwn, "", false},
      {kProgramFiles, kAbove, "", false},
      {kInstalled, kFile, "", false},
      {kUsersFolder, kOwn, "", true},
      {kUsersFolder, kAbove, "", true},
      {kUsersFolder, kAbove, VT_ONE, true},  // Authenticated Users may still
      {kUserAceOnly, kFile, "", true},
      {kUserAceOnly, kAbove, "", true},
      {kUserAceOnly, kAbove, VT_ONE, false},  // that user is the administrator running the tool
      {kWine, kFile, VT_RUNNING, false},
      {kWine, kFile, "", true},
      // An owner may rewrite the DACL, so an empty one still lets a foreign owner in.
      {"O:" VT_ONE "D:P(A;;FA;;;SY)", kFile, "", true},
      {"O:" VT_ONE "D:P", kFile, "", true},
      {"O:BAD:P", kFile, "", false},
      {"O:" VT_TI "D:P", kAbove, "", false},
      // What each kind weighs: adding a file replaces nothing above the program's own folder,
      // removing what a folder holds does nothing to a file.
      {"O:BAD:(A;;0x2;;;" VT_ONE ")", kOwn, "", true},
      {"O:BAD:(A;;0x2;;;" VT_ONE ")", kAbove, "", false},
      {"O:BAD:(A;;0x40;;;" VT_ONE ")", kAbove, "", true},
      {"O:BAD:(A;;0x40;;;" VT_ONE ")", kFile, "", false},
      {"O:BAD:(A;;WO;;;" VT_ONE ")", kAbove, "", true},
      {"O:BAD:(A;;0x1200a9;;;" VT_ONE ")", kOwn, "", false},
      {"O:BAD:(A;;0x1301ff;;;WD)", kFile, "", true},
      // Generic rights, and inherit-only ACEs that grant nothing on the object itself.
      {"O:BAD:(A;;GW;;;BU)", kFile, "", true},
      {"O:BAD:(A;;GA;;;WD)", kAbove, "", true},
      {"O:BAD:(A;;GRGX;;;WD)", kOwn, "", false},
      {"O:BAD:(A;OICIIO;GA;;;" VT_ONE ")", kOwn, "", false},
      {"O:BAD:(A;OICIIO;GA;;;CO)", kAbove, "", false},
      // CREATOR OWNER on the object itself is matched by no token; OWNER RIGHTS is the owner's.
      {"O:BAD:(A;;GA;;;CO)", kFile, "", false},
      {"O:BAD:(A;;FA;;;S-1-5-21-1-2-3-1001)(D;;FA;;;WD)", kFile, "", true},
      {"O:BAD:(A;;FA;;;S-1-3-4)", kFile, "", false},
      {"O:" VT_ONE "D:(A;;FA;;;S-1-3-4)", kFile, "", true},
  };
#undef VT_TI
#undef VT_ONE
#undef VT_RUNNING
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.sddl) + " kind " + std::to_string(static_cast<int>(c.kind)) +
                 " admin " + c.admin);
    PSECURITY_DESCRIPTOR made = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(c.sddl, SDDL_REVISION_1,
                                                                     &made, nullptr));
    const VtLocal<void> descriptor(made);
    EXPECT_EQ(OthersMayReplace(descriptor.get(), c.kind, c.admin), c.replaceable);
  }
  // A NULL DACL lets everyone do everything (made by hand: Wine reads "D:NO_ACCESS_CONTROL" as an
  // empty DACL).
  SECURITY_DESCRIPTOR open;
  BYTE administrators[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof administrators;
  ASSERT_TRUE(CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size));
  ASSERT_TRUE(InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorOwner(&open, administrators, FALSE) &&
              SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE));
  EXPECT_TRUE(OthersMayReplace(&open, kFile, ""));
}

}  // namespace
