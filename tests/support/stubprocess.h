// The stand-in player as a child process of a test: started, waited for, and always closed again.
#pragma once
#include <windows.h>

#include <string>

#include "process.h"

namespace vttest {

// The stand-in player's executable as Wine shows it.
std::string StubPath();

class StubProcess {
 public:
  StubProcess() = default;
  // Closes the stub if it still runs.
  ~StubProcess();
  StubProcess(const StubProcess&) = delete;
  StubProcess& operator=(const StubProcess&) = delete;

  // Starts the stub with the options and waits until it shows a top-level window of windowClass.
  // False (with nothing left running) when it cannot be started or no such window appears in time.
  bool Start(const std::string& options, const char* windowClass = "TFrmMIDI");
  // Copies the stub to exePath (replacing what is there) and starts the copy as Start does: it then
  // answers exePath as its own path, as the installed player would.
  bool StartAt(const std::string& exePath, const std::string& options,
               const char* windowClass = "TFrmMIDI");
  // Posts WM_CLOSE and waits for the exit; a stub that does not end in time is terminated.
  // Returns the exit code, or -1 when it had to be terminated or never ran.
  int Close();
  // Waits up to timeoutMs for the stub to end by itself; its exit code then, or -1.
  int WaitForExit(DWORD timeoutMs) const { return process_.WaitForExit(timeoutMs); }

  HWND window() const { return window_; }

 private:
  // Starts the executable at exePath as Start starts the stub.
  bool StartFrom(const std::string& exePath, const std::string& options, const char* windowClass);

  ChildProcess process_;
  HWND window_ = nullptr;
};

}  // namespace vttest
