#include "form.h"

#include "application.h"
#include "windowclass.h"

namespace {

// First control id; stays clear of IDOK/IDCANCEL, which IsDialogMessage sends for Enter and Escape.
const int kFirstControlId = 100;
// The form font's character height at 96 dpi.
const int kFontHeight96 = 12;

HICON ApplicationIcon() {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
  return icon ? icon : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
}

}  // namespace

int TForm::Scale(int length96) { return Application.Scale(length96); }

TForm::TForm(const TFormArgs& args)
    : font_(std::make_unique<TFont>("ＭＳ Ｐゴシック", Application.Scale(kFontHeight96),
                                    SHIFTJIS_CHARSET)) {
  Application.FormCreated(this);
  WNDCLASSEXA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = StaticWndProc;
  wc.hIcon = ApplicationIcon();
  wc.lpszClassName = args.className ? args.className : "TForm";
  if (!forms_internal::RegisterWindowClass(wc)) return;
  int width = Scale(args.width);
  int height = Scale(args.height);
  int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  CreateWindowExA(WS_EX_CONTROLPARENT, wc.lpszClassName, OrEmpty(args.caption),
                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height, nullptr, nullptr,
                  GetModuleHandleA(nullptr), this);
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

void TForm::UseMessageFont() {
  auto font = std::make_unique<TFont>(Scale(kFontHeight96));
  if (!font->Handle()) return;
  font_ = std::move(font);
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
}

TForm::~TForm() {
  raisesEvents_ = false;
  if (handle_) DestroyWindow(handle_);
  Application.FormDestroyed(this);
  controls_.clear();
}

std::string TForm::Caption() const {
  char buffer[1024] = "";
  if (handle_) GetWindowTextA(handle_, buffer, sizeof(buffer));
  return buffer;
}

void TForm::SetCaption(const char* caption) {
  if (handle_) SetWindowTextA(handle_, OrEmpty(caption));
}

// Both straight to DefWindowProcW: through this ANSI window's own procedure the text would pass the
// system code page and lose what it cannot hold.
std::wstring TForm::WideCaption() const {
  wchar_t buffer[1024] = L"";
  if (handle_)
    DefWindowProcW(handle_, WM_GETTEXT, sizeof(buffer) / sizeof(buffer[0]),
                   reinterpret_cast<LPARAM>(buffer));
  return buffer;
}

void TForm::SetCaption(const std::wstring& caption) {
  if (handle_) DefWindowProcW(handle_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption.c_str()));
}

void TForm::Show() {
  if (!handle_) return;
  closed_ = false;
  ShowWindow(handle_, SW_SHOW);
  UpdateWindow(handle_);
}

void TForm::Close() {
  if (closed_) return;
  closed_ = true;
  if (handle_) ShowWindow(handle_, SW_HIDE);
  Application.FormClosed(this);
}

TControl* TForm::ControlOf(HWND hwnd) const {
  if (!hwnd) return nullptr;
  for (const auto& control : controls_) {
    if (control->Handle() == hwnd) return control.get();
  }
  return nullptr;
}

void TForm::Adopt(std::unique_ptr<TControl> control, const TCreateArgs& args) {
  int id = kFirstControlId + static_cast<int>(controls_.size());
  TControl* raw = control.get();
  // Owned before its window exists, so notifications sent during creation find it.
  controls_.push_back(std::move(control));
  if (handle_) raw->Create(*this, args, id);
  if (args.flags & (cfAlignBottom | cfAlignClient)) Realign();
}

void TForm::Realign() {
  if (!handle_) return;
  RECT client;
  GetClientRect(handle_, &client);
  for (const auto& control : controls_) {
    if (!(control->flags_ & cfAlignBottom) || !control->Handle()) continue;
    int height = Scale(control->bounds96_.height);
    client.bottom -= height;
    MoveWindow(control->Handle(), client.left, client.bottom, client.right - client.left, height,
               TRUE);
  }
  for (const auto& control : controls_) {
    if (!(control->flags_ & cfAlignClient) || !control->Handle()) continue;
    int height = client.bottom > client.top ? client.bottom - client.top : 0;
    MoveWindow(control->Handle(), client.left, client.top, client.right - client.left, height,
               TRUE);
  }
}

