// Opening a file or a URI with the handler Windows registers for it, from a window that runs
// elevated for an administrator. Elevated, the merged classes would let the user's own classes
// choose that handler (HKCU\Software\Classes, which every unelevated process of the user may
// write: a known way round User Account Control), and it would run elevated, unasked. So an
// elevated process takes the handler from the machine's classes alone.
#pragma once
#include <windows.h>

#include "registry.h"

// Whether this process runs with an administrator's full (elevated) token.
bool ProcessIsElevated();

// Opens into *classKey, for reading, the machine's class of target's handler: for a URI
// ("scheme:..."; a drive's "X:" is no scheme) the scheme's key, for a file the ProgID its
// extension names in the machine's classes, else the extension's own key. False where the
// machine's classes have none.
bool OpenMachineHandlerClass(const char* target, VtRegistry* classKey);

// Opens target (ANSI code page) with its "open" handler: the user's as Windows merges them where
// this process is not elevated, else the machine's class alone. Silent: no box where there is no
// handler. False when nothing was started.
bool OpenWithHandler(HWND owner, const char* target);
