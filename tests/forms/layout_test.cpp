// Window class, placement, docking, font and DPI scaling of a form.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "test_form.h"

namespace {

RECT ClientRectIn(HWND hwnd, HWND parent) {
  RECT r;
  GetWindowRect(hwnd, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LOGFONTA FontOf(HWND hwnd) {
  LOGFONTA lf{};
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  if (font) GetObjectA(font, sizeof(lf), &lf);
  return lf;
}

class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override { PrepareApplication(); }
  void TearDown() override { Application.SetDpi(96); }
};

TEST_F(LayoutTest, FormIsFoundByItsClassNameAndCentred) {
  TTestForm form;
  form.Show();
  EXPECT_EQ(FindWindowA("TFormsTestForm", nullptr), form.Handle());
  EXPECT_EQ(form.Caption(), "テスト");
  form.SetCaption("テスト Version 1");
  EXPECT_EQ(form.Caption(), "テスト Version 1");

  RECT r;
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 560);
  EXPECT_EQ(r.bottom - r.top, 480);
  EXPECT_NEAR((r.left + r.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((r.top + r.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
  EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(form.Handle(), GCLP_HBRBACKGROUND)),
            reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

TEST_F(LayoutTest, PanelDocksAtBottomAndListFillsTheRest) {
  TTestForm form;
  RECT client;
  GetClientRect(form.Handle(), &client);
  RECT panel = ClientRectIn(form.Panel->Handle(), form.Handle());
  RECT list = ClientRectIn(form.List->Handle(), form.Handle());
  EXPECT_EQ(panel.bottom, client.bottom);
  EXPECT_EQ(panel.bottom - panel.top, 201);
  EXPECT_EQ(panel.right - panel.left, client.right);
  EXPECT_EQ(list.top, 0);
  EXPECT_EQ(list.bottom, panel.top);

  // Docking follows the window's size.
  SetWindowPos(form.Handle(), nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER);
  GetClientRect(form.Handle(), &client);
  panel = ClientRectIn(form.Panel->Handle(), form.Handle());
  EXPECT_EQ(panel.bottom, client.bottom);
  EXPECT_EQ(panel.right - panel.left, client.right);
}

TEST_F(LayoutTest, EveryControlHasTheShiftJisFont) {
  TTestForm form;
  for (TControl* control : std::vector<TControl*>{form.List, form.Edit, form.Combo, form.Radio5,
                                                  form.Group2, form.BtnB, form.Label}) {
    LOGFONTA lf = FontOf(control->Handle());
    SCOPED_TRACE(testing::Message() << "control " << GetDlgCtrlID(control->Handle()));
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_STREQ(lf.lfFaceName, "ＭＳ Ｐゴシック");
  }
}

TEST_F(LayoutTest, ControlsListColumnsAndFontScaleWithDpi) {
  Application.SetDpi(144);
  TTestForm form;
  RECT button = ClientRectIn(form.BtnA->Handle(), form.Panel->Handle());
  EXPECT_EQ(button.left, 6);
  EXPECT_EQ(button.top, 261);
  EXPECT_EQ(button.right - button.left, 113);
  EXPECT_EQ(button.bottom - button.top, 38);
  RECT radio = ClientRectIn(form.Radio2->Handle(), form.Group1->Handle());
  EXPECT_EQ(radio.left, 255);
  EXPECT_EQ(FontOf(form.Edit->Handle()).lfHeight, -18);
  EXPECT_EQ(SendMessageA(form.List->Handle(), LVM_GETCOLUMNWIDTH, 1, 0), 165);

  RECT r;
  GetWindowRect(form.Handle(), &r);
  EXPECT_EQ(r.right - r.left, 840);
  EXPECT_EQ(r.bottom - r.top, 720);
}

TEST_F(LayoutTest, SizesRoundToTheNearestPixel) {
  // At 120 dpi a 75 x 25 button is 93.75 x 31.25 pixels: neither cut down nor rounded up.
  Application.SetDpi(120);
  TTestForm form;
  RECT button = ClientRectIn(form.BtnA->Handle(), form.Panel->Handle());
  EXPECT_EQ(button.right - button.left, 94);
  EXPECT_EQ(button.bottom - button.top, 31);
}

TEST_F(LayoutTest, ReadOnlyEditIsPaintedInFaceColour) {
  TTestForm form;
  HDC dc = GetDC(form.Edit->Handle());
  HBRUSH brush = reinterpret_cast<HBRUSH>(
      SendMessageA(form.Panel->Handle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(form.Edit->Handle())));
  EXPECT_EQ(brush, GetSysColorBrush(COLOR_BTNFACE));
  EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
  ReleaseDC(form.Edit->Handle(), dc);
}

// Paints a container's background through message into a black bitmap; the colour in its middle.
COLORREF BackgroundAfter(HWND hwnd, UINT message) {
  RECT client;
  GetClientRect(hwnd, &client);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  HGDIOBJ old = SelectObject(dc, bitmap);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SendMessageA(hwnd, message, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  COLORREF colour = GetPixel(dc, client.right / 2, client.bottom / 2);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return colour;
}

TEST_F(LayoutTest, ContainersPaintTheirInsideInFaceColour) {
  // Themed radio buttons ask their parent for its background; left unpainted it shows black.
  TTestForm form;
  EXPECT_EQ(BackgroundAfter(form.Group1->Handle(), WM_ERASEBKGND), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(BackgroundAfter(form.Group1->Handle(), WM_PRINTCLIENT), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(BackgroundAfter(form.Panel->Handle(), WM_PRINTCLIENT), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
