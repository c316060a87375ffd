// The options file beside the executable and the path record for the sibling product.
#include "library.h"
#include "window_fixture.h"

namespace {

const char kMaker[] = "Software\\Zemrath's Soft";
const char kSearchPath[] = "Software\\Zemrath's Soft\\Sorvik Player\\SearchPath";

// The file's text up to the classes' memo that a start without the player appends.
std::string ReadText(const std::string& path) {
  std::string text;
  if (!vttest::ReadFileBytes(path, &text)) return "(missing)";
  return text.substr(0, text.find("[classes]\r\n"));
}

}  // namespace

TEST_F(WindowTest, WithoutOptionsFileDefaultsAreCheckedAndTheUsersChoiceIsWritten) {
  Open();
  EXPECT_TRUE(form_->RadioButton1->Checked());
  EXPECT_TRUE(form_->RadioButton4->Checked());
  Click(form_->RadioButton3);
  Click(form_->RadioButton5);
  Close();
  EXPECT_EQ(ReadText(OptionsPath()), "[vntassoc]\r\nAddOption=0\r\nListOption=1\r\n");
}

struct StoredOptions {
  const char* name;
  const char* stored;
  int addButton;   // 1..3 checked
  int listButton;  // 4..5 checked
  const char* written;
};

void PrintTo(const StoredOptions& value, std::ostream* out) { *out << value.name; }

class OptionsFileTest : public WindowTest, public ::testing::WithParamInterface<StoredOptions> {};

// Values out of range read as the defaults; other sections and keys survive the rewrite.
TEST_P(OptionsFileTest, StoredValuesCheckTheirButtonsAndComeBackInRange) {
  const std::string file =
      std::string("[other]\r\nkeep=1\r\n[vntassoc]\r\n") + GetParam().stored + "mine=x\r\n";
  ASSERT_TRUE(vttest::WriteFileBytes(OptionsPath(), file));
  Open();
  TRadioButton* buttons[] = {form_->RadioButton1, form_->RadioButton2, form_->RadioButton3,
                             form_->RadioButton4, form_->RadioButton5};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(buttons[i]->Checked(),
              i + 1 == GetParam().addButton || i + 1 == GetParam().listButton)
        << i;
  }
  Close();
  EXPECT_EQ(ReadText(OptionsPath()),
            std::string("[other]\r\nkeep=1\r\n[vntassoc]\r\n") + GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(
    Values, OptionsFileTest,
    ::testing::Values(StoredOptions{"OutOfRange", "AddOption=5\r\nListOption=-3\r\n", 1, 4,
                                    "AddOption=-1\r\nListOption=0\r\nmine=x\r\n"},
                      StoredOptions{"AddAndNewList", "AddOption=1\r\nListOption=1\r\n", 2, 5,
                                    "AddOption=1\r\nListOption=1\r\nmine=x\r\n"},
                      StoredOptions{"DoNotAddAndNoNumber", "AddOption=0\r\nListOption=abc\r\n", 3,
                                    4, "AddOption=0\r\nListOption=0\r\nmine=x\r\n"}),
    [](const ::testing::TestParamInfo<StoredOptions>& test) {
      return std::string(test.param.name);
    });

TEST_F(WindowTest, PathIsRecordedOnlyWhereTheSiblingsKeyExists) {
  if (vttest::KeyExists(HKEY_CURRENT_USER, kMaker))
    GTEST_SKIP() << "the sibling product is installed";
  vttest::ScratchKey maker(HKEY_CURRENT_USER, kMaker);
  Open();
  Close();
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, kSearchPath));

  ASSERT_TRUE(vttest::SetString(HKEY_CURRENT_USER, kSearchPath, "vntassoc", "old"));
  Open();
  std::string recorded;
  EXPECT_TRUE(vttest::GetString(HKEY_CURRENT_USER, kSearchPath, "vntassoc", &recorded));
  EXPECT_EQ(recorded, exeFile);
}
