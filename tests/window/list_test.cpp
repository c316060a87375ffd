// Filling the list from the player's answers, and what the selection shows.
#include <string>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
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
  ASSERT_TRUE(stub_.Start(std::string("--exe-name \"") + player_ + "\" " + GetParam().options));
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
        Reply{"EmptyPath", "--exe-name-empty --support-ext .wav", "", {"WAV", "VNT", "M3U"}}),
    [](const ::testing::TestParamInfo<Reply>& test) { return std::string(test.param.name); });

TEST_F(WindowTest, SelectionShowsExtensionsTypeNameAndEnablesApply) {
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
// apply refreshes the row of .exe without registering it, so the entry keeps the choice set here.
TEST_F(WindowTest, LastColumnShowsTheUsersOwnChoiceOnEveryRefresh) {
  StartPlayer(".exe;" + Ext(0));
  Open();
  auto* entry = static_cast<VtAssocInfo*>(form_->ListView->ItemData(0));
  ASSERT_NE(entry, nullptr);
  ReplaceText(&entry->userChoice, DupText("他社プレーヤー"));
  Select(0);
  Click(form_->btnApply);
  EXPECT_EQ(form_->ListView->ItemText(0, 4), "他社プレーヤー");
  ReplaceText(&entry->userChoice, nullptr);
  Click(form_->btnApply);
  EXPECT_EQ(form_->ListView->ItemText(0, 4), "");
}
