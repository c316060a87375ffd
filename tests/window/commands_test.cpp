// Register and unregister against the registry, with the confirmations answered by the test.
#include <shlobj.h>

#include <thread>

#include "changelock.h"
#include "defaultappslaunch.h"
#include "handleropen.h"
#include "handle.h"
#include "ownedmutex.h"
#include "regaccess.h"
#include "usersid.h"
#include "window_fixture.h"

namespace {

const char kRegisterQuestion[] =
    "関連付けを実行します。よろしいですか？\r\n関連付けは「解除」で元に戻すことが出来ます。\r\n";

std::string Quoted(const std::string& path) { return "\"" + path + "\" \"%1\""; }

// Counts the notices that associations changed, as Explorer would receive them. Wine delivers them
// only to windows of the process that calls SHChangeNotify, which here is the test's own.
class AssocNotices {
 public:
  AssocNotices() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Receive;
    windowClass.lpszClassName = "VtAssocNotices";
    RegisterClassA(&windowClass);  // fails harmlessly when an earlier test registered it
    window_ =
        CreateWindowA("VtAssocNotices", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SHChangeNotifyEntry everywhere = {nullptr, TRUE};
    id_ = SHChangeNotifyRegister(window_, SHCNRF_ShellLevel | SHCNRF_InterruptLevel,
                                 SHCNE_ASSOCCHANGED, kMessage, 1, &everywhere);
  }
  ~AssocNotices() {
    if (id_ != 0) SHChangeNotifyDeregister(id_);
    DestroyWindow(window_);
  }
  AssocNotices(const AssocNotices&) = delete;
  AssocNotices& operator=(const AssocNotices&) = delete;

  bool listening() const { return id_ != 0; }
  // The notices so far, once the posted ones are handled.
  int Count() {
    Application.ProcessMessages();
    return count_;
  }

 private:
  static const UINT kMessage = WM_APP + 7;
  static LRESULT CALLBACK Receive(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<AssocNotices*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == kMessage && self != nullptr) ++self->count_;
    return DefWindowProcA(window, message, wParam, lParam);
  }

  HWND window_;
  ULONG id_;
  int count_ = 0;
};

}  // namespace

// While Edit1 shows the prompt instead of a path, 「適用」 still asks but changes nothing.
TEST_F(WindowTest, RegisterAsksFirstAndNeedsAnExistingPlayerPath) {
  ASSERT_TRUE(stub_.Start("--no-exe-name --support-ext " + Ext(0)));
  AssocNotices notices;
  Open();
  Select(0);
  boxes_.QueueAnswer(IDCANCEL);
  Click(form_->btnApply);
  Click(form_->btnApply);
  EXPECT_EQ(notices.Count(), 0);
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_EQ(boxes_.Calls()[0].text, kRegisterQuestion);
  EXPECT_EQ(boxes_.Calls()[0].caption, "確認");
  EXPECT_EQ(boxes_.Calls()[0].flags, 257u);
  EXPECT_EQ(Classes(Ext(0)), "(missing)");
}

// Explorer hears of each registration once, not once per extension.
TEST_F(WindowTest, RegisterTakesTypeNameFromComboThenFiletypeIniThenExtension) {
  SeedOther(0, "Other");
  StartPlayer(Ext(0) + ";" + Ext(1) + ";" + Ext(2));
  ASSERT_TRUE(vttest::WriteFileBytes(Beside("filetype.ini"),
                                     "[FileType]\r\n" + Ext(1) + "=ファイル種類\r\n"));
  AssocNotices notices;
  ASSERT_TRUE(notices.listening());
  Open();
  Select(0);
  Type("Audio File");
  Click(form_->btnApply);
  EXPECT_EQ(notices.Count(), 1);
  Select(0, false);
  Select(1);
  Select(2);  // the combo box shows row 1's empty type name
  Click(form_->btnApply);
  EXPECT_EQ(notices.Count(), 2);

  EXPECT_EQ(Classes(Ext(0)), ToolProgId(0));
  EXPECT_EQ(Classes(ToolProgId(0)), "Audio File");
  EXPECT_EQ(Classes(ToolProgId(0), "backup"), OtherProgId(0));
  EXPECT_EQ(Classes(ToolProgId(0) + "\\shell\\open\\command"), Quoted(player_));
  EXPECT_EQ(Classes(ToolProgId(0) + "\\DefaultIcon"), player_ + ",0");
  EXPECT_EQ(Classes(ToolProgId(1)), "ファイル種類");
  EXPECT_EQ(Classes(ToolProgId(1), "backup"), "(missing)");
  EXPECT_EQ(Classes(ToolProgId(2)), Caption(2) + " File");
  EXPECT_EQ(form_->ListView->ItemText(2, 1), Caption(2) + " File");
  EXPECT_EQ(form_->ListView->ItemText(0, 2), Quoted(player_));
}

