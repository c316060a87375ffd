#include "windowclass.h"

namespace forms_internal {

bool RegisterWindowClass(WNDCLASSEXA wc) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  if (GetClassInfoExA(instance, wc.lpszClassName, &existing)) return true;
  wc.cbSize = sizeof(wc);
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  return RegisterClassExA(&wc) != 0;
}

}  // namespace forms_internal
