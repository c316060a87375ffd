#include "windowfind.h"

#include <commctrl.h>

#include "process.h"

namespace vttest {
namespace {

struct Search {
  DWORD processId;  // 0: any (children)
  const char* className;
  const char* caption;
  bool visibleOnly;
  HWND found;
};

bool Matches(HWND window, const Search& search) {
  char name[64] = "";
  if (GetClassNameA(window, name, sizeof name) == 0 || lstrcmpA(name, search.className) != 0)
    return false;
  if (search.visibleOnly && !IsWindowVisible(window)) return false;
  if (search.caption == nullptr) return true;
  char text[64] = "";
  GetWindowTextA(window, text, sizeof text);
  return lstrcmpA(text, search.caption) == 0;
}

BOOL CALLBACK Match(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  if (search->processId != 0) GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !Matches(window, *search)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly) {
  Search search = {processId, className, nullptr, visibleOnly, nullptr};
  EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChildWindow(HWND parent, const char* className, const char* caption) {
  Search search = {0, className, caption, false, nullptr};
  if (parent != nullptr) EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int ListRows(HWND list, DWORD timeoutMs) {
  DWORD_PTR rows = 0;
  if (list == nullptr ||
      !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, timeoutMs, &rows))
    return -1;
  return static_cast<int>(rows);
}

HWND WaitForListRows(const ChildProcess& process, const char* className, int rows,
                     DWORD timeoutMs, bool visibleOnly) {
  const DWORD start = GetTickCount();
  HWND top = nullptr, list = nullptr;
  while (GetTickCount() - start < timeoutMs && process.running()) {
    if (list == nullptr || !IsWindow(list)) {
      top = FindProcessWindow(process.id(), className, visibleOnly);
      list = FindChildWindow(top, WC_LISTVIEWA);
    }
    if (list != nullptr && ListRows(list, timeoutMs) == rows) return top;
    Sleep(1);
  }
  return nullptr;
}

}  // namespace vttest
