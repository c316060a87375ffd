// Keyboard navigation through IsDialogMessage as the message loop runs it.
#include <gtest/gtest.h>

#include "test_form.h"

namespace {

class NavigationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareApplication();
    form.Show();
    SetForegroundWindow(form.Handle());
    Pump();
  }
  void TearDown() override { SetShift(false); }

  static void SetShift(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
  }

  // A key press as the loop would see it: offered to IsDialogMessage, else dispatched.
  void Key(UINT message, WPARAM key) {
    MSG msg{GetFocus(), message, key, 1, 0, {0, 0}};
    if (!IsDialogMessageA(form.Handle(), &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Pump();
  }
  void Press(WPARAM key) {
    Key(WM_KEYDOWN, key);
    Key(WM_KEYUP, key);
  }

  // The control that holds the focus (the combo box for its inner edit field).
  TControl* Focused() {
    HWND focus = GetFocus();
    for (HWND h = focus; h && h != form.Handle(); h = GetParent(h)) {
      if (TControl* control = form.ControlOf(h)) return control;
    }
    return nullptr;
  }

  TTestForm form;
};

TEST_F(NavigationTest, TabFollowsCreationOrderThroughContainers) {
  form.List->SetFocus();
  ASSERT_EQ(Focused(), form.List);
  std::vector<TControl*> order;
  for (int i = 0; i < 6; ++i) {
    Press(VK_TAB);
    order.push_back(Focused());
  }
  // Labels and group boxes are no stops, a disabled button is skipped, a radio group is one stop.
  EXPECT_EQ(order, (std::vector<TControl*>{form.Edit, form.Combo, form.Radio1, form.Radio4,
                                           form.BtnA, form.List}));
}

TEST_F(NavigationTest, ShiftTabGoesBack) {
  form.BtnA->SetFocus();
  SetShift(true);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), form.Radio4);
  Press(VK_TAB);
  EXPECT_EQ(Focused(), form.Radio1);
}

TEST_F(NavigationTest, TabEntersRadioGroupAtCheckedButton) {
  form.Radio3->SetChecked(true);
  form.Combo->SetFocus();
  Press(VK_TAB);
  EXPECT_EQ(Focused(), form.Radio3);
}

TEST_F(NavigationTest, ArrowsMoveAndCheckWithinGroup) {
  form.Radio1->SetFocus();
  Press(VK_DOWN);
  EXPECT_EQ(Focused(), form.Radio2);
  EXPECT_TRUE(form.Radio2->Checked());
  EXPECT_FALSE(form.Radio1->Checked());
  Press(VK_DOWN);
  Press(VK_DOWN);  // wraps inside the group, never into the next one
  EXPECT_EQ(Focused(), form.Radio1);
  EXPECT_TRUE(form.Radio1->Checked());
  EXPECT_TRUE(form.Radio4->Checked());
}

TEST_F(NavigationTest, EnterPressesFocusedButton) {
  form.BtnA->SetFocus();
  Press(VK_RETURN);
  EXPECT_EQ(form.events, (std::vector<std::string>{"click A"}));
}

TEST_F(NavigationTest, EnterElsewhereAndEscapeDoNothing) {
  form.List->SetFocus();
  Press(VK_RETURN);
  Press(VK_ESCAPE);
  EXPECT_TRUE(form.events.empty());
  EXPECT_FALSE(form.Closed());
}

TEST_F(NavigationTest, SpacePressesFocusedButton) {
  form.BtnA->SetFocus();
  Press(VK_SPACE);
  EXPECT_EQ(form.events, (std::vector<std::string>{"click A"}));
}

}  // namespace
