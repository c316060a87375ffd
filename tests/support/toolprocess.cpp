#include "toolprocess.h"

#include <commctrl.h>

#include "windowfind.h"

namespace vttest {
namespace {

const char kWindowClass[] = "TFrmAssoc";
const char kBoxClass[] = "#32770";

}  // namespace

ToolProcess::ToolProcess(const std::string& exe, const std::string& arguments)
    : window_(nullptr) {
  process_.Start("\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments));
}

HWND ToolProcess::Child(const char* className, const char* caption) const {
  return window_ != nullptr ? FindChildWindow(window_, className, caption) : nullptr;
}

bool ToolProcess::WaitForRows(int rows, DWORD timeoutMs) {
  const HWND shown = WaitForListRows(process_, kWindowClass, rows, timeoutMs, true);
  if (shown != nullptr) window_ = shown;
  return shown != nullptr;
}

int ToolProcess::Rows() const {
  const HWND list = Child(WC_LISTVIEWA, nullptr);
  return list != nullptr ? ListRows(list, 5000) : -1;
}

int ToolProcess::SelectAll() {
  HWND list = Child(WC_LISTVIEWA, nullptr);
  if (list == nullptr) return -1;
  void* remote = VirtualAllocEx(process_.handle(), nullptr, sizeof(LVITEMA),
                                MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (remote == nullptr) return -1;
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  DWORD_PTR result = 0;
  if (WriteProcessMemory(process_.handle(), remote, &item, sizeof item, nullptr))
    SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 30000, &result);
  VirtualFreeEx(process_.handle(), remote, 0, MEM_RELEASE);
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
    HWND box = FindProcessWindow(process_.id(), kBoxClass, true);
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
  while (FindProcessWindow(process_.id(), kBoxClass, true) != nullptr) {
    if (GetTickCount() - start > timeoutMs || !running()) return false;
    Sleep(1);
  }
  const DWORD spent = GetTickCount() - start;
  return Answers(timeoutMs > spent ? timeoutMs - spent : 1);
}

bool ToolProcess::EndSession(DWORD timeoutMs) {
  DWORD_PTR result = 0;
  const bool answered =
      window_ != nullptr &&
      SendMessageTimeoutA(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL,
                          timeoutMs, &result) != 0 &&
      SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, timeoutMs,
                          &result) != 0;
  process_.Kill();
  return answered;
}

int ToolProcess::Close(DWORD timeoutMs) {
  if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
  const int code = process_.WaitForExit(timeoutMs);
  process_.Kill();
  return code;
}

}  // namespace vttest