// A type name in scripts that no ANSI code page holds, as another program registered it: the list
// and the combo box show it, and registering over it keeps it exactly.
TEST_F(WindowTest, ATypeNameInAnyScriptPassesThroughTheListAndTheComboBox) {
  const std::wstring rare = L"\u00c6r\u00f8 \u03a9 \u97f3\u697d";
  SeedOther(0, "Other");
  const std::string other = OtherProgId(0);
  ASSERT_TRUE(vttest::SetRawValueW(HKEY_CLASSES_ROOT, std::wstring(other.begin(), other.end()),
                                   L"", REG_SZ, vttest::WideBytes(rare)));
  StartPlayer(Ext(0));
  Open();
  EXPECT_EQ(form_->ListView->WideItemText(0, 1), rare);
  // Windows keeps an ANSI field's text in the code page, where Wine keeps every field's in UTF-16.
  EXPECT_TRUE(IsWindowUnicode(form_->ComboBox1->Handle()));
  Select(0);
  EXPECT_EQ(form_->ComboBox1->WideText(), rare);
  Click(form_->btnApply);
  DWORD type = 0;
  std::string stored;
  ASSERT_TRUE(vttest::GetStoredValue(HKEY_CLASSES_ROOT, ToolProgId(0), "", &type, &stored));
  EXPECT_EQ(stored, vttest::WideBytes(rare));
  EXPECT_EQ(form_->ListView->WideItemText(0, 1), rare);
}

// Another change of this user's classes running (here a thread that holds its mutex for 300 ms):
// 「適用」 waits for it, then registers, with no box but the question.
TEST_F(WindowTest, RegisterWaitsForAnotherChangeThenRegisters) {
  StartPlayer(Ext(0));
  Open();
  Select(0);
  const VtHandle taken(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread other([&taken] {
    const VtHandle change(
        vttest::CreateMutexOwnedBy(ChangeLockName(VtScope::kUser), UserSidText(), false));
    WaitForSingleObject(change.get(), INFINITE);
    SetEvent(taken.get());
    Sleep(300);
    ReleaseMutex(change.get());
  });
  WaitForSingleObject(taken.get(), INFINITE);
  const DWORD start = GetTickCount();
  Click(form_->btnApply);
  const DWORD spent = GetTickCount() - start;
  other.join();
  EXPECT_GE(spent, 200u);
  EXPECT_EQ(Classes(Ext(0)), ToolProgId(0));
  EXPECT_EQ(boxes_.Calls().size(), 1u);
}

// A lock's name that another account made first: 「適用」 does not wait for it, says so in a box
// and registers nothing.
TEST_F(WindowTest, RegisterRefusesTheLockOfAnotherAccount) {
  StartPlayer(Ext(0));
  Open();
  Select(0);
  const VtHandle squatter(vttest::CreateMutexOwnedBy(ChangeLockName(VtScope::kUser),
                                                     "S-1-5-21-1-2-3-1001", true));
  ASSERT_TRUE(squatter.valid());
  Click(form_->btnApply);
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_NE(boxes_.Calls()[1].text.find("ほかのアカウントが使っている"), std::string::npos);
  EXPECT_EQ(Classes(Ext(0)), "(missing)");
}

// Each registration brings every associated row, selected or not, to the options of the radio
// buttons; playlists take theirs from the second group only.
TEST_F(WindowTest, RegisterPutsTheChosenOptionOnEveryAssociatedRow) {
  if (Classes(".vnt") != "(missing)") GTEST_SKIP() << ".vnt is associated in this prefix";
  StartPlayer(Ext(0));
  Open();
  Select(0);
  Click(form_->btnApply);
  Select(0, false);
  Select(1);  // VNT
  const struct {
    TRadioButton* add;
    TRadioButton* list;
    const char* ext0;
    const char* vnt;
  } steps[] = {{form_->RadioButton2, form_->RadioButton5, " /a", " /clear"},
               {form_->RadioButton3, form_->RadioButton4, " /na", ""},
               {form_->RadioButton1, form_->RadioButton5, "", " /clear"}};
  for (const auto& step : steps) {
    Click(step.add);
    Click(step.list);
    Click(form_->btnApply);
    EXPECT_EQ(Classes(ToolProgId(0) + "\\shell\\open\\command"), Quoted(player_) + step.ext0);
    EXPECT_EQ(Classes("vantrel.VNT\\shell\\open\\command"), Quoted(player_) + step.vnt);
  }
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, ".vnt");
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, "vantrel.VNT");
}

