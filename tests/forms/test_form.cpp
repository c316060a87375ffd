#include "test_form.h"

TTestForm::TTestForm() : TForm({"TFormsTestForm", "テスト", 560, 480}) {
  List = Add<TListView>({"List", nullptr, {0, 0, 544, 241}, nullptr, cfAlignClient});
  Panel = Add<TPanel>({"Panel", nullptr, {0, 241, 544, 201}, nullptr, cfAlignBottom});
  Label = Add<TLabel>({"Label", Panel, {8, 8, 118, 12}, "ラベル", cfNone});
  Edit = Add<TEdit>({"Edit", Panel, {136, 4, 409, 20}, nullptr, cfReadOnly | cfParentColor});
  Combo = Add<TComboBox>({"Combo", Panel, {96, 54, 357, 20}, nullptr, cfNone});
  Group1 = Add<TGroupBox>({"Group1", Panel, {8, 82, 449, 39}, "グループ1", cfNone});
  Radio1 = Add<TRadioButton>({"Radio1", Group1, {8, 16, 141, 17}, "一", cfChecked});
  Radio2 = Add<TRadioButton>({"Radio2", Group1, {170, 16, 73, 17}, "二", cfNone});
  Radio3 = Add<TRadioButton>({"Radio3", Group1, {284, 16, 89, 17}, "三", cfNone});
  Group2 = Add<TGroupBox>({"Group2", Panel, {8, 126, 449, 39}, "グループ2", cfNone});
  Radio4 = Add<TRadioButton>({"Radio4", Group2, {8, 16, 141, 17}, "四", cfChecked});
  Radio5 = Add<TRadioButton>({"Radio5", Group2, {170, 16, 73, 17}, "五", cfNone});
  BtnA = Add<TButton>({"BtnA", Panel, {4, 174, 75, 25}, "情報取得", cfNone});
  BtnB = Add<TButton>({"BtnB", Panel, {96, 174, 75, 25}, "適用", cfDisabled});

  List->AddColumn(L"拡張子", 60);
  List->AddColumn(L"ファイルの種類", 110);
  List->AddColumn(L"command", 210);
  List->AddColumn(L"Icon", 150);
  Combo->AddItems({"Media File", "Audio File", "Video File"});

  List->OnSelectItem = [this](TControl*, TListItem item, bool selected) {
    events.push_back("select " + item.Caption() + (selected ? " on" : " off"));
  };
  Combo->OnChange = [this](TControl*) { events.push_back("change " + Combo->Text()); };
  BtnA->OnClick = [this](TControl*) { events.push_back("click A"); };
  BtnB->OnClick = [this](TControl*) { events.push_back("click B"); };
}

void PrepareApplication() {
  Application.Initialize();
  Application.SetDpi(96);
  Pump();
}

void Pump() { Application.ProcessMessages(); }

HWND ComboEdit(TComboBox* combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof(info);
  return GetComboBoxInfo(combo->Handle(), &info) ? info.hwndItem : nullptr;
}
