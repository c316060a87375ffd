#include "stubprocess.h"

#include "windowfind.h"

namespace vttest {

std::string StubPath() { return WinePath(VT_PLAYER_STUB_PATH); }

StubProcess::~StubProcess() { Close(); }

bool StubProcess::Start(const std::string& options, const char* windowClass) {
  Close();
  return StartFrom(StubPath(), options, windowClass);
}

bool StubProcess::StartAt(const std::string& exePath, const std::string& options,
                          const char* windowClass) {
  // Closed first: a copy still running from exePath could not be replaced.
  Close();
  if (!CopyFileA(StubPath().c_str(), exePath.c_str(), FALSE)) return false;
  return StartFrom(exePath, options, windowClass);
}

bool StubProcess::StartFrom(const std::string& exePath, const std::string& options,
                            const char* windowClass) {
  // A lifetime bounds a stub that a crashed test could not close.
  if (!process_.Start("\"" + exePath + "\" --lifetime 60000 " + options)) return false;
  for (int waited = 0; waited < 10000 && window_ == nullptr; waited += 10) {
    window_ = FindProcessWindow(process_.id(), windowClass);
    if (window_ == nullptr && process_.WaitForExit(10) != -1) break;
  }
  if (window_ == nullptr) Close();
  return window_ != nullptr;
}

int StubProcess::Close() {
  // Without a window there is nothing to ask; a stub that already ended still gives its code.
  if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
  const int code = process_.WaitForExit(window_ != nullptr ? 10000 : 0);
  process_.Kill();
  window_ = nullptr;
  return code;
}

}  // namespace vttest