// Rows that CompareNoCase tells apart may name one key (the registry also folds full-width
// letters): the type name chosen for the selected row is the one that key ends with, also when the
// other row comes first in the list.
TEST_F(WindowTest, RegisteringOneOfTwoRowsNamingOneKeyKeepsTheChosenTypeName) {
  const std::string lower = "." + Caption(0) + "ｖ", upper = "." + Caption(0) + "Ｖ";
  StartPlayer(lower + ";" + upper);
  Open();
  Select(0);
  Select(1);
  Type("Old");
  Click(form_->btnApply);
  Select(0, false);
  Type("New");
  Click(form_->btnApply);
  EXPECT_EQ(Classes(ToolProgId(0) + "Ｖ"), "New");
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, lower);
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, ToolProgId(0) + "ｖ");
  for (const std::string& ext : {lower, upper}) vttest::RemoveDefaultApp(ext);
}

// The question comes at the first selected extension that is associated; earlier ones are skipped.
// Ext(0) names another program but a leftover ProgID of the tool exists: unregistering it would
// delete that leftover, which makes a skipped extension visible.
// Explorer hears of an unregister once OK was pressed, once however many extensions go.
TEST_F(WindowTest, UnregisterAsksAtTheFirstAssociatedExtension) {
  SeedOther(0, "Other");
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(0), "", "leftover"));
  StartPlayer(Ext(0) + ";" + Ext(1) + ";" + Ext(0));
  Open();
  Select(1);
  Click(form_->btnApply);
  Select(1, false);
  AssocNotices notices;

  Select(0);
  Click(form_->btnUnreg);  // nothing associated: no question
  EXPECT_EQ(boxes_.Calls().size(), 1u);
  Select(1);
  boxes_.SetAnswer(IDCANCEL);
  Click(form_->btnUnreg);
  EXPECT_EQ(Classes(Ext(1)), ToolProgId(1));
  EXPECT_EQ(notices.Count(), 0);
  boxes_.SetAnswer(IDOK);
  Click(form_->btnUnreg);  // .EXT0;.EXT1: EXT0 skipped
  EXPECT_EQ(boxes_.Calls().size(), 3u);
  EXPECT_EQ(Classes(Ext(1)), "");  // it named nothing before
  EXPECT_EQ(Classes(ToolProgId(0)), "leftover");
  EXPECT_EQ(notices.Count(), 1);

  Select(0, false);
  Select(1);
  Click(form_->btnApply);
  Select(2);  // the player's second .EXT0: .EXT1;.EXT0, and after OK both go
  Click(form_->btnUnreg);
  EXPECT_EQ(Classes(ToolProgId(0)), "(missing)");
  EXPECT_EQ(Classes(Ext(0)), OtherProgId(0));
  EXPECT_EQ(notices.Count(), 3);
}

