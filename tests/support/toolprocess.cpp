#include "toolprocess.h"

#include <commctrl.h>

#include <vector>

namespace vttest {
namespace {

struct Search {
  DWORD processId;
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

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !Matches(window, *search)) return TRUE;
  search->found = window;
  return FALSE;
}

BOOL CALLBACK MatchChild(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!Matches(window, *search)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

std::string WinePath(const std::string& hostPath) {
  std::string path = hostPath;
  if (!path.empty() && path[0] == '/') {
    path.insert(0, "Z:");
    for (char& c : path)
      if (c == '/') c = '\\';
  }
  return path;
}

std::string ProgramFolder() {
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  const std::string path(module, length);
  return path.substr(0, path.find_last_of('\\') + 1);
}

ToolProcess::ToolProcess(const std::string& exe) : process_(), window_(nullptr) {
  std::string commandLine = "\"" + exe + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_))
    process_ = PROCESS_INFORMATION();
}

ToolProcess::~ToolProcess() {
  Kill();
  if (process_.hProcess != nullptr) {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
}

bool ToolProcess::running() const {
  return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND ToolProcess::FindOwn(const char* className) const {
  Search search = {process_.dwProcessId, className, nullptr, true, nullptr};
  EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND ToolProcess::Child(const char* className, const char* caption) const {
  if (window_ == nullptr) return nullptr;
  Search search = {0, className, caption, false, nullptr};
  EnumChildWindows(window_, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int ToolProcess::Rows() const {
  HWND list = Child(WC_LISTVIEWA, nullptr);
  DWORD_PTR count = 0;
  if (list == nullptr ||
      !SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 5000, &count))
    return -1;
  return static_cast<int>(count);
}

bool ToolProcess::WaitForRows(int rows, DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs && running(); waited += 10, Sleep(10)) {
    if (window_ == nullptr) window_ = FindOwn("TFrmAssoc");
    if (window_ != nullptr && Rows() == rows) return true;
  }
  return false;
}

int ToolProcess::SelectAll() {
  HWND list = Child(WC_LISTVIEWA, nullptr);
  if (list == nullptr) return -1;
  void* remote = VirtualAllocEx(process_.hProcess, nullptr, sizeof(LVITEMA),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return -1;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  DWORD_PTR result = 0;
  if (WriteProcessMemory(process_.hProcess, remote, &item, sizeof item, nullptr))
    SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 30000, &result);
  VirtualFreeEx(process_.hProcess, remote, 0, MEM_RELEASE);
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(list, LVM_GETSELECTEDCOUNT, 0, 0, SMTO_NORMAL, 5000, &count)) return -1;
  return static_cast<int>(count);
}

bool ToolProcess::ButtonEnabled(const char* caption) const {
  HWND button = Child("Button", caption);
  return button != nullptr && IsWindowEnabled(button);
}

bool ToolProcess::Click(const char* caption) {
  HWND button = Child("Button", caption);
  return button != nullptr && PostMessageA(button, BM_CLICK, 0, 0);
}

bool ToolProcess::ClickAndWait(const char* caption, DWORD timeoutMs) {
  HWND button = Child("Button", caption);
  DWORD_PTR result = 0;
  return button != nullptr &&
         SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool ToolProcess::AnswerOk(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs && running(); waited += 2, Sleep(2)) {
    HWND box = FindOwn("#32770");
    HWND ok = box != nullptr ? GetDlgItem(box, IDOK) : nullptr;
    if (ok != nullptr) return PostMessageA(ok, BM_CLICK, 0, 0) != FALSE;
  }
  return false;
}

bool ToolProcess::Answers(DWORD timeoutMs) const {
  DWORD_PTR result = 0;
  return window_ != nullptr &&
         SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
}

bool ToolProcess::WaitUntilIdle(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (FindOwn("#32770") != nullptr) {
    if (GetTickCount() - start > timeoutMs || !running()) return false;
    Sleep(1);
  }
  const DWORD spent = GetTickCount() - start;
  return Answers(timeoutMs > spent ? timeoutMs - spent : 1);
}

void ToolProcess::Kill() {
  if (!running()) return;
  TerminateProcess(process_.hProcess, 9);
  WaitForSingleObject(process_.hProcess, 10000);
}

int ToolProcess::Close(DWORD timeoutMs) {
  if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
  if (process_.hProcess == nullptr ||
      WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    Kill();
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

void RunHostCommand(const std::string& command) {
  // Wine starts a host program from its path on drive Z:; its exit code does not come through,
  // so callers check the command's effect.
  std::string commandLine = "Z:\\bin\\sh -c \"" + command + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return;
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace vttest
