#include "mainfrm_layout.h"

namespace {

const TFormArgs kFormArgs = {"TFrmAssoc", "Vantrel Player 関連付け設定ツール", 560, 480};
const unsigned kReadOnlyField = cfReadOnly | cfParentColor;

}  // namespace

// Within each parent, creation order is the tab order, so the panel's children are not created in
// declaration order. Labels take no focus and go first.
TFrmAssocLayout::TFrmAssocLayout() : TForm(kFormArgs) {
  ListView = Add<TListView>({"ListView", nullptr, {0, 0, 544, 241}, nullptr, cfAlignClient});
  ListView->AddColumn("拡張子", 60);
  ListView->AddColumn("ファイルの種類", 110);
  ListView->AddColumn("command", 210);
  ListView->AddColumn("Icon", 150);
  ListView->AddColumn("Windows の既定", 150);
  Panel1 = Add<TPanel>({"Panel1", nullptr, {0, 241, 544, 201}, nullptr, cfAlignBottom});

  Label1 = Add<TLabel>({"Label1", Panel1, {8, 8, 118, 12}, "Vantrel Player のパス", cfNone});
  Label2 = Add<TLabel>({"Label2", Panel1, {8, 33, 36, 12}, "拡張子", cfNone});
  Label3 = Add<TLabel>({"Label3", Panel1, {8, 58, 77, 12}, "ファイルの種類", cfNone});

  Edit1 = Add<TEdit>({"Edit1", Panel1, {136, 4, 409, 20}, nullptr, kReadOnlyField});
  Edit2 = Add<TEdit>({"Edit2", Panel1, {96, 29, 449, 20}, nullptr, kReadOnlyField});
  ComboBox1 = Add<TComboBox>({"ComboBox1", Panel1, {96, 54, 357, 20}, nullptr, cfNone});
  ComboBox1->AddItems({"Media File", "Audio File", "Video File", "MIDI File", "Playlist File"});

  GroupBox1 = Add<TGroupBox>({"GroupBox1", Panel1, {8, 82, 449, 39}, "リストへの追加", cfNone});
  RadioButton1 = Add<TRadioButton>(
      {"RadioButton1", GroupBox1, {8, 16, 141, 17}, "本体の設定に合わせる", cfChecked | cfGroup});
  RadioButton2 =
      Add<TRadioButton>({"RadioButton2", GroupBox1, {170, 16, 73, 17}, "追加する", cfNone});
  RadioButton3 =
      Add<TRadioButton>({"RadioButton3", GroupBox1, {284, 16, 89, 17}, "追加しない", cfNone});

  GroupBox2 =
      Add<TGroupBox>({"GroupBox2", Panel1, {8, 126, 449, 39}, "プレイリスト(*.vnt;*.m3u)", cfNone});
  RadioButton4 = Add<TRadioButton>(
      {"RadioButton4", GroupBox2, {8, 16, 141, 17}, "追加で開く", cfChecked | cfGroup});
  RadioButton5 =
      Add<TRadioButton>({"RadioButton5", GroupBox2, {170, 16, 73, 17}, "新規に開く", cfNone});

  btnInfo = Add<TButton>({"btnInfo", Panel1, {4, 174, 75, 25}, "情報取得", cfNone});
  btnClose = Add<TButton>({"btnClose", Panel1, {96, 174, 75, 25}, "閉じる", cfNone});
  btnApply = Add<TButton>({"btnApply", Panel1, {188, 174, 75, 25}, "適用", cfDisabled});
  btnUnreg = Add<TButton>({"btnUnreg", Panel1, {280, 174, 75, 25}, "解除", cfNone});
  btnUnregAll = Add<TButton>({"btnUnregAll", Panel1, {372, 174, 75, 25}, "すべて解除", cfNone});
  btnRdme = Add<TButton>({"btnRdme", Panel1, {464, 174, 75, 25}, "Readme", cfNone});
  Button7 = Add<TButton>({"Button7", Panel1, {464, 52, 75, 25}, "filetype.ini", cfNone});
  btnDefaultApps =
      Add<TButton>({"btnDefaultApps", Panel1, {464, 89, 75, 25}, "既定のアプリ", cfNone});
  // Beneath the Default Apps button, in the column's free space; the text wraps within it.
  lblScope = Add<TLabel>({"lblScope", Panel1, {464, 124, 80, 40}, nullptr, cfNone});
}
