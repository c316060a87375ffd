// A child process started by a benchmark; ended (by its own handle) if it still runs on destruction.
#pragma once
#include <windows.h>

#include <string>

namespace vtbench {

class ChildProcess {
 public:
  ChildProcess();
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts commandLine in folder (null: ours). quiet: its standard output and error go to NUL.
  bool Start(const std::string& commandLine, const char* folder, bool quiet);
  // The exit code once it has ended within timeoutMs; -1 when it still runs.
  long WaitForExit(DWORD timeoutMs);
  // Ends it at once if it still runs; the handles are released.
  void Kill();

  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_;
};

// A host path as Wine sees it ("/work/x" becomes "Z:\work\x"); other paths unchanged.
std::string WinePath(const std::string& path);

}  // namespace vtbench
