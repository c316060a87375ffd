// winctl: waits for or closes a top-level window by class name, for scripts that drive the tool
// under Wine without a window manager.
//   winctl wait CLASS [TIMEOUT_MS]   exit 0 once a visible window of CLASS has painted and is idle
//   winctl close CLASS [TIMEOUT_MS]  posts WM_CLOSE, exit 0 once no window of CLASS is left
//   winctl width CLASS PIXELS        widens or narrows the window to PIXELS about its centre
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool WaitFor(bool (*done)(const char*), const char* cls, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done(cls)) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(50);
  }
}

BOOL CALLBACK FindUnpainted(HWND wnd, LPARAM unpainted) {
  if (!GetUpdateRect(wnd, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(unpainted) = true;
  return FALSE;
}

// Answering a sent message means the window's thread is in its message loop, so start-up is over;
// then no part of the window or its controls may still wait for WM_PAINT.
bool IsPaintedOnce(const char* cls) {
  HWND wnd = FindWindowA(cls, nullptr);
  if (wnd == nullptr || !IsWindowVisible(wnd)) return false;
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored)) return false;
  bool unpainted = GetUpdateRect(wnd, nullptr, FALSE) != FALSE;
  if (!unpainted) EnumChildWindows(wnd, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return !unpainted;
}

// Twice, a pause apart: Wine copies a window's pixels to the display when its thread goes idle,
// which it does in that pause.
bool IsPainted(const char* cls) {
  if (!IsPaintedOnce(cls)) return false;
  Sleep(50);
  return IsPaintedOnce(cls);
}

bool IsGone(const char* cls) { return FindWindowA(cls, nullptr) == nullptr; }

bool SetWidth(const char* cls, int width) {
  HWND wnd = FindWindowA(cls, nullptr);
  RECT frame;
  if (wnd == nullptr || width <= 0 || !GetWindowRect(wnd, &frame)) return false;
  const int left = (frame.left + frame.right - width) / 2;
  return SetWindowPos(wnd, nullptr, left, frame.top, width, frame.bottom - frame.top,
                      SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: winctl wait|close CLASS [TIMEOUT_MS] | width CLASS PIXELS\n");
    return 2;
  }
  const char* cls = argv[2];
  if (std::strcmp(argv[1], "width") == 0)
    return argc > 3 && SetWidth(cls, std::atoi(argv[3])) ? 0 : 1;
  const DWORD timeoutMs = argc > 3 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 20000;
  if (std::strcmp(argv[1], "wait") == 0) return WaitFor(IsPainted, cls, timeoutMs) ? 0 : 1;
  if (std::strcmp(argv[1], "close") == 0) {
    HWND wnd = FindWindowA(cls, nullptr);
    if (wnd != nullptr) PostMessageA(wnd, WM_CLOSE, 0, 0);
    return WaitFor(IsGone, cls, timeoutMs) ? 0 : 1;
  }
  std::fprintf(stderr, "winctl: unknown command %s\n", argv[1]);
  return 2;
}
