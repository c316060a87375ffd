#include "process.h"

namespace vttest {

ChildProcess::ChildProcess() : info_() {}

ChildProcess::~ChildProcess() { Kill(); }

bool ChildProcess::Start(const std::string& commandLine, const char* folder, bool quiet) {
  if (!quiet) return StartWith(commandLine, folder, nullptr, nullptr);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                           OPEN_EXISTING, 0, nullptr);
  const bool started = StartWith(commandLine, folder, nul, nul);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  return started;
}

bool ChildProcess::StartRedirected(const std::string& commandLine, const std::string& outPath,
                                   const std::string& errPath, const char* folder) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                           CREATE_ALWAYS, 0, nullptr);
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       StartWith(commandLine, folder, out, err);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
  return started;
}

bool ChildProcess::StartWith(const std::string& commandLine, const char* folder, HANDLE out,
                             HANDLE err) {
  Kill();
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  const bool redirected = out != nullptr;
  if (redirected) {
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
  }
  std::string line = commandLine;
  const BOOL started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, redirected ? TRUE : FALSE,
                                      0, nullptr, folder, &startup, &info_);
  if (!started) info_ = PROCESS_INFORMATION();
  return started != FALSE;
}

bool ChildProcess::running() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

int ChildProcess::WaitForExit(DWORD timeoutMs) const {
  if (info_.hProcess == nullptr || WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0)
    return -1;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<int>(code);
}

void ChildProcess::Kill() {
  if (info_.hProcess == nullptr) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
  info_ = PROCESS_INFORMATION();
}

StdHandleToNul::StdHandleToNul(DWORD which)
    : which_(which),
      saved_(GetStdHandle(which)),
      nul_(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                       nullptr)) {
  if (nul_.valid()) SetStdHandle(which, nul_.get());
}

StdHandleToNul::~StdHandleToNul() { SetStdHandle(which_, saved_); }

std::string WinePath(const std::string& path) {
  if (path.empty() || path[0] != '/') return path;
  std::string converted = "Z:" + path;
  for (char& c : converted)
    if (c == '/') c = '\\';
  return converted;
}

std::string HostPath(const std::string& path) {
  // Wine's own export, which hands back a block of the process heap.
  using UnixName = char*(__cdecl*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  std::wstring wide(path.size() + 1, L'\0');
  wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                                      static_cast<int>(wide.size()))));
  char* name = unixName && !wide.empty() ? unixName(wide.c_str()) : nullptr;
  if (name == nullptr) return std::string();
  const std::string host(name);
  HeapFree(GetProcessHeap(), 0, name);
  return host;
}

std::string ProgramPath() {
  char module[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, module, sizeof module);
  return std::string(module, length);
}

std::string ProgramFolder() {
  const std::string path = ProgramPath();
  return path.substr(0, path.find_last_of('\\') + 1);
}

void RunHostCommand(const std::string& command) {
  // Wine starts a host program from its path on drive Z:; its exit code does not come through,
  // so callers check the command's effect.
  ChildProcess shell;
  if (shell.Start("Z:\\bin\\sh -c \"" + command + "\"")) shell.WaitForExit(10000);
}

}  // namespace vttest
