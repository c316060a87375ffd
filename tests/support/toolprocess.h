// A copy of vntassoc.exe run as a process of its own and driven from outside as a user would: its
// window found by process, rows selected, buttons clicked, confirmation boxes answered, the process
// closed or killed (killed also on destruction, if it still runs). Every wait is bounded. A copy of
// vntassoc-cli.exe, which has no window, is only waited for or killed.
#pragma once
#include <windows.h>

#include <string>

#include "process.h"

namespace vttest {

class ToolProcess {
 public:
  // Starts exe with the arguments.
  explicit ToolProcess(const std::string& exe, const std::string& arguments = "");
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  bool running() const { return process_.running(); }
  // Waits until the window is shown with this many rows; false after timeoutMs.
  bool WaitForRows(int rows, DWORD timeoutMs);
  // The list's row count; -1 when the list is not found or does not answer.
  int Rows() const;
  // Selects every row (LVM_SETITEMSTATE with an LVITEM in the tool's memory); the selected count.
  int SelectAll();
  bool ButtonEnabled(const char* caption) const;
  // Posts BM_CLICK to the button with this caption.
  bool Click(const char* caption);
  // Sends BM_CLICK and waits until the button's handler has returned; false after timeoutMs, as
  // when the handler waits for a box. A box opened this way may stay hidden under Wine.
  bool ClickAndWait(const char* caption, DWORD timeoutMs);
  // Waits for the tool's message box and posts BM_CLICK to its OK button; false after timeoutMs.
  bool AnswerOk(DWORD timeoutMs);
  // Waits until no message box of the tool is left and the window answers WM_NULL: the command
  // that the box started has ended. False after timeoutMs.
  bool WaitUntilIdle(DWORD timeoutMs);
  // Whether the window answers WM_NULL within timeoutMs.
  bool Answers(DWORD timeoutMs) const;
  // The exit code once the process has ended by itself within timeoutMs; -1 while it runs.
  int WaitForExit(DWORD timeoutMs) const { return process_.WaitForExit(timeoutMs); }
  void Kill() { process_.Kill(); }
  // Ends the session as Windows does at a log-off: WM_QUERYENDSESSION, then WM_ENDSESSION with
  // TRUE, each sent and answered; the process is then killed, as Windows ends it without closing
  // its window. False when the window did not answer within timeoutMs.
  bool EndSession(DWORD timeoutMs);
  // Closes the window and returns the exit code; -1 when it had to be killed.
  int Close(DWORD timeoutMs);

 private:
  HWND Child(const char* className, const char* caption) const;

  ChildProcess process_;
  HWND window_;
};

}  // namespace vttest
