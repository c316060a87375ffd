#include "form.h"

#include <commctrl.h>

#include "application.h"
#include "button.h"

namespace {

// First control id; stays clear of IDOK/IDCANCEL, which IsDialogMessage sends for Enter and Escape.
const int kFirstControlId = 100;

}  // namespace

int TForm::Scale(int length96) { return Application.Scale(length96); }

TForm::TForm(const TFormArgs& args)
    : font_("ＭＳ Ｐゴシック", Application.Scale(12), SHIFTJIS_CHARSET) {
  Application.FormCreated(this);
  const char* className = args.className ? args.className : "TForm";
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA wc{};
  if (!GetClassInfoExA(instance, className, &wc)) {
    wc = WNDCLASSEXA{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = StaticWndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, "MAINICON");
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = className;
    if (!RegisterClassExA(&wc)) return;
  }
  int width = Scale(args.width);
  int height = Scale(args.height);
  int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  CreateWindowExA(WS_EX_CONTROLPARENT, className, args.caption ? args.caption : "",
                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, left, top, width, height, nullptr, nullptr,
                  instance, this);
  if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), FALSE);
}

TForm::~TForm() {
  routing_ = false;
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
  if (handle_) SetWindowTextA(handle_, caption ? caption : "");
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

TControl* TForm::FindControl(const char* name) const {
  if (!name) return nullptr;
  for (const auto& control : controls_) {
    if (control->Name() == name) return control.get();
  }
  return nullptr;
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

void TForm::OnEnterKey() {
  // IsDialogMessage sends IDOK for Enter when the focused button is not a dialog default button,
  // which is always the case outside a dialog: press the focused push button ourselves.
  HWND focus = GetFocus();
  if (dynamic_cast<TButton*>(ControlOf(focus)) && IsWindowEnabled(focus)) {
    SendMessageA(focus, BM_CLICK, 0, 0);
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
  switch (message) {
    case WM_COMMAND: {
      HWND from = reinterpret_cast<HWND>(lParam);
      if (!routing_) break;
      if (from) {
        if (TControl* control = ControlOf(from)) {
          control->OnCommand(HIWORD(wParam));
          return 0;
        }
      } else if (LOWORD(wParam) == IDOK) {
        OnEnterKey();
        return 0;
      } else if (LOWORD(wParam) == IDCANCEL) {
        return 0;  // Escape does not close the form
      }
      break;
    }
    case WM_NOTIFY: {
      NMHDR* header = reinterpret_cast<NMHDR*>(lParam);
      if (!routing_ || !header) break;
      if (TControl* control = ControlOf(header->hwndFrom)) return control->OnNotify(header);
      break;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      if (TControl* control = ControlOf(reinterpret_cast<HWND>(lParam))) {
        if (HBRUSH brush = control->OnCtlColor(reinterpret_cast<HDC>(wParam), message)) {
          return reinterpret_cast<LRESULT>(brush);
        }
      }
      break;
    case WM_SIZE:
      Realign();
      return 0;
    case WM_CLOSE:
      Close();
      return 0;
    case WM_DESTROY:
      if (!closed_) {
        closed_ = true;
        Application.FormClosed(this);
      }
      break;
    case WM_ACTIVATE:
      // Keep the focused control across deactivation, as a dialog does.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(handle_, focus)) lastFocus_ = focus;
      } else {
        HWND target = lastFocus_ && IsChild(handle_, lastFocus_)
                          ? lastFocus_
                          : GetNextDlgTabItem(handle_, nullptr, FALSE);
        if (target) ::SetFocus(target);
      }
      return 0;
    case WM_NEXTDLGCTL: {
      // IsDialogMessage asks for this (arrow keys) but only a dialog's own procedure handles it.
      HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(handle_, GetFocus(), wParam != 0);
      if (target) ::SetFocus(target);
      return 0;
    }
    default:
      break;
  }
  return WndProc(message, wParam, lParam);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(handle_, message, wParam, lParam);
}
