// Filling the list from the player's answers, and what the selection shows.
#include <string>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "defaultapps.h"
#include "process.h"
#include "window_fixture.h"

using Rows = std::vector<std::string>;
const char kPrompt[] = "Vantrel Player を起動後、「情報取得」をクリックして下さい";

TEST_F(WindowTest, FillShowsEachExtensionWithItsRegistryStateThenThePlaylists) {
  SeedOther(0, "他社 オーディオ");
  StartPlayer(Ext(0) + ";" + Ext(1));
  Open();
  EXPECT_EQ(form_->Edit1->Text(), player_);
  EXPECT_EQ(Column(0), (Rows{Caption(0), Caption(1), "VNT", "M3U"}));
  EXPECT_EQ(form_->ListView->ItemText(0, 1), "他社 オーディオ");
  EXPECT_EQ(form_->ListView->ItemText(0, 2), "other.exe %1");
  EXPECT_EQ(form_->ListView->ItemText(0, 3), "other.exe,2");
  EXPECT_EQ(form_->ListView->ItemText(1, 1) + form_->ListView->ItemText(1, 2), "");
  EXPECT_FALSE(form_->btnApply->Enabled());
  EXPECT_TRUE(form_->btnUnreg->Enabled());
  EXPECT_EQ(form_->Caption(), "Vantrel Player 関連付け設定ツール Version 0.02.2012.0910");
}

struct Reply {
  const char* name;
  const char* options;
  const char* edit1;  // null: the player's path
  Rows captions;
};

void PrintTo(const Reply& value, std::ostream* out) { *out << value.name; }

class ReplyTest : public WindowTest, public ::testing::WithParamInterface<Reply> {};

TEST_P(ReplyTest, RowsFollowTheAnswerPieceByPiece) {
  ASSERT_TRUE(stub_.StartAt(player_, GetParam().options));
  Open();
  EXPECT_EQ(form_->Edit1->Text(), GetParam().edit1 != nullptr ? GetParam().edit1 : player_);
  EXPECT_EQ(Column(0), GetParam().captions);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ReplyTest,
    ::testing::Values(
        Reply{"EmptyAnswer", "--support-ext-empty", nullptr, {"", "VNT", "M3U"}},
        Reply{"TrailingSeparator", "--support-ext .Mp3;", nullptr, {"MP3", "", "VNT", "M3U"}},
        Reply{"PlaylistTwice", "--support-ext .vnt", nullptr, {"VNT", "VNT", "M3U"}},
        // A caption drops the first whole character, never half of one.
        Reply{"DoubleByteFirstCharacter",
              "--support-ext ア;.アイ",
              nullptr,
              {"", "アイ", "VNT", "M3U"}},
        Reply{"NoExtensions", "--no-support-ext", nullptr, {}},
        Reply{"NotRunningWithoutMutex", "--no-mutex", kPrompt, {}},
        Reply{"NoPath", "--no-exe-name --support-ext .wav", kPrompt, {"WAV", "VNT", "M3U"}},
        Reply{"EmptyPath", "--exe-name-empty --support-ext .wav", "", {"WAV", "VNT", "M3U"}},
        // A share is never looked up: its host would be asked with this user's credentials.
        Reply{"SharePath",
              "--exe-name \\\\vthost\\share\\vantrel.exe --support-ext .wav",
              kPrompt,
              {"WAV", "VNT", "M3U"}}),
    [](const ::testing::TestParamInfo<Reply>& test) { return std::string(test.param.name); });

// The player's own path counts however it is spelled: the long form, the short 8.3 form, another
// letter case. Edit1 shows it as the player gave it.
TEST_F(WindowTest, ThePlayersOwnPathIsTakenHoweverItIsSpelled) {
  ASSERT_TRUE(CopyFileA(vttest::StubPath().c_str(), player_.c_str(), FALSE));
  char shortForm[MAX_PATH];
  const DWORD length = GetShortPathNameA(player_.c_str(), shortForm, sizeof shortForm);
  ASSERT_TRUE(length > 0 && length < sizeof shortForm);
  ASSERT_NE(shortForm, player_);
  std::string upper = player_;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  for (const std::string& spelling : {std::string(shortForm), upper}) {
    ASSERT_TRUE(stub_.StartAt(player_, "--exe-name \"" + spelling + "\" --support-ext " + Ext(0)));
    Open();
    EXPECT_EQ(form_->Edit1->Text(), spelling);
    Close();
  }
}

