// Looking at another process's window from a benchmark: its list view's row count and its memory.
#pragma once
#include <windows.h>

namespace vtbench {

// The first SysListView32 inside the top-level window of class windowClass owned by process id;
// null while there is none.
HWND FindListView(const char* windowClass, DWORD processId);
// The list's row count as its own thread answers it; -1 when it does not answer within timeoutMs.
int RowCount(HWND list, DWORD timeoutMs);
// Waits (polling) until the list of windowClass in process id holds rows rows; false after timeoutMs
// or when the process ends first.
bool WaitForRows(const char* windowClass, HANDLE process, DWORD processId, int rows, DWORD timeoutMs);
// Posts WM_CLOSE to the process's top-level window of windowClass.
bool PostClose(const char* windowClass, DWORD processId);

struct MemoryUse {
  double peakPrivateKb;  // PeakPagefileUsage
  double privateKb;      // PrivateUsage
};
bool ProcessMemory(HANDLE process, MemoryUse* use);

}  // namespace vtbench
