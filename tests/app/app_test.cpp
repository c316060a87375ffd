// The built vntassoc.exe as a process of its own: one window per desktop, exit code 0 on every
// path, options written when the window closes. The exe is copied to a scratch folder so that its
// options file lands there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "scratch.h"

namespace {

class ToolProcess {
 public:
  ToolProcess(const std::string& exe, const std::string& arguments) : process_() {
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
      process_ = PROCESS_INFORMATION();
    }
  }
  ~ToolProcess() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0)
      TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  // The tool's window once it is shown; tests run one tool at a time.
  static HWND WaitForWindow() {
    for (int waited = 0; waited < 20000; waited += 20, Sleep(20)) {
      HWND window = FindWindowA("TFrmAssoc", nullptr);
      if (window != nullptr && IsWindowVisible(window)) return window;
    }
    return nullptr;
  }
  // The exit code, or -1 when the process still runs after timeoutMs.
  int WaitForExit(DWORD timeoutMs) const {
    if (process_.hProcess == nullptr ||
        WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION process_;
};

BOOL CALLBACK FindCloseButton(HWND child, LPARAM found) {
  char text[32] = "";
  GetWindowTextA(child, text, sizeof text);
  if (lstrcmpA(text, "閉じる") != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string built = VT_VNTASSOC_EXE;  // a host path; Wine shows the host's root as Z:
    if (built[0] == '/') built.insert(0, "Z:");
    ASSERT_TRUE(CopyFileA(built.c_str(), exe_.c_str(), FALSE));
  }

  vttest::ScratchDir dir_;
  std::string exe_ = dir_.File("vntassoc.exe");
  std::string ini_ = dir_.File("vntassoc.ini");
};

}  // namespace

TEST_F(AppTest, SecondStartEndsAtOnceAndTheFirstWindowClosesWithOptionsWritten) {
  ToolProcess first(exe_, "");
  HWND window = ToolProcess::WaitForWindow();
  ASSERT_NE(window, nullptr);

  ToolProcess second(exe_, "/clear extra arguments");
  EXPECT_EQ(second.WaitForExit(10000), 0);
  EXPECT_TRUE(IsWindowVisible(window));

  HWND closeButton = nullptr;
  EnumChildWindows(window, FindCloseButton, reinterpret_cast<LPARAM>(&closeButton));
  ASSERT_NE(closeButton, nullptr);
  PostMessageA(closeButton, BM_CLICK, 0, 0);
  EXPECT_EQ(first.WaitForExit(10000), 0);
  std::string options;
  EXPECT_TRUE(vttest::ReadFileBytes(ini_, &options));
  EXPECT_EQ(options, "[vntassoc]\r\nAddOption=-1\r\nListOption=0\r\n");
}

TEST_F(AppTest, AnyTopLevelWindowOfTheClassCountsAsTheRunningTool) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = DefWindowProcA;
  windowClass.lpszClassName = "TFrmAssoc";
  ASSERT_NE(RegisterClassA(&windowClass), 0);
  HWND other = CreateWindowA("TFrmAssoc", "another program", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                             nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  ToolProcess tool(exe_, "");
  EXPECT_EQ(tool.WaitForExit(10000), 0);
  EXPECT_EQ(GetFileAttributesA(ini_.c_str()), INVALID_FILE_ATTRIBUTES);  // no window was made
  DestroyWindow(other);
}