// A program posing as the player, running from elsewhere under the player's name, names the
// player's file: that path is not offered, and 「適用」 writes nothing. Its extensions are listed.
TEST_F(WindowTest, APathTheAnsweringProgramDoesNotRunIsNotTaken) {
  const std::string elsewhere = scratch_.File("elsewhere");
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  ASSERT_TRUE(stub_.StartAt(elsewhere + "\\vantrel.exe",
                            "--exe-name \"" + player_ + "\" --support-ext " + Ext(0)));
  Open();
  EXPECT_EQ(form_->Edit1->Text(), kPrompt);
  EXPECT_EQ(Column(0), (Rows{Caption(0), "VNT", "M3U"}));
  Select(0);
  Click(form_->btnApply);
  EXPECT_EQ(boxes_.Calls().size(), 1u);  // confirmed
  EXPECT_EQ(Classes(Ext(0)), "(missing)");
  EXPECT_EQ(Classes(ToolProgId(0)), "(missing)");
}

// The player's own path, which the shell would misread in an open command ("%" is read as "%1",
// "%L", ...): treated as no path, and 「適用」 writes nothing.
TEST_F(WindowTest, APathThatCannotStandInAnOpenCommandIsNotTaken) {
  const std::string folder = scratch_.File("50%");
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_TRUE(stub_.StartAt(folder + "\\vantrel.exe", "--support-ext " + Ext(0)));
  Open();
  EXPECT_EQ(form_->Edit1->Text(), kPrompt);
  Select(0);
  Click(form_->btnApply);
  EXPECT_EQ(Classes(Ext(0)), "(missing)");
  EXPECT_EQ(Classes(ToolProgId(0)), "(missing)");
}

