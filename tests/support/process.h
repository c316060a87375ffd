// Child processes of a test or a benchmark, and the paths they are started from.
#pragma once
#include <windows.h>

#include <string>

#include "handle.h"

namespace vttest {

// A child process; ended (by its own handle) if it still runs on destruction.
class ChildProcess {
 public:
  ChildProcess();
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts commandLine in folder (null: ours), after ending an earlier one. quiet: its standard
  // output and error go to NUL. False when it cannot be started.
  bool Start(const std::string& commandLine, const char* folder = nullptr, bool quiet = false);
  // Starts commandLine in folder (null: ours) with its standard output and error written to new
  // files at the two paths.
  bool StartRedirected(const std::string& commandLine, const std::string& outPath,
                       const std::string& errPath, const char* folder = nullptr);
  bool running() const;
  // The exit code once it has ended within timeoutMs; -1 when it still runs or never started.
  int WaitForExit(DWORD timeoutMs) const;
  // Ends it at once if it still runs; the handles are released.
  void Kill();

  HANDLE handle() const { return info_.hProcess; }
  DWORD id() const { return info_.dwProcessId; }

 private:
  // Start with out and err as the standard handles (both null: the console's).
  bool StartWith(const std::string& commandLine, const char* folder, HANDLE out, HANDLE err);

  PROCESS_INFORMATION info_;
};

// One of the process's standard handles (STD_OUTPUT_HANDLE, STD_ERROR_HANDLE) led to NUL for the
// lifetime of this object, for code that writes there through GetStdHandle (the command line's
// streams); put back on destruction.
class StdHandleToNul {
 public:
  explicit StdHandleToNul(DWORD which);
  ~StdHandleToNul();
  StdHandleToNul(const StdHandleToNul&) = delete;
  StdHandleToNul& operator=(const StdHandleToNul&) = delete;

 private:
  DWORD which_;
  HANDLE saved_;  // the process's, not this object's
  VtHandle nul_;
};

// A host path as Wine shows it ("/work/x" becomes "Z:\work\x"); other paths unchanged.
std::string WinePath(const std::string& path);
// Where Wine keeps a path of any of its drives on the host (C: lies in the prefix); the empty
// text where the program does not run under Wine.
std::string HostPath(const std::string& path);
// The running program's full path, and its folder with the trailing backslash.
std::string ProgramPath();
std::string ProgramFolder();
// Runs a command of the host system (through /bin/sh) and waits up to 10 s for it to end.
void RunHostCommand(const std::string& command);

}  // namespace vttest
