// Shared by the container controls (panel, group box): their children's notifications go to the
// form, which knows the controls, as if the children were the form's own.
#pragma once
#include <windows.h>

namespace forms_internal {

// True for the messages a container passes up: WM_COMMAND, WM_NOTIFY and WM_CTLCOLOR*.
bool IsForwarded(UINT message);
// Sends the message to the top-level window that holds hwnd and returns its answer.
LRESULT ForwardToForm(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Makes an existing window (a group box) forward those messages.
bool SubclassAsContainer(HWND hwnd);
// The window class of panels; registered on first use.
const char* PanelClassName();

}  // namespace forms_internal
