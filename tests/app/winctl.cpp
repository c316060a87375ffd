// winctl: waits for or closes a top-level window by class name, for scripts that drive the tool
// under Wine without a window manager.
//   winctl wait CLASS [TIMEOUT_MS]   exit 0 once a visible window of CLASS exists
//   winctl close CLASS [TIMEOUT_MS]  posts WM_CLOSE, exit 0 once no window of CLASS is left
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

bool IsShown(const char* cls) {
  HWND wnd = FindWindowA(cls, nullptr);
  return wnd != nullptr && IsWindowVisible(wnd);
}

bool IsGone(const char* cls) { return FindWindowA(cls, nullptr) == nullptr; }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: winctl wait|close CLASS [TIMEOUT_MS]\n");
    return 2;
  }
  const char* cls = argv[2];
  const DWORD timeoutMs = argc > 3 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 20000;
  if (std::strcmp(argv[1], "wait") == 0) return WaitFor(IsShown, cls, timeoutMs) ? 0 : 1;
  if (std::strcmp(argv[1], "close") == 0) {
    HWND wnd = FindWindowA(cls, nullptr);
    if (wnd != nullptr) PostMessageA(wnd, WM_CLOSE, 0, 0);
    return WaitFor(IsGone, cls, timeoutMs) ? 0 : 1;
  }
  std::fprintf(stderr, "winctl: unknown command %s\n", argv[1]);
  return 2;
}
