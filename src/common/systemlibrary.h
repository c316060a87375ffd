// Libraries from the system folder alone. Windows looks in a program's own folder first for every
// library that is not one of its known ones, and the tool is often unpacked where anyone may put a
// file beside it; run elevated, whatever is planted there would run with the administrator's
// rights. So the tool imports known libraries only, and loads any other one by this way.
#pragma once
#include <windows.h>

#include "owner.h"

namespace vtdetail {
inline void ReleaseModule(HINSTANCE__* module) { FreeLibrary(module); }
}  // namespace vtdetail

// A library loaded with LoadLibrary, freed at the end of its scope.
using VtModule = VtOwner<HINSTANCE__, vtdetail::ReleaseModule>;

// From now on this process loads libraries from the system folder alone: neither its own folder
// nor the current one is searched, also for the libraries the system's own code loads later on its
// behalf (themes, the shell's). The first thing each program does. Where Windows 7 lacks the
// function that does it (without update KB2533623), the current folder is left out at least.
void RestrictLibrarySearch();

// name ("version.dll") from the system folder; null, with GetLastError, where it cannot be loaded.
// Its functions are found with ProcOf (systemproc.h).
VtModule LoadSystemLibrary(const wchar_t* name);
