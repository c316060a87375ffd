#include "ddereplyfilter.h"

// dde.h needs windows.h first.
#include <dde.h>

#include "systemproc.h"

namespace {

using WindowFilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
using ProcessFilterFn = BOOL(WINAPI*)(UINT, DWORD);

const UINT kReplies[] = {WM_DDE_ACK, WM_DDE_DATA, WM_DDE_TERMINATE};

// Windows 7 and later; Vista has only the process-wide filter.
WindowFilterFn WindowFilter() {
  return SystemProc<WindowFilterFn>("user32.dll", "ChangeWindowMessageFilterEx");
}

LRESULT CALLBACK LetRepliesIntoNewWindow(int code, WPARAM wParam, LPARAM lParam) {
  // A hook procedure has no context of its own, so the function is looked up again here.
  const WindowFilterFn filter = code == HCBT_CREATEWND ? WindowFilter() : nullptr;
  if (filter != nullptr) {
    for (const UINT message : kReplies)
      filter(reinterpret_cast<HWND>(wParam), message, MSGFLT_ALLOW, nullptr);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

VtDdeReplyFilter::VtDdeReplyFilter() : hook_(nullptr) {
  if (WindowFilter() != nullptr) {
    hook_ = SetWindowsHookExA(WH_CBT, LetRepliesIntoNewWindow, nullptr, GetCurrentThreadId());
    return;
  }
  const auto processFilter = SystemProc<ProcessFilterFn>("user32.dll", "ChangeWindowMessageFilter");
  if (processFilter == nullptr) return;
  for (const UINT message : kReplies) processFilter(message, MSGFLT_ADD);
}

VtDdeReplyFilter::~VtDdeReplyFilter() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
}
