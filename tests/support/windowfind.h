// Another process's windows, as a test drives them or a benchmark measures them.
#pragma once
#include <windows.h>

namespace vttest {

class ChildProcess;

// The first top-level window of className owned by processId (a shown one only, when visibleOnly);
// null while there is none.
HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly = false);
// The first window beneath parent of className whose text is caption (any text when null); null
// when there is none.
HWND FindChildWindow(HWND parent, const char* className, const char* caption = nullptr);
// A list view's row count as its own thread answers it; -1 when it does not answer in timeoutMs.
int ListRows(HWND list, DWORD timeoutMs);
// Waits, looking every millisecond, until the list view in the process's top-level window of
// className holds rows rows; that window, or null after timeoutMs or once the process has ended.
HWND WaitForListRows(const ChildProcess& process, const char* className, int rows,
                     DWORD timeoutMs, bool visibleOnly);

}  // namespace vttest
