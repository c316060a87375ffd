// The window where the user's language is not Japanese and the system's code page is 1252, as on
// an English Windows. Its ctest entries (CMakeLists.txt) run it in that locale; in any other every
// case skips.
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <string>
#include <vector>

#include "regaccess.h"
#include "uitext.h"
#include "window_fixture.h"

namespace {

const wchar_t kTitle[] = L"Vantrel Player association tool Version 0.02.2012.0910";

// Printable ASCII and line ends only: code page 932 bytes read in code page 1252 give characters
// above 0x7F (「適用」 shows as “K—p), so mojibake can never pass.
bool PlainAscii(const std::wstring& text) {
  for (wchar_t c : text)
    if (c > 0x7E || (c < L' ' && c != L'\r' && c != L'\n')) return false;
  return true;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  GetWindowTextW(window, text, 512);
  return text;
}

std::wstring ColumnTitle(HWND list, int column) {
  wchar_t text[256] = L"";
  LVCOLUMNW item{};
  item.mask = LVCF_TEXT;
  item.pszText = text;
  item.cchTextMax = 256;
  SendMessageW(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
  return text;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM windows) {
  reinterpret_cast<std::vector<HWND>*>(windows)->push_back(child);
  return TRUE;
}

// The width a caption takes in the control's own font.
int CaptionWidth(HWND control) {
  const std::wstring text = TextOf(control);
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size.cx;
}

int ClientWidth(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  return client.right;
}

class EnglishWindow : public WindowTest {
 protected:
  void SetUp() override {
    if (VtJapaneseUi()) GTEST_SKIP() << "runs in an English locale: see CMakeLists.txt";
    WindowTest::SetUp();
  }
  void TearDown() override {
    if (!VtJapaneseUi()) WindowTest::TearDown();
    Application.SetDpi(96);
  }
};

}  // namespace

// Every text the window supplies, read back through the wide functions as a user of an English
// Windows sees it; every window of the form in plain ASCII, so no control is left in Japanese.
TEST_F(EnglishWindow, EveryOwnTextIsEnglishThroughTheWideFunctions) {
  Open();  // no player: Edit1 asks for one
  EXPECT_EQ(form_->WideCaption(), kTitle);
  EXPECT_EQ(TextOf(form_->Handle()), kTitle);
  const struct {
    TControl* control;
    const wchar_t* text;
  } kCaptions[] = {
      // The labels, the row of buttons along the bottom, the right-hand column, the path field.
      {form_->Label1, L"Vantrel Player path"}, {form_->Label2, L"Extensions"},
      {form_->Label3, L"File type"},
      {form_->btnInfo, L"Get info"}, {form_->btnClose, L"Close"}, {form_->btnApply, L"Register"},
      {form_->btnUnreg, L"Unregister"}, {form_->btnUnregAll, L"Unregister all"},
      {form_->btnRdme, L"Readme"},
      {form_->Button7, L"filetype.ini"}, {form_->btnDefaultApps, L"Default apps"},
      {form_->lblScope, L"For: all users"},
      {form_->Edit1, L"Start Vantrel Player, then click Get info"},
  };
  for (const auto& caption : kCaptions) {
    EXPECT_EQ(TextOf(caption.control->Handle()), caption.text);
    EXPECT_EQ(caption.control->WideText(), caption.text);
  }
  const wchar_t* const kColumns[] = {L"Extension", L"File type", L"command", L"Icon",
                                     L"Windows default"};
  ASSERT_EQ(form_->ListView->ColumnCount(), 5);
  for (int column = 0; column < 5; ++column)
    EXPECT_EQ(ColumnTitle(form_->ListView->Handle(), column), kColumns[column]);
  std::vector<HWND> windows;
  EnumChildWindows(form_->Handle(), CollectChild, reinterpret_cast<LPARAM>(&windows));
  for (HWND window : windows) {
    const std::wstring text = TextOf(window);
    EXPECT_TRUE(PlainAscii(text)) << "control " << GetDlgCtrlID(window) << ": " << text.size();
  }
  EXPECT_FALSE(TextOf(form_->GroupBox1->Handle()).empty());
  EXPECT_FALSE(TextOf(form_->RadioButton5->Handle()).empty());
}

// The three questions and the list of refusals, in English, with the window's title.
TEST_F(EnglishWindow, BoxesAskAndReportInEnglish) {
  StartPlayer(Ext(0) + ";.bat");
  Open();
  boxes_.SetAnswer(IDCANCEL);
  form_->btnApplyClick(nullptr);
  form_->btnUnregAllClick(nullptr);
  ASSERT_EQ(boxes_.Calls().size(), 2u);
  EXPECT_EQ(boxes_.Calls()[0].wideText,
            L"Register the selected extensions with Vantrel Player?\r\n"
            L"Unregister restores their earlier settings.\r\n");
  EXPECT_EQ(boxes_.Calls()[0].wideCaption, L"Confirm");
  EXPECT_EQ(boxes_.Calls()[0].flags, static_cast<UINT>(MB_OKCANCEL | MB_DEFBUTTON2));
  EXPECT_EQ(boxes_.Calls()[1].wideText,
            L"Unregister every extension and restore the settings from before Vantrel Player?\r\n");

  boxes_.SetAnswer(IDOK);
  Select(0);
  Select(1);
  Click(form_->btnApply);
  ASSERT_EQ(boxes_.Calls().size(), 4u);
  const std::wstring& box = boxes_.Calls()[3].wideText;
  EXPECT_EQ(box.rfind(L"These extensions could not be changed:\r\n\r\nBAT: ", 0), 0u) << box.size();
  EXPECT_NE(box.find(L"BAT: The type opens programs or shortcuts"), std::wstring::npos);
  EXPECT_EQ(boxes_.Calls()[3].wideCaption, kTitle);
  for (const auto& call : boxes_.Calls()) EXPECT_TRUE(PlainAscii(call.wideText + call.wideCaption));
}

// A player that moved: the last column and the question in English.
TEST_F(EnglishWindow, AMovedPlayerIsNamedAndAskedAboutInEnglish) {
  const std::string gone = scratch_.File("gone.exe");
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, Ext(0), "", ToolProgId(0)));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ToolProgId(0) + "\\shell\\open\\command", "",
                                "\"" + gone + "\" \"%1\""));
  StartPlayer(Ext(0));
  boxes_.SetAnswer(IDNO);
  Open();
  const std::wstring wideGone(gone.begin(), gone.end());  // ASCII
  EXPECT_EQ(form_->ListView->WideItemText(0, 4), L"Not found: " + wideGone);
  Application.ProcessMessages();
  ASSERT_EQ(boxes_.Calls().size(), 1u);
  const std::wstring player(player_.begin(), player_.end());
  EXPECT_EQ(boxes_.Calls()[0].wideText,
            L"Vantrel Player has moved.\r\n1 extensions still open the player at its earlier "
            L"location.\r\nMove them to the new location?\r\n" + player);
  EXPECT_EQ(boxes_.Calls()[0].wideCaption, L"Confirm");
}

