#include "application.h"

#include <commctrl.h>

#include <algorithm>

#include "emptytext.h"
#include "form.h"

TApplication Application;

TApplication::~TApplication() { DestroyOwnedForms(); }

bool TApplication::Initialize() {
  if (!initialized_) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    if (!InitCommonControlsEx(&icc)) return false;
    HDC screen = GetDC(nullptr);
    if (screen) {
      int dpi = GetDeviceCaps(screen, LOGPIXELSY);
      if (dpi > 0) dpi_ = dpi;
      ReleaseDC(nullptr, screen);
    }
    initialized_ = true;
  }
  return true;
}

int TApplication::Run() { return RunWith(&GetMessageA); }

int TApplication::RunWith(TGetMessageFn getMessage) {
  int result = 0;
  if (mainForm_ && mainForm_->Handle() && !mainForm_->Closed()) {
    if (!IsWindowVisible(mainForm_->Handle())) mainForm_->Show();
    MSG msg;
    ++running_;
    for (;;) {
      BOOL got = getMessage(&msg, nullptr, 0, 0);
      if (got == -1) {
        result = -1;
        break;
      }
      if (got == 0) break;
      if (!DialogMessage(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    --running_;
  }
  DestroyOwnedForms();
  return result;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit for a loop that may still be waiting for it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (!DialogMessage(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void TApplication::Terminate() {
  if (running_ > 0) PostQuitMessage(0);
}

bool TApplication::DialogMessage(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  for (TForm* form : forms_) {
    if (form->Handle() == root) return IsDialogMessageA(root, &msg) != FALSE;
  }
  return false;
}

int TApplication::MessageBox(const char* text, const char* caption, UINT flags) {
  if (messageBoxHook_) return messageBoxHook_(OrEmpty(text), OrEmpty(caption), flags);
  HWND owner = mainForm_ ? mainForm_->Handle() : nullptr;
  return ::MessageBoxA(owner, text, caption, flags);
}

int TApplication::MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags) {
  if (wideMessageBoxHook_) return wideMessageBoxHook_(text, caption, flags);
  HWND owner = mainForm_ ? mainForm_->Handle() : nullptr;
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}

TWideMessageBoxHook TApplication::SetWideMessageBoxHook(TWideMessageBoxHook hook) {
  std::swap(hook, wideMessageBoxHook_);
  return hook;
}

TMessageBoxHook TApplication::SetMessageBoxHook(TMessageBoxHook hook) {
  std::swap(hook, messageBoxHook_);
  return hook;
}

int TApplication::SetDpi(int dpi) {
  int previous = dpi_;
  if (dpi > 0) dpi_ = dpi;
  return previous;
}

void TApplication::FormCreated(TForm* form) {
  forms_.push_back(form);
  if (!mainForm_) mainForm_ = form;
}

void TApplication::FormDestroyed(TForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::FormClosed(TForm* form) {
  if (form == mainForm_) Terminate();
}

void TApplication::DestroyOwnedForms() {
  while (!owned_.empty()) owned_.pop_back();
}
