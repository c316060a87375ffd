#include "container.h"

#include <commctrl.h>

#include "windowclass.h"

namespace forms_internal {
namespace {

const char kPanelClass[] = "TPanel";

// Themed buttons and radio buttons draw their parent's background through WM_PRINTCLIENT, and a
// group box never erases its inside: both would show black where nothing painted.
void FillFace(HWND hwnd, HDC dc) {
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsForwarded(message)) return ForwardToForm(hwnd, message, wParam, lParam);
  if (message == WM_PRINTCLIENT) {
    FillFace(hwnd, reinterpret_cast<HDC>(wParam));
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ContainerSubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR) {
  if (IsForwarded(message)) return ForwardToForm(hwnd, message, wParam, lParam);
  if (message == WM_ERASEBKGND) {
    FillFace(hwnd, reinterpret_cast<HDC>(wParam));
    return 1;
  }
  if (message == WM_PRINTCLIENT) FillFace(hwnd, reinterpret_cast<HDC>(wParam));
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ContainerSubclassProc, id);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool IsForwarded(UINT message) {
  return message == WM_COMMAND || message == WM_NOTIFY ||
         (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

LRESULT ForwardToForm(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND root = GetAncestor(hwnd, GA_ROOT);
  if (!root || root == hwnd) return DefWindowProcA(hwnd, message, wParam, lParam);
  return SendMessageA(root, message, wParam, lParam);
}

bool SubclassAsContainer(HWND hwnd) {
  return SetWindowSubclass(hwnd, ContainerSubclassProc, 1, 0) != FALSE;
}

const char* PanelClassName() {
  WNDCLASSEXA wc{};
  wc.lpfnWndProc = PanelProc;
  wc.lpszClassName = kPanelClass;
  RegisterWindowClass(wc);
  return kPanelClass;
}

}  // namespace forms_internal
