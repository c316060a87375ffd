// vntplayer-stub: stands in for the player in tests and demos. It shows the player's window class,
// holds its mutex and answers its DDE items; the command line chooses each of these.
//
//   --exe-name TEXT | --exe-name-empty | --no-exe-name          answer to "ExeName", which is
//                         otherwise the stub's own path, as the player answers it; a test that
//                         names another path plays a program posing as the player
//   --support-ext TEXT | --support-ext-empty | --no-support-ext  answer to "SupportExt"
//   --ext-count N         "SupportExt" answers .x1;.x2;...;.xN
//   --ext-prefix P        ... or .P1;.P2;...;.PN, so that a test's extensions are its own
//   --support-ext-file F  "SupportExt" answers the bytes of file F, whatever they are
//   --no-terminator       send the answers' bytes without a terminating zero
//   --delay MS            wait before answering (every item, or only --delay-item ITEM)
//   --no-mutex            do not create the mutex "Vantrel Player"
//   --no-window-class     use the window class "VtPlayerStub" instead of "TFrmMIDI"
//   --lifetime MS         close by itself after MS milliseconds
//
// Exit codes: 0 after the window closed, 2 for a bad command line, 3 when the window cannot be made.
#include <windows.h>

#include <cstdlib>

#include "handle.h"
#include "rawddeserver.h"
#include "stubconfig.h"

namespace {

const char kPlayerClass[] = "TFrmMIDI";
const char kOtherClass[] = "VtPlayerStub";
const UINT_PTR kLifetimeTimer = 1;

LRESULT CALLBACK StubWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* server = reinterpret_cast<RawDdeServer*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (server != nullptr && server->Handle(window, message, wParam, lParam)) return 0;
  switch (message) {
    case WM_TIMER:
      if (wParam == kLifetimeTimer) DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  StubConfig config = DefaultStubConfig();
  if (!ParseStubOptions(__argc, __argv, &config)) return 2;

  // Created before the window, so whoever sees the window finds the mutex too.
  VtHandle mutex(config.createMutex ? CreateMutexA(nullptr, FALSE, "Vantrel Player") : nullptr);

  const char* className = config.playerWindowClass ? kPlayerClass : kOtherClass;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = StubWindowProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className;
  if (RegisterClassA(&windowClass) == 0) return 3;

  RawDdeServer server(config);
  HWND window = CreateWindowExA(0, className, "Vantrel Player (stand-in)", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 320, 120, nullptr, nullptr, instance,
                                &server);
  if (window == nullptr) return 3;
  if (config.lifetimeMs != 0) SetTimer(window, kLifetimeTimer, config.lifetimeMs, nullptr);
  ShowWindow(window, showCommand);

  MSG message;
  BOOL got;
  while ((got = GetMessageA(&message, nullptr, 0, 0)) != 0) {
    if (got == -1) return 3;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
