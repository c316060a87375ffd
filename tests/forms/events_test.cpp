// Only the user's actions are events: real messages from outside the framework raise them, changes
// made through the framework do not.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "test_form.h"

namespace {

class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareApplication();
    form.Show();
    Pump();
  }

  // A selection change as a click would make it, sent past the framework.
  void SetSelected(int index, bool selected) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    SendMessageA(form.List->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&item));
  }

  void Type(const char* text) {
    HWND edit = ComboEdit(form.Combo);
    for (const char* p = text; *p; ++p) {
      SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*p), 1);
    }
  }

  TTestForm form;
};

TEST_F(EventsTest, ButtonClickMessageRaisesClick) {
  SendMessageA(form.BtnA->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(form.events, (std::vector<std::string>{"click A"}));
}

TEST_F(EventsTest, ButtonsInsideNestedContainersReachTheForm) {
  // Radio buttons sit in a group box inside the panel: two levels of forwarding.
  int clicks = 0;
  form.Radio2->OnClick = [&](TControl* sender) {
    EXPECT_EQ(sender, form.Radio2);
    ++clicks;
  };
  SendMessageA(form.Radio2->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(form.Radio2->Checked());
}

TEST_F(EventsTest, ListSelectionFromOutsideRaisesEvents) {
  form.List->AddItem("MP3", {"Audio", "cmd", "icon"});
  form.List->AddItem("WAV", {"Wave", "cmd", "icon"});
  SetSelected(1, true);
  SetSelected(0, true);
  SetSelected(1, false);
  EXPECT_EQ(form.events,
            (std::vector<std::string>{"select WAV on", "select MP3 on", "select WAV off"}));
  EXPECT_EQ(form.List->NextSelected(), 0);
  EXPECT_EQ(form.List->NextSelected(0), -1);
}

// One message that changes many rows is one event, raised after the list has changed them all:
// a handler that reads the whole selection then runs once, not once per row. It names no row, so
// its caption is empty.
TEST_F(EventsTest, SelectingEveryRowAtOnceIsOneEventThatSeesTheWholeSelection) {
  form.List->BeginUpdate();
  for (int i = 0; i < 50; ++i) form.List->AddItem("X");
  form.List->EndUpdate();
  int selectedSeen = -1;
  form.List->OnSelectItem = [this, &selectedSeen](TControl*, TListItem item, bool selected) {
    form.events.push_back("select " + item.Caption() + (selected ? " on" : " off"));
    selectedSeen = ListView_GetSelectedCount(form.List->Handle());
  };
  SetSelected(-1, true);
  EXPECT_EQ(form.events, (std::vector<std::string>{"select  on"}));
  EXPECT_EQ(selectedSeen, 50);
}

TEST_F(EventsTest, ListChangesFromCodeRaiseNoEvents) {
  form.List->BeginUpdate();
  for (int i = 0; i < 3; ++i) form.List->AddItem("X", {"a", "b"});
  form.List->EndUpdate();
  SetSelected(0, true);
  SetSelected(2, true);
  form.events.clear();

  form.List->SetItemText(0, 1, "changed");
  form.List->Clear();
  form.List->AddItem("Y");
  EXPECT_TRUE(form.events.empty());
  EXPECT_EQ(form.List->Count(), 1);
  EXPECT_EQ(form.List->NextSelected(), -1);
}

TEST_F(EventsTest, ListSelectionHandlerMayChangeOtherControlsQuietly) {
  // What the window does: the selection handler writes the combo text; that is no combo change.
  form.List->AddItem("MP3", {"Audio File"});
  form.List->OnSelectItem = [this](TControl*, TListItem, bool) {
    form.events.push_back("select");
    form.Combo->SetText(form.List->ItemText(form.List->NextSelected(), 1).c_str());
  };
  SetSelected(0, true);
  EXPECT_EQ(form.events, (std::vector<std::string>{"select"}));
  EXPECT_EQ(form.Combo->Text(), "Audio File");
}

TEST_F(EventsTest, ListRowsKeepTexts) {
  form.List->AddItem("MP3", {"オーディオ", nullptr, "icon"});
  form.List->AddItem(nullptr, {});
  std::string longText(1000, 'x');
  form.List->SetItemText(1, 2, longText.c_str());

  EXPECT_EQ(form.List->Count(), 2);
  EXPECT_EQ(form.List->ItemText(0, 0), "MP3");
  EXPECT_EQ(form.List->ItemText(0, 1), "オーディオ");
  EXPECT_EQ(form.List->ItemText(0, 2), "");
  EXPECT_EQ(form.List->ItemText(0, 3), "icon");
  EXPECT_EQ(form.List->ItemText(1, 0), "");
  EXPECT_EQ(form.List->ItemText(1, 2), longText);
}

TEST_F(EventsTest, TypingInComboRaisesChange) {
  Type("ab");
  EXPECT_EQ(form.events, (std::vector<std::string>{"change a", "change ab"}));
}

TEST_F(EventsTest, ComboTextFromCodeRaisesNoChange) {
  form.Combo->SetText("Video File");
  form.Combo->SetText("");
  EXPECT_TRUE(form.events.empty());
}

TEST_F(EventsTest, PickingAnItemRaisesChangeWithThePickedText) {
  // Down in the closed drop-down picks the next item; Windows updates the field only after
  // telling the parent, so the handler must still see the pick.
  form.Combo->SetText("typed");
  SendMessageA(ComboEdit(form.Combo), WM_KEYDOWN, VK_DOWN, 0);
  ASSERT_EQ(form.events.size(), 1u);
  EXPECT_EQ(form.events[0], "change Media File");
  EXPECT_EQ(form.Combo->Text(), "Media File");
}

TEST_F(EventsTest, SelChangeNotificationSeesPickedItemOverStaleField) {
  SendMessageA(form.Combo->Handle(), CB_SETCURSEL, 2, 0);
  SetWindowTextA(ComboEdit(form.Combo), "stale");
  form.events.clear();
  SendMessageA(form.Panel->Handle(), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(form.Combo->Handle()), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(form.Combo->Handle()));
  EXPECT_EQ(form.events, (std::vector<std::string>{"change Video File"}));
  EXPECT_EQ(form.Combo->Text(), "stale");
}

TEST_F(EventsTest, RadioGroupsAreExclusiveAndIndependent) {
  EXPECT_TRUE(form.Radio1->Checked());
  EXPECT_TRUE(form.Radio4->Checked());
  SendMessageA(form.Radio3->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(form.Radio1->Checked());
  EXPECT_TRUE(form.Radio3->Checked());
  EXPECT_TRUE(form.Radio4->Checked());

  form.Radio2->SetChecked(true);
  EXPECT_FALSE(form.Radio1->Checked());
  EXPECT_TRUE(form.Radio2->Checked());
  EXPECT_FALSE(form.Radio3->Checked());
  form.Radio5->SetChecked(true);
  EXPECT_FALSE(form.Radio4->Checked());
  EXPECT_TRUE(form.Radio2->Checked());
}

TEST_F(EventsTest, EditableFieldReportsTypingButNotSetText) {
  // A single-line edit sends EN_CHANGE for WM_SETTEXT too: only the quiet counter tells them apart.
  TEdit* edit = form.Add<TEdit>({"Free", form.Panel, {300, 29, 100, 20}, nullptr, cfNone});
  int changes = 0;
  edit->OnChange = [&](TControl*) { ++changes; };
  edit->SetText("from code");
  EXPECT_EQ(changes, 0);
  SendMessageA(edit->Handle(), WM_CHAR, 'x', 1);
  EXPECT_EQ(changes, 1);
}

TEST(RadioGroups, GroupsInOneParentEndAtCfGroupAndAtOtherControls) {
  PrepareApplication();
  TForm form({"TFormsRadioForm", "radio", 300, 200});
  TRadioButton* a = form.Add<TRadioButton>({"A", nullptr, {8, 8, 80, 17}, "A", cfChecked});
  TRadioButton* b = form.Add<TRadioButton>({"B", nullptr, {8, 28, 80, 17}, "B", cfNone});
  TRadioButton* c = form.Add<TRadioButton>({"C", nullptr, {8, 48, 80, 17}, "C", cfGroup | cfChecked});
  TRadioButton* d = form.Add<TRadioButton>({"D", nullptr, {8, 68, 80, 17}, "D", cfNone});
  form.Add<TButton>({"Btn", nullptr, {8, 88, 80, 25}, "Btn", cfNone});
  TRadioButton* e = form.Add<TRadioButton>({"E", nullptr, {8, 118, 80, 17}, "E", cfChecked});
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(c->Checked());
  SendMessageA(b->Handle(), BM_CLICK, 0, 0);
  SendMessageA(d->Handle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(c->Checked());
  EXPECT_TRUE(d->Checked());
  EXPECT_TRUE(e->Checked());
  a->SetChecked(true);
  EXPECT_FALSE(b->Checked());
  EXPECT_TRUE(d->Checked());
}

}  // namespace
