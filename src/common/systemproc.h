// A function of a system library, looked up at run time: for functions that older Windows versions
// or some tool chains' import libraries lack, so that the program still starts, and for libraries
// loaded from the system folder alone (systemlibrary.h).
#pragma once
#include <windows.h>

// The function name of module as type Fn; null where module is null or does not export it.
template <typename Fn>
Fn ProcOf(HMODULE module, const char* name) {
  FARPROC proc = module != nullptr ? GetProcAddress(module, name) : nullptr;
  // Through void(*)() so that the cast of one function type to another is not warned about.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

// The function name of library (a module already loaded, e.g. "user32.dll") as type Fn; null where
// the library is not loaded or does not export it.
template <typename Fn>
Fn SystemProc(const char* library, const char* name) {
  return ProcOf<Fn>(GetModuleHandleA(library), name);
}
