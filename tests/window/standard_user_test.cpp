// Every kind of Windows user: a standard user (the machine's keys made read-only, as Windows grants
// them), and an administrator meeting the user's own classes or a key it may not write. The
// window beside the stand-in player, and the entries it owns.
#include "associnfo.h"
#include "defaultapps.h"
#include "library.h"
#include "readonlytree.h"
#include "regaccess.h"
#include "regdump.h"
#include "window_fixture.h"

namespace {

const char kMachineSoftware[] = "Software";
const char kHeading[] = "次の拡張子は変更できませんでした。";

class StandardUser : public WindowTest {
 protected:
  // Entries made before the window opens compare names through the library's tables.
  void SetUp() override {
    WindowTest::SetUp();
    StartLibrary();
  }

  // The machine's keys of extension i as a standard user must leave them: the extension, the
  // other program's ProgID and the tool's, and the extension's Default Apps value.
  std::string MachineState(int i) const {
    std::string listed = "(none)";
    vttest::GetString(HKEY_LOCAL_MACHINE, kFileAssociationsKey, ("." + Caption(i)).c_str(),
                      &listed, vttest::kView64);
    const vttest::HiveClasses machine(HKEY_LOCAL_MACHINE);
    return vttest::DumpTrees(HKEY_LOCAL_MACHINE,
                             machine.Paths({Ext(i), OtherProgId(i), ToolProgId(i)})) +
           listed;
  }
  // The tool's Default Apps registration of the machine, whole.
  static std::string MachineRegistration() {
    return vttest::DumpTree(HKEY_LOCAL_MACHINE, kAppKey, vttest::kView64) +
           Registered(HKEY_LOCAL_MACHINE);
  }
  static std::string Registered(HKEY hive) {
    std::string value;
    return vttest::GetString(hive, kRegisteredApplicationsKey, kRegisteredAppName, &value,
                             vttest::kView64)
               ? value
               : "(none)";
  }
  std::string User(const std::string& key, const char* name = "") const {
    std::string value;
    return vttest::GetString(HKEY_CURRENT_USER, UserClass(key), name, &value) ? value
                                                                               : "(missing)";
  }
  std::string Row(int row, int column) const { return form_->ListView->ItemText(row, column); }
};

// A standard user sees what an administrator sees, registers in their own classes, unregisters so
// that the machine's association shows again, and leaves every key of the machine as it was.
TEST_F(StandardUser, RegistersAndUnregistersInTheirOwnClassesOnly) {
  SeedOther(0, "Other");
  SeedOther(1, "Second");
  StartPlayer(Ext(0) + ";" + Ext(1));
  const std::string before0 = MachineState(0), before1 = MachineState(1);
  const std::string registration = MachineRegistration();
  {
    vttest::ReadOnlyTree standardUser(HKEY_LOCAL_MACHINE, kMachineSoftware);
    ASSERT_TRUE(standardUser.ok()) << standardUser.failed()[0];
    ASSERT_EQ(WritableScope(), VtScope::kUser);
    Open();
    EXPECT_EQ(form_->lblScope->Text(), "登録先: このユーザー");
    EXPECT_EQ(Row(0, 1), "Other");
    EXPECT_EQ(Row(0, 2), "other.exe %1");
    EXPECT_EQ(Row(0, 3), "other.exe,2");

    Select(0);
    Click(form_->btnApply);
    EXPECT_EQ(User(Ext(0)), ToolProgId(0));
    // The user had no key of their own: there is nothing to restore but the key itself.
    EXPECT_EQ(User(ToolProgId(0), "backup"), "(missing)");
    EXPECT_EQ(User(ToolProgId(0) + "\\shell\\open\\command"), "\"" + player_ + "\" \"%1\"");
    EXPECT_EQ(Row(0, 2), "\"" + player_ + "\" \"%1\"");
    std::string listed;
    EXPECT_TRUE(vttest::GetString(HKEY_CURRENT_USER, kFileAssociationsKey,
                                  ("." + Caption(0)).c_str(), &listed, vttest::kView64));
    EXPECT_EQ(listed, ToolProgId(0));
    EXPECT_EQ(Registered(HKEY_CURRENT_USER), kCapabilitiesKey);
    EXPECT_EQ(Row(1, 1), "Second");  // not brought into the user's classes by the registration
    EXPECT_EQ(User(Ext(1)), "(missing)");

    Click(form_->btnUnregAll);
    EXPECT_TRUE(boxes_.Calls().size() == 2) << "only the two questions";
    EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, UserClass(Ext(0))));
    EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, UserClass(ToolProgId(0))));
    EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, kAppKey, vttest::kView64));
    EXPECT_EQ(Registered(HKEY_CURRENT_USER), "(none)");
    EXPECT_EQ(Row(0, 1), "Other");
    Close();
  }
  EXPECT_EQ(MachineState(0), before0);
  EXPECT_EQ(MachineState(1), before1);
  EXPECT_EQ(MachineRegistration(), registration);
}

