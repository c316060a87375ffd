// The program entry: one window per desktop. A second start brings the first window forward and
// ends; otherwise the window runs until it is closed. The exit code is 0 on every path.
#include <windows.h>

#include "forms.h"
#include "mainfrm.h"
#include "systemlibrary.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictLibrarySearch();
  // Any top-level window of this class counts, whatever its title or process.
  HWND running = FindWindowA("TFrmAssoc", nullptr);
  if (running != nullptr) {
    SetForegroundWindow(running);
    return 0;
  }
  Application.Initialize();
  FrmAssoc = Application.CreateForm<TFrmAssoc>();
  Application.Run();
  FrmAssoc = nullptr;  // Run has destroyed the window
  return 0;
}