// Two rows of one extension: 「適用」 registers both with the option; unregistering the first must
// not leave the second showing the old association, or the next registration would register the
// extension again.
TEST_F(WindowTest, UnregisterRefreshesEveryRowOfTheExtension) {
  SeedOther(0, "Other");
  StartPlayer(Ext(0) + ";" + Ext(0) + ";" + Ext(1));
  Open();
  Select(0);
  Click(form_->RadioButton2);
  Click(form_->btnApply);
  EXPECT_EQ(form_->ListView->ItemText(1, 1), "Other");  // both rows registered and refreshed
  EXPECT_EQ(form_->ListView->ItemText(0, 2), Quoted(player_) + " /a");
  EXPECT_EQ(form_->ListView->ItemText(1, 2), Quoted(player_) + " /a");
  EXPECT_EQ(Classes(ToolProgId(0) + "\\shell\\open\\command"), Quoted(player_) + " /a");
  Click(form_->btnUnreg);
  EXPECT_EQ(Classes(Ext(0)), OtherProgId(0));
  EXPECT_EQ(form_->ListView->ItemText(1, 2), "other.exe %1");
  Select(0, false);
  Select(2);
  Click(form_->btnApply);
  EXPECT_EQ(Classes(Ext(0)), OtherProgId(0));
}

// An association of the tool that only the administrator's own classes hold (made by an earlier
// version, or in this user's scope): the row shows the machine's association, which every user
// gets, and 「解除」 asks as for any associated row and restores the user's key.
TEST_F(WindowTest, UnregisterReachesAnAssociationInTheAdministratorsOwnClasses) {
  SeedOther(0, "Other");
  const std::string mine = "VtMine" + Ext(0);
  ASSERT_TRUE(vttest::SetString(HKEY_CURRENT_USER, UserClass(Ext(0)), "", ToolProgId(0)));
  ASSERT_TRUE(vttest::SetString(HKEY_CURRENT_USER, UserClass(ToolProgId(0)), "", "Mine"));
  ASSERT_TRUE(vttest::SetString(HKEY_CURRENT_USER, UserClass(ToolProgId(0)), "backup", mine));
  StartPlayer(Ext(0));
  Open();
  EXPECT_EQ(form_->ListView->ItemText(0, 1), "Other");
  Select(0);
  Click(form_->btnUnreg);
  EXPECT_EQ(boxes_.Calls().size(), 1u);
  std::string named;
  EXPECT_TRUE(vttest::GetString(HKEY_CURRENT_USER, UserClass(Ext(0)), "", &named));
  EXPECT_EQ(named, mine);
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, UserClass(ToolProgId(0))));
  EXPECT_EQ(Classes(Ext(0)), OtherProgId(0));
}

// Pieces of the player's list that Windows never looks up as extensions, and a type by which it
// starts programs: listed, but 「適用」 registers only the others and names each with its reason.
// One an earlier version associated is left to unregister, unasked about, when another row is
// registered.
TEST_F(WindowTest, RegisterNamesEveryExtensionItRefusesWithTheReason) {
  const std::string blank = Ext(1) + " x", dotted = ".tar" + Ext(2);
  const std::string blankKey = "." + Caption(1) + " X", blankOwn = "vantrel" + blankKey;
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, blankKey, "", blankOwn));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, blankOwn, "", "Old"));
  StartPlayer(Ext(0) + ";.bat;" + blank + ";" + dotted);
  const std::string bat = Classes(".bat");
  Open();
  ASSERT_EQ(form_->ListView->ItemText(1, 0), "BAT");
  for (int row = 0; row < 4; ++row) Select(row);
  Click(form_->btnApply);
  EXPECT_EQ(Classes(Ext(0)), ToolProgId(0));
  EXPECT_EQ(Classes(".bat"), bat);
  EXPECT_EQ(Classes("vantrel.BAT"), "(missing)");
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  const std::string& box = boxes_.Calls()[1].text;
  EXPECT_NE(box.find("\r\nBAT: プログラムやショートカットを開く種類"), std::string::npos) << box;
  EXPECT_NE(box.find("\r\n" + Caption(1) + " X: 拡張子として使えない名前"), std::string::npos) << box;
  EXPECT_NE(box.find("\r\nTAR." + Caption(2) + ": 拡張子として使えない名前"), std::string::npos)
      << box;
  EXPECT_EQ(box.find(Caption(0)), std::string::npos) << box;

  for (int row = 1; row < 4; ++row) Select(row, false);
  Click(form_->btnApply);
  EXPECT_EQ(boxes_.Calls().size(), 3u);  // the question alone
  EXPECT_EQ(Classes(blankOwn), "Old");
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, blankKey);
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, blankOwn);
}

