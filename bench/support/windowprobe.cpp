#include "windowprobe.h"

#include <commctrl.h>
#include <psapi.h>

namespace vtbench {

namespace {

struct TopSearch {
  const char* windowClass;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchTop(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<TopSearch*>(param);
  char name[64];
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || GetClassNameA(window, name, sizeof name) == 0 ||
      lstrcmpA(name, search->windowClass) != 0)
    return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK MatchList(HWND window, LPARAM param) {
  char name[64];
  if (GetClassNameA(window, name, sizeof name) == 0 || lstrcmpA(name, WC_LISTVIEWA) != 0) return TRUE;
  *reinterpret_cast<HWND*>(param) = window;
  return FALSE;
}

HWND FindTop(const char* windowClass, DWORD processId) {
  TopSearch search = {windowClass, processId, nullptr};
  EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND FindListView(const char* windowClass, DWORD processId) {
  HWND top = FindTop(windowClass, processId);
  if (top == nullptr) return nullptr;
  HWND list = nullptr;
  EnumChildWindows(top, MatchList, reinterpret_cast<LPARAM>(&list));
  return list;
}

int RowCount(HWND list, DWORD timeoutMs) {
  DWORD_PTR rows = 0;
  if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, timeoutMs, &rows)) return -1;
  return static_cast<int>(rows);
}

bool WaitForRows(const char* windowClass, HANDLE process, DWORD processId, int rows, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  HWND list = nullptr;
  while (GetTickCount() - start < timeoutMs) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return false;
    if (list == nullptr || !IsWindow(list)) list = FindListView(windowClass, processId);
    if (list != nullptr && RowCount(list, timeoutMs) == rows) return true;
    Sleep(1);
  }
  return false;
}

bool PostClose(const char* windowClass, DWORD processId) {
  HWND top = FindTop(windowClass, processId);
  return top != nullptr && PostMessageA(top, WM_CLOSE, 0, 0);
}

bool ProcessMemory(HANDLE process, MemoryUse* use) {
  PROCESS_MEMORY_COUNTERS_EX counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
    return false;
  use->peakPrivateKb = static_cast<double>(counters.PeakPagefileUsage) / 1024;
  // Wine leaves PrivateUsage at 0 for other processes; PagefileUsage is the same count on NT.
  const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  use->privateKb = static_cast<double>(privateBytes) / 1024;
  return true;
}

}  // namespace vtbench