namespace {

// The profile every user shares, inside the profiles folder; empty when it is not known.
std::string PublicProfile() {
  char profile[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("PUBLIC", profile, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(profile, length) : std::string();
}

}  // namespace

// A player in the profiles folder (the command line's test has one in the temporary folder): the
// label says so as soon as its path is known, and 「適用」 registers in this user's classes, never
// the machine's.
TEST_F(WindowTest, APlayerInAUsersOwnFolderIsRegisteredForThatUserOnly) {
  const std::string profile = PublicProfile();
  ASSERT_FALSE(profile.empty());
  vttest::ScratchDir userFolder(profile);
  const std::string player = userFolder.File("vantrel.exe");
  ASSERT_TRUE(stub_.StartAt(player, "--support-ext " + Ext(0)));
  Open();
  EXPECT_EQ(form_->Edit1->Text(), player);
  EXPECT_EQ(form_->lblScope->Text(), "登録先: このユーザー");
  Select(0);
  Click(form_->btnApply);
  EXPECT_EQ(Classes(Ext(0)), "(missing)");
  std::string named;
  EXPECT_TRUE(vttest::GetString(HKEY_CURRENT_USER, UserClass(Ext(0)), "", &named));
  EXPECT_EQ(named, ToolProgId(0));
  Close();
  stub_.Close();  // before its folder goes
}

// Judged where the file is and by who may replace it: a player reached through a link into the
// profiles folder, and one in a folder other users may write, are this user's only from the start.
TEST_F(WindowTest, APlayerLinkedIntoAProfileOrReplaceableByOthersIsForThisUserOnly) {
  const std::string profile = PublicProfile();
  ASSERT_FALSE(profile.empty());
  vttest::ScratchDir userFolder(profile);
  const std::string open = scratch_.File("open");
  ASSERT_TRUE(CreateDirectoryA(open.c_str(), nullptr));
  // Removed before the scratch folders go, which would otherwise be emptied through it.
  struct HostLink {
    std::string host;
    ~HostLink() { vttest::RunHostCommand("rm -f '" + host + "'"); }
  } link{vttest::HostPath(scratch_.path()) + "link"};
  vttest::RunHostCommand("chmod o+w '" + vttest::HostPath(open) + "' && ln -s '" +
                         vttest::HostPath(userFolder.path()) + "' '" + link.host + "'");
  // A host program's end may not come through to Wine: wait for what it made.
  const std::string linked = scratch_.File("link");
  for (int i = 0; i < 100 && GetFileAttributesA(linked.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  for (const std::string& player : {scratch_.File("link\\vantrel.exe"), open + "\\vantrel.exe"}) {
    ASSERT_TRUE(stub_.StartAt(player, "--support-ext " + Ext(0))) << player;
    Open();
    EXPECT_EQ(form_->Edit1->Text(), player);
    EXPECT_EQ(form_->lblScope->Text(), "登録先: このユーザー") << player;
    Select(0);
    Click(form_->btnApply);
    EXPECT_EQ(Classes(Ext(0)), "(missing)") << player;
    std::string named;
    EXPECT_TRUE(vttest::GetString(HKEY_CURRENT_USER, UserClass(Ext(0)), "", &named)) << player;
    EXPECT_EQ(named, ToolProgId(0));
    Close();
    stub_.Close();
    vttest::DeleteKeyTree(HKEY_CURRENT_USER, UserClass(Ext(0)));
  }
}

TEST_F(WindowTest, SelectionShowsExtensionsTypeNameAndEnablesRegister) {
  SeedOther(0, "Other Audio");
  StartPlayer(Ext(0) + ";" + Ext(1));
  Open();
  Select(0);
  EXPECT_EQ(form_->Edit2->Text(), "." + Caption(0));
  EXPECT_EQ(form_->ComboBox1->Text(), "Other Audio");
  EXPECT_TRUE(form_->btnApply->Enabled());
  Select(1);
  EXPECT_EQ(form_->Edit2->Text(), "." + Caption(0) + ";." + Caption(1));
  EXPECT_EQ(form_->ComboBox1->Text(), "Other Audio");
  Select(0, false);  // only the row without a type name is left
  EXPECT_EQ(form_->ComboBox1->Text(), "");
  Select(1, false);
  EXPECT_EQ(form_->Edit2->Text(), "");
  EXPECT_FALSE(form_->btnApply->Enabled());
}

TEST_F(WindowTest, OnlyTypingDecidesUnregisterAndSelectionTextIsNoTyping) {
  StartPlayer(Ext(0));
  Open();
  Type("x");  // nothing selected
  EXPECT_FALSE(form_->btnUnreg->Enabled());
  Select(0);  // puts the row's type name into the combo box from code
  EXPECT_FALSE(form_->btnUnreg->Enabled());
  Type("y");
  EXPECT_TRUE(form_->btnUnreg->Enabled());
  EXPECT_TRUE(form_->btnApply->Enabled());
}

TEST_F(WindowTest, RefillShowsTheRegistryNowAndKeepsTheSelectionText) {
  StartPlayer(Ext(0));
  Open();
  Select(0);
  SeedOther(0, "Later");
  Click(form_->btnInfo);
  EXPECT_EQ(Column(1), (Rows{"Later", "", ""}));
  EXPECT_EQ(form_->Edit2->Text(), "." + Caption(0));
  EXPECT_TRUE(form_->btnApply->Enabled());
}

// The last column follows the entry wherever a row is refreshed, and is empty without a choice. The
// registration refreshes the row of .exe without registering it, so the entry keeps the choice set
// here.
TEST_F(WindowTest, LastColumnShowsTheUsersOwnChoiceOnEveryRefresh) {
  StartPlayer(".exe;" + Ext(0));
  Open();
  VtAssocInfo* entry = form_->Entry(0);
  ASSERT_NE(entry, nullptr);
  ReplaceText(&entry->userChoice, DupText("他社プレーヤー"));
  Select(0);
  Click(form_->btnApply);
  EXPECT_EQ(form_->ListView->ItemText(0, 4), "他社プレーヤー");
  ReplaceText(&entry->userChoice, nullptr);
  Click(form_->btnApply);
  EXPECT_EQ(form_->ListView->ItemText(0, 4), "");
}

// The way back never depends on the player: without it, every association of the tool's is listed,
// found through its Default Apps registration or, as the tool wrote them before it had one, through
// the ProgID key alone.
TEST_F(WindowTest, WithoutThePlayerTheToolsOwnAssociationsAreListed) {
  StartPlayer(Ext(0));
  Open();
  Select(0);
  Click(form_->btnApply);
  Close();
  stub_.Close();
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(1), "", ToolProgId(1)));
  // Key names ignore letter case; so does the search for the tool's ProgID keys.
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, "VanTrel." + Caption(1), "", "Old Style"));
  Open();
  EXPECT_EQ(form_->Edit1->Text(), kPrompt);
  EXPECT_EQ(Column(0), (Rows{Caption(0), Caption(1)}));
  EXPECT_EQ(Column(1), (Rows{Caption(0) + " File", "Old Style"}));
}

