#include "control.h"

#include <vector>

#include "form.h"
#include "widetext.h"

bool TControl::Create(TForm& form, const TCreateArgs& args, int id) {
  form_ = &form;
  flags_ = args.flags;
  bounds96_ = args.bounds;
  WindowKind kind = Kind(args);
  background_ = kind.background;
  DWORD style = kind.style | WS_CHILD | WS_CLIPSIBLINGS;
  if (!(args.flags & cfHidden)) style |= WS_VISIBLE;
  if (args.flags & cfDisabled) style |= WS_DISABLED;
  HWND parent = args.parent && args.parent->Handle() ? args.parent->Handle() : form.Handle();
  QuietScope quiet(*this);
  const int left = TForm::Scale(args.bounds.left), top = TForm::Scale(args.bounds.top);
  const int width = TForm::Scale(args.bounds.width), height = TForm::Scale(args.bounds.height);
  HMENU menu = reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
  handle_ = kind.unicode
                ? CreateWindowExW(kind.exStyle, WideFrom(kind.className, CP_ACP).c_str(),
                                  WideFrom(args.caption, CP_ACP).c_str(), style, left, top, width,
                                  height, parent, menu, GetModuleHandleW(nullptr), nullptr)
                : CreateWindowExA(kind.exStyle, kind.className, OrEmpty(args.caption), style,
                                  left, top, width, height, parent, menu,
                                  GetModuleHandleA(nullptr), nullptr);
  if (!handle_) return false;
  SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(form.Font()), FALSE);
  AfterCreate(args);
  return true;
}

std::string TControl::Text() const {
  if (!handle_) return std::string();
  int length = GetWindowTextLengthA(handle_);
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  int got = GetWindowTextA(handle_, buffer.data(), length + 1);
  return std::string(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void TControl::SetText(const char* text) {
  QuietScope quiet(*this);
  if (handle_) SetWindowTextA(handle_, OrEmpty(text));
}

std::wstring TControl::WideText() const {
  if (!handle_) return std::wstring();
  int length = GetWindowTextLengthW(handle_);
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  int got = GetWindowTextW(handle_, buffer.data(), length + 1);
  return std::wstring(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
}

void TControl::SetText(const std::wstring& text) {
  QuietScope quiet(*this);
  if (handle_) SetWindowTextW(handle_, text.c_str());
}

bool TControl::Enabled() const { return handle_ && IsWindowEnabled(handle_); }

void TControl::SetEnabled(bool enabled) {
  if (handle_) EnableWindow(handle_, enabled ? TRUE : FALSE);
}

void TControl::SetFocus() {
  if (handle_) ::SetFocus(handle_);
}

void TControl::AfterCreate(const TCreateArgs&) {}
void TControl::OnCommand(WORD) {}
LRESULT TControl::OnNotify(NMHDR*) { return 0; }
void TControl::OnEnterKey() {}

HBRUSH TControl::OnCtlColor(HDC dc) const {
  if (background_ != Background::Face) return nullptr;
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}