// The English texts in the system's message font at the window's character height, each caption
// within its control at 96 and at 144 dpi.
TEST_F(EnglishWindow, CaptionsFitInTheMessageFontAt96And144Dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  for (int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    Application.SetDpi(dpi);
    Open();
    LOGFONTW font{};
    ASSERT_NE(GetObjectW(form_->Font(), sizeof(font), &font), 0);
    EXPECT_STREQ(font.lfFaceName, metrics.lfMessageFont.lfFaceName);
    EXPECT_EQ(font.lfHeight, -MulDiv(12, dpi, 96));
    // What a control's frame and its check mark leave of its width for the caption.
    const int buttonFrame = MulDiv(8, dpi, 96), checkMark = MulDiv(18, dpi, 96);
    for (TControl* button : std::vector<TControl*>{
             form_->btnInfo, form_->btnClose, form_->btnApply, form_->btnUnreg, form_->btnUnregAll,
             form_->btnDefaultApps, form_->btnRdme, form_->Button7}) {
      EXPECT_LE(CaptionWidth(button->Handle()), ClientWidth(button->Handle()) - buttonFrame)
          << TextOf(button->Handle());
    }
    for (TControl* radio : {form_->RadioButton1, form_->RadioButton2, form_->RadioButton3,
                            form_->RadioButton4, form_->RadioButton5}) {
      EXPECT_LE(CaptionWidth(radio->Handle()), ClientWidth(radio->Handle()) - checkMark)
          << TextOf(radio->Handle());
    }
    for (TControl* label : std::vector<TControl*>{form_->Label1, form_->Label2, form_->Label3})
      EXPECT_LE(CaptionWidth(label->Handle()), ClientWidth(label->Handle()))
          << TextOf(label->Handle());
    for (TControl* group : std::vector<TControl*>{form_->GroupBox1, form_->GroupBox2}) {
      EXPECT_LE(CaptionWidth(group->Handle()), ClientWidth(group->Handle()) - 2 * buttonFrame)
          << TextOf(group->Handle());
    }
    // Column titles within their columns, beside the header's own margins.
    HWND list = form_->ListView->Handle();
    for (int column = 0; column < form_->ListView->ColumnCount(); ++column) {
      const std::wstring title = ColumnTitle(list, column);
      const int width = static_cast<int>(
          SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(title.c_str())));
      EXPECT_LE(width + 2 * buttonFrame,
                static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, column, 0)))
          << column;
    }
    // The scope label wraps within its two lines.
    HWND scope = form_->lblScope->Handle();
    RECT needed{0, 0, ClientWidth(scope), 0}, client{};
    GetClientRect(scope, &client);
    HDC dc = GetDC(scope);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(scope, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(scope);
    DrawTextW(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(scope, dc);
    EXPECT_LE(needed.right, client.right);
    EXPECT_LE(needed.bottom, client.bottom);
    Close();
  }
}
