// Every control of the window where the layout of its language puts it at 96 dpi. Japanese texts
// keep the window as designed; only what the English captions need is larger with them.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <string>

#include "uitext.h"
#include "window_fixture.h"

namespace {

struct Placed {
  const char* name;
  TControl* control;
  TBounds japanese;
  TBounds english;
};

// "left, top, width, height", so that a failure shows all four.
std::string Text(const TBounds& b) {
  return std::to_string(b.left) + ", " + std::to_string(b.top) + ", " + std::to_string(b.width) +
         ", " + std::to_string(b.height);
}

// Within the client area of the control's parent window.
std::string BoundsOf(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return Text({r.left, r.top, r.right - r.left, r.bottom - r.top});
}

}  // namespace

// The English run of window_tests (CMakeLists.txt) runs this case too.
TEST_F(WindowTest, LayoutPlacesEveryControlForTheLanguage) {
  Open();
  const bool japanese = VtJapaneseUi();
  TFrmAssoc& f = *form_;
  // The list and the panel are docked: the client area is what the system's frame leaves of the
  // window's 560 x 480, 544 x 442 with Windows' own frame and 552 x 453 with Wine's.
  RECT window, client;
  GetWindowRect(f.Handle(), &window);
  GetClientRect(f.Handle(), &client);
  EXPECT_EQ(560, window.right - window.left);
  EXPECT_EQ(480, window.bottom - window.top);
  const int w = client.right, listHeight = client.bottom - 201;
  // A drop-down's field is as high as its font makes it: 20 in the form's font on Windows.
  RECT field;
  GetWindowRect(f.ComboBox1->Handle(), &field);
  const int fieldHeight = field.bottom - field.top;
  EXPECT_NEAR(20, fieldHeight, 1);

  const Placed placed[] = {
      {"ListView", f.ListView, {0, 0, w, listHeight}, {0, 0, w, listHeight}},
      {"Panel1", f.Panel1, {0, listHeight, w, 201}, {0, listHeight, w, 201}},
      {"Label1", f.Label1, {8, 8, 118, 12}, {8, 8, 118, 12}},
      {"Edit1", f.Edit1, {136, 4, 409, 20}, {136, 4, 409, 20}},
      {"Label2", f.Label2, {8, 33, 36, 12}, {8, 33, 84, 12}},
      {"Edit2", f.Edit2, {96, 29, 449, 20}, {96, 29, 449, 20}},
      {"Label3", f.Label3, {8, 58, 77, 12}, {8, 58, 77, 12}},
      {"ComboBox1", f.ComboBox1, {96, 54, 357, fieldHeight}, {96, 54, 357, fieldHeight}},
      {"Button7", f.Button7, {464, 52, 75, 25}, {460, 52, 80, 25}},
      {"GroupBox1", f.GroupBox1, {8, 82, 449, 39}, {8, 82, 449, 39}},
      {"RadioButton1", f.RadioButton1, {8, 16, 141, 17}, {8, 16, 141, 17}},
      {"RadioButton2", f.RadioButton2, {170, 16, 73, 17}, {170, 16, 73, 17}},
      {"RadioButton3", f.RadioButton3, {284, 16, 89, 17}, {284, 16, 89, 17}},
      {"GroupBox2", f.GroupBox2, {8, 126, 449, 39}, {8, 126, 449, 39}},
      {"RadioButton4", f.RadioButton4, {8, 16, 141, 17}, {8, 16, 141, 17}},
      {"RadioButton5", f.RadioButton5, {170, 16, 73, 17}, {170, 16, 73, 17}},
      {"btnInfo", f.btnInfo, {4, 174, 75, 25}, {4, 174, 75, 25}},
      {"btnClose", f.btnClose, {96, 174, 75, 25}, {92, 174, 75, 25}},
      {"btnApply", f.btnApply, {188, 174, 75, 25}, {180, 174, 75, 25}},
      {"btnUnreg", f.btnUnreg, {280, 174, 75, 25}, {268, 174, 75, 25}},
      {"btnUnregAll", f.btnUnregAll, {372, 174, 75, 25}, {356, 174, 95, 25}},
      {"btnRdme", f.btnRdme, {464, 174, 75, 25}, {464, 174, 75, 25}},
      {"btnDefaultApps", f.btnDefaultApps, {464, 89, 75, 25}, {460, 89, 80, 25}},
      {"lblScope", f.lblScope, {464, 124, 80, 40}, {460, 124, 80, 40}},
  };
  for (const Placed& p : placed)
    EXPECT_EQ(Text(japanese ? p.japanese : p.english), BoundsOf(p.control->Handle())) << p.name;

  const int columns[][2] = {{60, 72}, {110, 110}, {210, 210}, {150, 150}, {150, 150}};
  ASSERT_EQ(5, f.ListView->ColumnCount());
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(columns[i][japanese ? 0 : 1],
              SendMessageA(f.ListView->Handle(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(i), 0))
        << "column " << i;
  }
}