TEST_F(WindowTest, UnregisterAllAsksOnceForAFullListAndNeverForAnEmptyOne) {
  AssocNotices notices;
  Open();
  Click(form_->btnUnregAll);
  EXPECT_TRUE(boxes_.Calls().empty());
  Close();
  SeedOther(1, "Other");
  StartPlayer(Ext(0) + ";" + Ext(1));
  Open();
  Select(0);
  Select(1);
  Click(form_->btnApply);
  boxes_.ClearCalls();
  boxes_.QueueAnswer(IDCANCEL);
  Click(form_->btnUnregAll);
  EXPECT_EQ(notices.Count(), 1);
  Click(form_->btnUnregAll);
  EXPECT_EQ(notices.Count(), 2);
  EXPECT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_EQ(Classes(Ext(0)), "");
  EXPECT_EQ(Classes(Ext(1)), OtherProgId(1));
  EXPECT_EQ(Classes(ToolProgId(1)), "(missing)");
}

// Settings has the page of one application from build 22631 on, and on 22000 and 22621 from an
// update on (their UBR); every other Windows 10 and 11 build gets the Default apps page.
TEST(DefaultAppsPlace, AppPageOnlyOnTheBuildsThatHaveIt) {
  EXPECT_EQ(DefaultAppsPlaceFor(10, 21999, 9999), VtDefaultAppsPlace::kSettings);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22000, 1816), VtDefaultAppsPlace::kSettings);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22000, 1817), VtDefaultAppsPlace::kSettingsForApp);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22621, 1554), VtDefaultAppsPlace::kSettings);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22621, 1555), VtDefaultAppsPlace::kSettingsForApp);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22630, 0), VtDefaultAppsPlace::kSettings);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22630, 9999), VtDefaultAppsPlace::kSettings);
  EXPECT_EQ(DefaultAppsPlaceFor(10, 22631, 0), VtDefaultAppsPlace::kSettingsForApp);
}

// The user's registration has a query of its own, and the plain page takes none in either scope.
TEST(DefaultAppsPlace, UriNamesTheRegistrationOfTheScope) {
  EXPECT_EQ(DefaultAppsUri(VtDefaultAppsPlace::kSettingsForApp, true),
            "ms-settings:defaultapps?registeredAppUser=Vantrel%20Player%20%28vntassoc%29");
  EXPECT_EQ(DefaultAppsUri(VtDefaultAppsPlace::kSettings, true), "ms-settings:defaultapps");
}

// The handler of what the buttons open, for an elevated window, comes from the machine's classes
// alone, whatever the user's own classes name: a URI's scheme, a file's ProgID, else its
// extension's key. (Wine merges no user's classes, so the choice is checked, not the launch.)
TEST(HandlerOpen, AnElevatedWindowTakesTheMachinesClassNeverTheUsers) {
  struct Seed {
    const char* key;
    const char* value;
  };
  const Seed seeds[] = {{".vthonamed", "VtHoMachine"}, {"VtHoMachine", "machine ProgID"},
                        {".vthobare", "VtHoMissing"},  {"vthoproto", "machine scheme"}};
  std::vector<std::unique_ptr<vttest::ScratchKey>> keys;
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    for (const char* name : {".vthonamed", "VtHoMachine", ".vthobare", "vthoproto", "VtHoUser"})
      keys.push_back(std::make_unique<vttest::ScratchKey>(hive, std::string("Software\\Classes\\") +
                                                                    name));
  for (const Seed& seed : seeds)
    vttest::SetString(HKEY_LOCAL_MACHINE, std::string("Software\\Classes\\") + seed.key, "",
                      seed.value);
  for (const char* name : {".vthonamed", ".vthobare", "vthoproto"})
    vttest::SetString(HKEY_CURRENT_USER, std::string("Software\\Classes\\") + name, "", "VtHoUser");
  struct Case {
    const char* target;
    const char* shown;  // the default value of the class opened; null: none opened
  };
  const Case cases[] = {{"C:\\tool\\readme.vthonamed", "machine ProgID"},
                        {"C:\\tool\\readme.vthobare", "VtHoMissing"},
                        {"vthoproto:defaultapps?x=1", "machine scheme"},
                        {"C:\\tool.vthonamed\\readme", nullptr},
                        {"C:\\tool\\readme.vthonone", nullptr}};
  for (const Case& c : cases) {
    VtRegistry key;
    ASSERT_EQ(OpenMachineHandlerClass(c.target, &key), c.shown != nullptr) << c.target;
    EXPECT_STREQ(c.shown != nullptr ? key.ReadString("") : nullptr, c.shown) << c.target;
  }
}

