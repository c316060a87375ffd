#include "windowprobe.h"

#include <psapi.h>

#include "windowfind.h"

namespace vtbench {

bool PostClose(const char* windowClass, DWORD processId) {
  HWND top = vttest::FindProcessWindow(processId, windowClass);
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
