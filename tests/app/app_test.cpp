// The built vntassoc.exe as a process of its own: one window per desktop, exit code 0 on every
// path, options written when the window closes. The exe is copied to a scratch folder so that its
// options file lands there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "regaccess.h"
#include "scratch.h"
#include "toolprocess.h"
#include "windowfind.h"

namespace {

using vttest::ToolProcess;

// The tool's window once it is shown; tests run one tool at a time.
HWND WaitForWindow() {
  for (int waited = 0; waited < 20000; waited += 20, Sleep(20)) {
    HWND window = FindWindowA("TFrmAssoc", nullptr);
    if (window != nullptr && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

class AppTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_VNTASSOC_EXE).c_str(), exe_.c_str(), FALSE));
  }

  vttest::ScratchDir dir_;
  std::string exe_ = dir_.File("vntassoc.exe");
  std::string ini_ = dir_.File("vntassoc.ini");
};

}  // namespace

TEST_F(AppTest, SecondStartEndsAtOnceAndTheFirstWindowClosesWithOptionsWritten) {
  ToolProcess first(exe_, "");
  HWND window = WaitForWindow();
  ASSERT_NE(window, nullptr);

  ToolProcess second(exe_, "/clear extra arguments");
  EXPECT_EQ(second.WaitForExit(10000), 0);
  EXPECT_TRUE(IsWindowVisible(window));

  HWND closeButton = vttest::FindChildWindow(window, "Button", "閉じる");
  ASSERT_NE(closeButton, nullptr);
  PostMessageA(closeButton, BM_CLICK, 0, 0);
  EXPECT_EQ(first.WaitForExit(10000), 0);
  std::string options;
  EXPECT_TRUE(vttest::ReadFileBytes(ini_, &options));
  // Started without the player, the window also keeps the classes' memo after its options.
  EXPECT_EQ(options.substr(0, options.find("[classes]")),
            "[vntassoc]\r\nAddOption=-1\r\nListOption=0\r\n");
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

// Readme opens the readme in the window's language where the folder holds one (readme-en.txt for
// English), else readme.txt. A recorder registered as the .txt type's open command receives the
// path. Run in Japanese and, by CMakeLists.txt, in English.
TEST_F(AppTest, ReadmeOpensTheReadmeOfTheWindowsLanguageWhereThereIsOne) {
  const bool japanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
  const char kProgId[] = "VtReadmeRecorder";
  std::string txtType;
  const bool hadType = vttest::GetString(HKEY_CLASSES_ROOT, ".txt", "", &txtType);
  vttest::ScratchKey recorderType(HKEY_CLASSES_ROOT, kProgId);
  ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_SETTINGS_RECORDER).c_str(),
                        dir_.File("recorder.exe").c_str(), FALSE));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, std::string(kProgId) + "\\shell\\open\\command",
                                "", "\"" + dir_.File("recorder.exe") + "\" \"%1\""));
  ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, ".txt", "", kProgId));
  ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("readme.txt"), "ja\r\n"));
  ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("readme-en.txt"), "en\r\n"));
  const std::string received = dir_.File("settings.txt");
  // The path the recorder received, once it has written; empty after 20 s.
  auto opened = [&received]() {
    std::string path;
    for (int waited = 0; waited < 20000; waited += 20, Sleep(20))
      if (vttest::ReadFileBytes(received, &path) && !path.empty()) break;
    DeleteFileA(received.c_str());
    return path.substr(path.find_last_of('\\') + 1);
  };
  {
    ToolProcess tool(exe_, "");
    ASSERT_TRUE(tool.WaitForRows(0, 20000));
    ASSERT_TRUE(tool.Click("Readme"));
    EXPECT_EQ(opened(), japanese ? "readme.txt" : "readme-en.txt");
    ASSERT_TRUE(DeleteFileA(dir_.File("readme-en.txt").c_str()));
    ASSERT_TRUE(tool.Click("Readme"));
    EXPECT_EQ(opened(), "readme.txt");
    EXPECT_EQ(tool.Close(10000), 0);
  }
  vttest::SetString(HKEY_CLASSES_ROOT, ".txt", "", hadType ? txtType : "");
}
