// The window classes of the framework's own windows (forms, panels).
#pragma once
#include <windows.h>

namespace forms_internal {

// Registers the class named wc.lpszClassName with wc's procedure, style and icon, and with what all
// of them share: this module, the arrow cursor and the face colour. True when the class exists
// already (wc is then not used) or is registered now.
bool RegisterWindowClass(WNDCLASSEXA wc);

}  // namespace forms_internal
