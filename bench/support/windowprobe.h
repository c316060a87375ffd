// Looking at another process's window from a benchmark: closing it and its memory.
#pragma once
#include <windows.h>

namespace vtbench {

// Posts WM_CLOSE to the process's top-level window of windowClass.
bool PostClose(const char* windowClass, DWORD processId);

struct MemoryUse {
  double peakPrivateKb;  // PeakPagefileUsage
  double privateKb;      // PrivateUsage
};
bool ProcessMemory(HANDLE process, MemoryUse* use);

}  // namespace vtbench