// The player installed again elsewhere: each association still opening the old file names it in
// the last column, and the fill asks once, after the list shows. No writes nothing and the next
// 「情報取得」 asks again; Yes registers each again at the player, its option, type name and
// "backup" kept, and names the one whose command was edited by hand, which it leaves.
TEST_F(WindowTest, AMovedPlayerIsNamedAskedAboutAndFollowedOnYes) {
  const std::string old = scratch_.File("old.exe"), gone = scratch_.File("gone.exe");
  ASSERT_TRUE(vttest::WriteFileBytes(old, "MZ"));
  SeedOther(0, "Other");
  const struct {
    const char* type;
    std::string command;
    std::string icon;
  } seeds[] = {{"種類", Quoted(old) + " /na", old + ",0"},
               {"型", Quoted(gone), gone + ",0"},
               {"手", Quoted(old) + " --x", old + ",0"},
               {"今", Quoted(player_), player_ + ",0"}};
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(i), "", ToolProgId(i)));
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(i), "", seeds[i].type));
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(i) + "\\DefaultIcon", "",
                                  seeds[i].icon));
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(i) + "\\shell\\open\\command", "",
                                  seeds[i].command));
  }
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(0), "backup", OtherProgId(0)));
  StartPlayer(Ext(0) + ";" + Ext(1) + ";" + Ext(2) + ";" + Ext(3));
  AssocNotices notices;
  boxes_.QueueAnswer(IDNO);
  Open();
  EXPECT_TRUE(boxes_.Calls().empty());  // not inside the fill
  EXPECT_EQ(Column(4)[0], "以前の場所: " + old);
  EXPECT_EQ(Column(4)[1], "見つかりません: " + gone);
  EXPECT_EQ(Column(4)[3], "");
  Application.ProcessMessages();
  ASSERT_EQ(boxes_.Calls().size(), 1u);
  EXPECT_EQ(boxes_.Calls()[0].text,
            "Vantrel Player の場所が変わりました。\r\n2 個の拡張子が以前の場所のプレーヤーを開きます。"
            "\r\n新しい場所に合わせますか？\r\n" + player_);
  EXPECT_EQ(boxes_.Calls()[0].caption, "確認");
  EXPECT_EQ(boxes_.Calls()[0].flags, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
  EXPECT_EQ(Classes(ToolProgId(0) + "\\shell\\open\\command"), seeds[0].command);
  EXPECT_EQ(notices.Count(), 0);

  boxes_.QueueAnswer(IDYES);
  Click(form_->btnInfo);
  Application.ProcessMessages();
  ASSERT_EQ(boxes_.Calls().size(), 3u);
  EXPECT_NE(boxes_.Calls()[2].text.find(Caption(2) + ": 開くコマンドが手で書き換えられて"),
            std::string::npos);
  EXPECT_EQ(notices.Count(), 1);
  const std::string after[][3] = {{"種類", Quoted(player_) + " /na", player_ + ",0"},
                                  {"型", Quoted(player_), player_ + ",0"},
                                  {"手", seeds[2].command, seeds[2].icon}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Classes(ToolProgId(i)), after[i][0]) << i;
    EXPECT_EQ(Classes(ToolProgId(i) + "\\shell\\open\\command"), after[i][1]) << i;
    EXPECT_EQ(Classes(ToolProgId(i) + "\\DefaultIcon"), after[i][2]) << i;
    EXPECT_EQ(form_->ListView->ItemText(i, 2), after[i][1]) << i;
  }
  EXPECT_EQ(Classes(ToolProgId(0), "backup"), OtherProgId(0));
  EXPECT_EQ(Column(4)[0], "");
  // What is left is edited by hand, which no question offers to change.
  Click(form_->btnInfo);
  Application.ProcessMessages();
  EXPECT_EQ(boxes_.Calls().size(), 3u);
}
