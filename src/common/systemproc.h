// A function of an already loaded system library, looked up at run time: for functions that older
// Windows versions or some tool chains' import libraries lack, so that the program still starts.
#pragma once
#include <windows.h>

// The function name of library (a module already loaded, e.g. "user32.dll") as type Fn; null where
// the library is not loaded or does not export it.
template <typename Fn>
Fn SystemProc(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  FARPROC proc = module != nullptr ? GetProcAddress(module, name) : nullptr;
  // Through void(*)() so that the cast of one function type to another is not warned about.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}
