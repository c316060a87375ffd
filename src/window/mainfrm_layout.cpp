#include "mainfrm_layout.h"

#include "uitext.h"
#include "windowtexts.h"

namespace {

const TFormArgs kFormArgs = {"TFrmAssoc", nullptr, 560, 480};
const unsigned kReadOnlyField = cfReadOnly | cfParentColor;

}  // namespace

// The Japanese captions fit the window as designed. The English ones, in the system's message font
// (the Shift-JIS form font has no glyphs for other languages), need a wider column "Extension",
// more room for "Extensions", a wider right-hand column for "Default apps" and a wider button for
// "Unregister all", which the buttons left of it close up to make room for.
struct TLanguageLayout {
  bool messageFont;
  int extensionColumn;
  int label2Width;
  int sideLeft;
  int sideWidth;
  int commandStep;
  int unregAllWidth;
};

namespace {

const TLanguageLayout kJapaneseLayout = {false, 60, 36, 464, 75, 92, 75};
const TLanguageLayout kEnglishLayout = {true, 72, 84, 460, 80, 88, 95};

}  // namespace

// Within each parent, creation order is the tab order, so the panel's children are not created in
// declaration order. Labels take no focus and go first.
TFrmAssocLayout::TFrmAssocLayout() : TForm(kFormArgs) {
  const TLanguageLayout& language = VtJapaneseUi() ? kJapaneseLayout : kEnglishLayout;
  SetCaption(VtText(IDS_TITLE));
  if (language.messageFont) UseMessageFont();
  AddList(language);
  Panel1 = Add<TPanel>({"Panel1", nullptr, {0, 241, 544, 201}, nullptr, cfAlignBottom});
  AddFields(language);
  AddOpenedFilesChoice();
  AddPlaylistChoice();
  AddCommandRow(language);
  AddSideColumn(language);
}

void TFrmAssocLayout::AddList(const TLanguageLayout& language) {
  ListView = Add<TListView>({"ListView", nullptr, {0, 0, 544, 241}, nullptr, cfAlignClient});
  ListView->AddColumn(VtText(IDS_COLUMN_EXTENSION), language.extensionColumn);
  ListView->AddColumn(VtText(IDS_COLUMN_TYPE), 110);
  ListView->AddColumn(VtText(IDS_COLUMN_COMMAND), 210);
  ListView->AddColumn(VtText(IDS_COLUMN_ICON), 150);
  ListView->AddColumn(VtText(IDS_COLUMN_DEFAULT), 150);
}

void TFrmAssocLayout::AddFields(const TLanguageLayout& language) {
  Label1 =
      Add<TLabel>({"Label1", Panel1, {8, 8, 118, 12}, nullptr, cfNone}, VtText(IDS_LABEL_PATH));
  Label2 = Add<TLabel>({"Label2", Panel1, {8, 33, language.label2Width, 12}, nullptr, cfNone},
                       VtText(IDS_LABEL_EXTENSIONS));
  Label3 =
      Add<TLabel>({"Label3", Panel1, {8, 58, 77, 12}, nullptr, cfNone}, VtText(IDS_LABEL_TYPE));

  Edit1 = Add<TEdit>({"Edit1", Panel1, {136, 4, 409, 20}, nullptr, kReadOnlyField});
  Edit2 = Add<TEdit>({"Edit2", Panel1, {96, 29, 449, 20}, nullptr, kReadOnlyField});
  ComboBox1 = Add<TComboBox>({"ComboBox1", Panel1, {96, 54, 357, 20}, nullptr, cfNone});
  ComboBox1->AddItems({"Media File", "Audio File", "Video File", "MIDI File", "Playlist File"});
}

void TFrmAssocLayout::AddOpenedFilesChoice() {
  GroupBox1 = Add<TGroupBox>({"GroupBox1", Panel1, {8, 82, 449, 39}, nullptr, cfNone},
                             VtText(IDS_GROUP_ADD));
  RadioButton1 =
      Add<TRadioButton>({"RadioButton1", GroupBox1, {8, 16, 141, 17}, nullptr, cfChecked | cfGroup},
                        VtText(IDS_ADD_PLAYER));
  RadioButton2 = Add<TRadioButton>({"RadioButton2", GroupBox1, {170, 16, 73, 17}, nullptr, cfNone},
                                   VtText(IDS_ADD_YES));
  RadioButton3 = Add<TRadioButton>({"RadioButton3", GroupBox1, {284, 16, 89, 17}, nullptr, cfNone},
                                   VtText(IDS_ADD_NO));
}

void TFrmAssocLayout::AddPlaylistChoice() {
  GroupBox2 = Add<TGroupBox>({"GroupBox2", Panel1, {8, 126, 449, 39}, nullptr, cfNone},
                             VtText(IDS_GROUP_PLAYLIST));
  RadioButton4 =
      Add<TRadioButton>({"RadioButton4", GroupBox2, {8, 16, 141, 17}, nullptr, cfChecked | cfGroup},
                        VtText(IDS_PLAYLIST_ADD));
  RadioButton5 = Add<TRadioButton>({"RadioButton5", GroupBox2, {170, 16, 73, 17}, nullptr, cfNone},
                                   VtText(IDS_PLAYLIST_NEW));
}

void TFrmAssocLayout::AddCommandRow(const TLanguageLayout& language) {
  const int step = language.commandStep;
  btnInfo =
      Add<TButton>({"btnInfo", Panel1, {4, 174, 75, 25}, nullptr, cfNone}, VtText(IDS_BUTTON_INFO));
  btnClose = Add<TButton>({"btnClose", Panel1, {4 + step, 174, 75, 25}, nullptr, cfNone},
                          VtText(IDS_BUTTON_CLOSE));
  btnApply = Add<TButton>({"btnApply", Panel1, {4 + 2 * step, 174, 75, 25}, nullptr, cfDisabled},
                          VtText(IDS_BUTTON_APPLY));
  btnUnreg = Add<TButton>({"btnUnreg", Panel1, {4 + 3 * step, 174, 75, 25}, nullptr, cfNone},
                          VtText(IDS_BUTTON_UNREG));
  btnUnregAll = Add<TButton>(
      {"btnUnregAll", Panel1, {4 + 4 * step, 174, language.unregAllWidth, 25}, nullptr, cfNone},
      VtText(IDS_BUTTON_UNREGALL));
  btnRdme = Add<TButton>({"btnRdme", Panel1, {464, 174, 75, 25}, nullptr, cfNone},
                         VtText(IDS_BUTTON_README));
}

void TFrmAssocLayout::AddSideColumn(const TLanguageLayout& language) {
  const int left = language.sideLeft, width = language.sideWidth;
  Button7 = Add<TButton>({"Button7", Panel1, {left, 52, width, 25}, nullptr, cfNone},
                         VtText(IDS_BUTTON_TYPEFILE));
  btnDefaultApps = Add<TButton>({"btnDefaultApps", Panel1, {left, 89, width, 25}, nullptr, cfNone},
                                VtText(IDS_BUTTON_DEFAULTAPPS));
  // Beneath the Default Apps button, in the column's free space; the text wraps within it.
  lblScope = Add<TLabel>({"lblScope", Panel1, {left, 124, 80, 40}, nullptr, cfNone});
}