// What an administrator associated for every user stays for a standard user, who is told that an
// administrator must unregister it; the user's registration does not copy it into the user's
// classes.
TEST_F(StandardUser, MachineAssociationIsLeftWholeAndReported) {
  SeedOther(0, "Other");
  StartPlayer(Ext(0) + ";" + Ext(1));
  VtAssocInfo machine(Ext(0).c_str());
  ASSERT_EQ(machine.Register(player_.c_str(), L"Machine Type", "/a"), 0u);
  const std::string before = MachineState(0), registration = MachineRegistration();
  {
    vttest::ReadOnlyTree standardUser(HKEY_LOCAL_MACHINE, kMachineSoftware);
    ASSERT_TRUE(standardUser.ok()) << standardUser.failed()[0];
    Open();
    EXPECT_EQ(Row(0, 1), "Machine Type");
    Select(1);
    Click(form_->btnApply);
    EXPECT_EQ(User(Ext(0)), "(missing)");
    EXPECT_EQ(User(Ext(1)), ToolProgId(1));

    boxes_.ClearCalls();
    Click(form_->btnUnregAll);
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    const TMessageBoxStub::Call& report = boxes_.Calls()[1];
    EXPECT_EQ(report.text.find(kHeading), 0u) << report.text;
    EXPECT_NE(report.text.find(Caption(0) + ": "), std::string::npos) << report.text;
    EXPECT_EQ(report.text.find(Caption(1) + ": "), std::string::npos) << report.text;
    EXPECT_EQ(report.caption, form_->Caption());
    EXPECT_EQ(report.flags & MB_ICONMASK, static_cast<UINT>(MB_ICONWARNING));
    EXPECT_EQ(User(Ext(1)), "(missing)");
    EXPECT_EQ(Row(0, 1), "Machine Type");
    Close();
  }
  EXPECT_EQ(MachineState(0), before);
  EXPECT_EQ(MachineRegistration(), registration);
}

// An administrator's すべて解除 unregisters the associations of the machine's classes and of the
// administrator's own, and leaves nothing of the tool's in either.
TEST_F(StandardUser, AdministratorUnregistersTheMachinesAndTheirOwnTogether) {
  SeedOther(0, "Other");
  ASSERT_TRUE(vttest::SetString(HKEY_CURRENT_USER, UserClass(Ext(1)), "", OtherProgId(0)));
  StartPlayer(Ext(0) + ";" + Ext(1));
  VtAssocInfo mine(Ext(1).c_str(), VtScope::kUser);
  ASSERT_EQ(mine.Register(player_.c_str(), L"User Type", ""), 0u);
  ASSERT_EQ(User(ToolProgId(1), "backup"), OtherProgId(0));
  Open();
  EXPECT_EQ(form_->lblScope->Text(), "登録先: すべてのユーザー");
  Select(0);
  Click(form_->btnApply);
  ASSERT_EQ(Classes(Ext(0)), ToolProgId(0));
  Click(form_->btnUnregAll);
  EXPECT_EQ(Classes(Ext(0)), OtherProgId(0));
  EXPECT_EQ(User(Ext(1)), OtherProgId(0));
  for (int i : {0, 1}) {
    EXPECT_FALSE(vttest::KeyExists(HKEY_CLASSES_ROOT, ToolProgId(i)));
    EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, UserClass(ToolProgId(i))));
  }
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    EXPECT_FALSE(vttest::KeyExists(hive, kAppKey, vttest::kView64));
    EXPECT_EQ(Registered(hive), "(none)");
  }
}