// A start without the player trusts the classes' memo in the options file while the classes key's
// last-write time stands; 情報取得 walks the classes anew whatever the memo says.
TEST_F(WindowTest, TheStartTrustsTheClassesMemoAndInfoWalksAnew) {
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(0), "", ToolProgId(0)));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(0), "", "Old Style"));
  ASSERT_TRUE(vttest::WriteFileBytes(
      OptionsPath(), "[classes]\r\nmachine=" + vttest::MachineClassesWritten() + "\r\n"));
  Open();
  EXPECT_EQ(Column(0), Rows{});
  Click(form_->btnInfo);
  EXPECT_EQ(Column(0), Rows{Caption(0)});
}

// The player's list first, as always; then what the tool associated and the player no longer names,
// once each.
TEST_F(WindowTest, AnExtensionThePlayerNoLongerNamesKeepsItsRow) {
  StartPlayer(Ext(0) + ";" + Ext(1));
  Open();
  Select(0);
  Select(1);
  Click(form_->btnApply);
  Close();
  StartPlayer(Ext(0));
  Open();
  EXPECT_EQ(Column(0), (Rows{Caption(0), "VNT", "M3U", Caption(1)}));
  EXPECT_EQ(form_->ListView->ItemText(3, 1), Caption(1) + " File");
}

// Candidates that are not the tool's association: a Default Apps value naming another program's
// ProgID or of another type, a ProgID key of the tool's that no extension names. None gets a row,
// so "すべて解除" beside them touches nothing of theirs. A Default Apps value of the tool's whose
// ProgID is gone does get one, so that "すべて解除" can take it back.
TEST_F(WindowTest, NoRowForWhatIsNotTheToolsAssociation) {
  auto listed = [](const std::string& name, DWORD type, const std::string& bytes) {
    return vttest::SetRawValue(HKEY_LOCAL_MACHINE, kFileAssociationsKey, name.c_str(), type,
                               bytes.c_str(), static_cast<DWORD>(bytes.size() + 1),
                               vttest::kView64);
  };
  SeedOther(0, "Other");
  ASSERT_TRUE(listed("." + Caption(0), REG_SZ, OtherProgId(0)));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(0), "", "leftover"));
  ASSERT_TRUE(listed("." + Caption(1), REG_DWORD, "\1\0\0"));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(2), "", ToolProgId(2)));
  ASSERT_TRUE(listed("." + Caption(2), REG_SZ, ToolProgId(2)));
  SeedOther(3, "Third");
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(3), "", ToolProgId(3)));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(3), "backup", OtherProgId(3)));
  Open();
  EXPECT_EQ(Column(0), (Rows{Caption(2), Caption(3)}));
  Click(form_->btnUnregAll);
  EXPECT_EQ(Classes(Ext(3)), OtherProgId(3));
  EXPECT_EQ(Classes(Ext(0)), OtherProgId(0));
  EXPECT_EQ(Classes(OtherProgId(0) + "\\shell\\open\\command"), "other.exe %1");
  EXPECT_EQ(Classes(ToolProgId(0)), "leftover");
  EXPECT_EQ(Classes(Ext(1)), "(missing)");
  EXPECT_EQ(Classes(Ext(2)), "(missing)");
  const std::string listed2 = "." + Caption(2);
  EXPECT_FALSE(vttest::ValueExists(HKEY_LOCAL_MACHINE, kFileAssociationsKey, listed2.c_str(),
                                   vttest::kView64));
  const std::string listed0 = "." + Caption(0);
  std::string value;
  EXPECT_TRUE(vttest::GetString(HKEY_LOCAL_MACHINE, kFileAssociationsKey, listed0.c_str(), &value,
                                vttest::kView64));
  EXPECT_EQ(value, OtherProgId(0));
}

