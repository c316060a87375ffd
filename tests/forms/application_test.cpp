// The application object: message loop, main form, message box hook.
#include <gtest/gtest.h>

#include "message_box_stub.h"
#include "test_form.h"

namespace {

class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareApplication(); }
};

TEST_F(ApplicationTest, RunEndsWhenMainFormClosesAndKeepsControls) {
  TTestForm form;
  PostMessageA(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_EQ(Application.Run(), 0);
  EXPECT_TRUE(form.Closed());
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  // The form's own destructor still reads its controls after the loop.
  ASSERT_NE(form.Radio1->Handle(), nullptr);
  EXPECT_TRUE(form.Radio1->Checked());
}

TEST_F(ApplicationTest, RunEndsWhenMainWindowIsDestroyed) {
  TTestForm form;
  HWND handle = form.Handle();
  // A window destroyed from outside: the loop must not wait for a window that is gone.
  form.BtnA->OnClick = [&](TControl*) { DestroyWindow(handle); };
  PostMessageA(form.BtnA->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Application.Run(), 0);
  EXPECT_EQ(form.Handle(), nullptr);
  EXPECT_EQ(form.Radio1->Text(), "");
}

BOOL WINAPI FailingGetMessage(LPMSG, HWND, UINT, UINT) { return -1; }

TEST_F(ApplicationTest, GetMessageErrorEndsLoop) {
  TTestForm form;
  EXPECT_EQ(Application.RunWith(&FailingGetMessage), -1);
  EXPECT_FALSE(form.Closed());
}

TEST_F(ApplicationTest, CloseOutsideLoopLeavesNoQuitBehind) {
  {
    TTestForm form;
    form.Close();
  }
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
}

TEST_F(ApplicationTest, RunDestroysOwnedForms) {
  TTestForm* form = Application.CreateForm<TTestForm>();
  HWND handle = form->Handle();
  ASSERT_TRUE(IsWindow(handle));
  PostMessageA(handle, WM_CLOSE, 0, 0);
  EXPECT_EQ(Application.Run(), 0);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(Application.MainForm(), nullptr);
}

TEST_F(ApplicationTest, MessageBoxStubAnswersAndRecords) {
  TMessageBoxStub stub(IDCANCEL);
  stub.QueueAnswer(IDOK);
  EXPECT_EQ(Application.MessageBox("よろしいですか？", "確認", MB_OKCANCEL | MB_DEFBUTTON2), IDOK);
  EXPECT_EQ(Application.MessageBox("two", "確認", MB_OKCANCEL), IDCANCEL);
  ASSERT_EQ(stub.Calls().size(), 2u);
  EXPECT_EQ(stub.Calls()[0].text, "よろしいですか？");
  EXPECT_EQ(stub.Calls()[0].caption, "確認");
  EXPECT_EQ(stub.Calls()[0].flags, 257u);
  EXPECT_EQ(stub.Calls()[1].text, "two");
}

TEST_F(ApplicationTest, MessageBoxStubsNestAndRestore) {
  TMessageBoxStub outer(IDOK);
  {
    TMessageBoxStub inner(IDCANCEL);
    EXPECT_EQ(Application.MessageBox("a", "b", MB_OK), IDCANCEL);
    EXPECT_TRUE(outer.Calls().empty());
  }
  EXPECT_EQ(Application.MessageBox("a", "b", MB_OK), IDOK);
  EXPECT_EQ(outer.Calls().size(), 1u);
}

}  // namespace