// An extension key the administrator may not write: that extension is left exactly as it was,
// with no ProgID of the tool's, and named in the box; the others are registered.
TEST_F(StandardUser, AdministratorsRegisterPastAKeyItMayNotWrite) {
  SeedOther(0, "Other");
  SeedOther(1, "Locked");
  StartPlayer(Ext(0) + ";" + Ext(1));
  const std::string before = MachineState(1);
  {
    vttest::ReadOnlyTree locked(HKEY_LOCAL_MACHINE,
                                vttest::HiveClasses(HKEY_LOCAL_MACHINE).Path(Ext(1)));
    ASSERT_TRUE(locked.ok());
    Open();
    Select(0);
    Select(1);
    Click(form_->btnApply);
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    const std::string& text = boxes_.Calls()[1].text;
    EXPECT_EQ(text.find(kHeading), 0u) << text;
    EXPECT_NE(text.find(Caption(1) + ": "), std::string::npos) << text;
    EXPECT_EQ(text.find(Caption(0) + ": "), std::string::npos) << text;
    EXPECT_EQ(Row(1, 1), "Locked");
    Close();
  }
  EXPECT_EQ(MachineState(1), before);
  EXPECT_EQ(Classes(Ext(0)), ToolProgId(0));
}

// A standard user whose player moved: the machine's association, which only an administrator may
// change, is named but not asked about; the user's own is, and Yes changes that one alone.
TEST_F(StandardUser, AMovedPlayerIsFollowedInTheUsersOwnClassesOnly) {
  const std::string old = "\"" + scratch_.File("old.exe") + "\" \"%1\"";
  ASSERT_TRUE(vttest::WriteFileBytes(scratch_.File("old.exe"), "MZ"));
  const vttest::HiveClasses machine(HKEY_LOCAL_MACHINE);
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    const int i = hive == HKEY_LOCAL_MACHINE ? 0 : 1;
    const auto path = [&](const std::string& key) {
      return hive == HKEY_LOCAL_MACHINE ? machine.Path(key) : UserClass(key);
    };
    ASSERT_TRUE(vttest::SetString(hive, path(Ext(i)), "", ToolProgId(i)));
    ASSERT_TRUE(vttest::SetString(hive, path(ToolProgId(i) + "\\shell\\open\\command"), "", old));
  }
  StartPlayer(Ext(0) + ";" + Ext(1));
  const std::string before = MachineState(0);
  vttest::ReadOnlyTree standardUser(HKEY_LOCAL_MACHINE, kMachineSoftware);
  ASSERT_TRUE(standardUser.ok()) << standardUser.failed()[0];
  boxes_.SetAnswer(IDYES);
  Open();
  EXPECT_EQ(Row(0, 4), "以前の場所: " + scratch_.File("old.exe"));
  Application.ProcessMessages();
  ASSERT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_NE(boxes_.Calls()[0].text.find("\r\n1 個の拡張子"), std::string::npos);
  EXPECT_EQ(User(ToolProgId(1) + "\\shell\\open\\command"), "\"" + player_ + "\" \"%1\"");
  EXPECT_EQ(MachineState(0), before);
}

}  // namespace