LRESULT CALLBACK TForm::StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TForm* form;
  if (message == WM_NCCREATE) {
    form = static_cast<TForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->handle_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  } else {
    form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  }
  if (!form) return DefWindowProcA(hwnd, message, wParam, lParam);
  LRESULT result = form->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    form->handle_ = nullptr;
    for (auto& control : form->controls_) control->handle_ = nullptr;
  }
  return result;
}

LRESULT TForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  static const struct {
    UINT first;
    UINT last;
    MessageHandler handler;
  } kMessageMap[] = {
      {WM_COMMAND, WM_COMMAND, &TForm::OnCommand},
      {WM_NOTIFY, WM_NOTIFY, &TForm::OnNotify},
      {WM_CTLCOLORMSGBOX, WM_CTLCOLORSTATIC, &TForm::OnCtlColor},
      {WM_SIZE, WM_SIZE, &TForm::OnSize},
      {WM_CLOSE, WM_CLOSE, &TForm::OnClose},
      {WM_DESTROY, WM_DESTROY, &TForm::OnDestroy},
      {WM_ACTIVATE, WM_ACTIVATE, &TForm::OnActivate},
      {WM_NEXTDLGCTL, WM_NEXTDLGCTL, &TForm::OnNextDlgCtl},
      {WM_ENDSESSION, WM_ENDSESSION, &TForm::OnSessionEnding},
  };
  for (const auto& entry : kMessageMap) {
    LRESULT result = 0;
    if (message >= entry.first && message <= entry.last &&
        (this->*entry.handler)(wParam, lParam, &result)) {
      return result;
    }
  }
  return WndProc(message, wParam, lParam);
}

bool TForm::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT*) {
  if (!raisesEvents_) return false;
  if (HWND from = reinterpret_cast<HWND>(lParam)) {
    TControl* control = ControlOf(from);
    if (control) control->OnCommand(HIWORD(wParam));
    return control != nullptr;
  }
  // IsDialogMessage sends IDOK for Enter and IDCANCEL for Escape. Escape does not close the form.
  if (LOWORD(wParam) == IDOK) {
    if (TControl* focused = ControlOf(GetFocus())) focused->OnEnterKey();
    return true;
  }
  return LOWORD(wParam) == IDCANCEL;
}

bool TForm::OnNotify(WPARAM, LPARAM lParam, LRESULT* result) {
  NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
  if (!raisesEvents_ || !header) return false;
  TControl* control = ControlOf(header->hwndFrom);
  if (control) *result = control->OnNotify(header);
  return control != nullptr;
}

bool TForm::OnCtlColor(WPARAM wParam, LPARAM lParam, LRESULT* result) {
  TControl* control = ControlOf(reinterpret_cast<HWND>(lParam));
  HBRUSH brush = control ? control->OnCtlColor(reinterpret_cast<HDC>(wParam)) : nullptr;
  *result = reinterpret_cast<LRESULT>(brush);
  return brush != nullptr;
}

bool TForm::OnSize(WPARAM, LPARAM, LRESULT*) {
  Realign();
  return true;
}

// wParam is false where another program refused to let the session end: it goes on then.
bool TForm::OnSessionEnding(WPARAM wParam, LPARAM, LRESULT*) {
  if (wParam && OnEndSession) OnEndSession();
  return true;
}

bool TForm::OnClose(WPARAM, LPARAM, LRESULT*) {
  Close();
  return true;
}

bool TForm::OnDestroy(WPARAM, LPARAM, LRESULT*) {
  if (!closed_) {
    closed_ = true;
    Application.FormClosed(this);
  }
  return false;
}

// Keeps the focused control across deactivation, as a dialog does.
bool TForm::OnActivate(WPARAM wParam, LPARAM, LRESULT*) {
  if (LOWORD(wParam) == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
    return true;
  }
  HWND target = lastFocus_ && IsChild(handle_, lastFocus_) ? lastFocus_
                                                            : GetNextDlgTabItem(handle_, nullptr, FALSE);
  if (target) ::SetFocus(target);
  return true;
}

// IsDialogMessage asks for this (arrow keys) but only a dialog's own procedure handles it.
bool TForm::OnNextDlgCtl(WPARAM wParam, LPARAM lParam, LRESULT*) {
  HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(handle_, GetFocus(), wParam != 0);
  if (target) ::SetFocus(target);
  return true;
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}
