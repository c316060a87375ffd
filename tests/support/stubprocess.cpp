#include "stubprocess.h"

namespace vttest {
namespace {

// CMake gives the host path; Wine shows the host's root as drive Z:.
std::string StubPath() {
  std::string path = VT_PLAYER_STUB_PATH;
  if (!path.empty() && path[0] == '/') {
    path.insert(0, "Z:");
    for (char& c : path) {
      if (c == '/') c = '\\';
    }
  }
  return path;
}

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  char name[64];
  if (owner == search->processId && GetClassNameA(window, name, sizeof name) != 0 &&
      lstrcmpA(name, search->className) == 0) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

StubProcess::StubProcess() : process_(), window_(nullptr) {}

StubProcess::~StubProcess() { Close(); }

bool StubProcess::Start(const std::string& options, const char* windowClass) {
  Close();
  // A lifetime bounds a stub that a crashed test could not close.
  std::string commandLine = "\"" + StubPath() + "\" --lifetime 60000 " + options;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process_)) {
    process_ = PROCESS_INFORMATION();
    return false;
  }
  WindowSearch search = {process_.dwProcessId, windowClass, nullptr};
  for (int waited = 0; waited < 10000; waited += 10) {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) break;
    if (WaitForSingleObject(process_.hProcess, 10) == WAIT_OBJECT_0) break;
  }
  window_ = search.found;
  if (window_ == nullptr) {
    Close();
    return false;
  }
  return true;
}

int StubProcess::Close() {
  if (process_.hProcess == nullptr) return -1;
  // Without a window there is nothing to ask; a stub that already ended still gives its code.
  if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
  int code = WaitForExit(window_ != nullptr ? 10000 : 0);
  if (code == -1 && process_.hProcess != nullptr) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  if (process_.hProcess != nullptr) {
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  process_ = PROCESS_INFORMATION();
  window_ = nullptr;
  return code;
}

int StubProcess::WaitForExit(DWORD timeoutMs) {
  if (process_.hProcess == nullptr) return -1;
  if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  GetExitCodeProcess(process_.hProcess, &code);
  return static_cast<int>(code);
}

}  // namespace vttest
