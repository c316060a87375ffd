// Owns one file handle of the INI reader and writer; closes it at the end of its scope.
#pragma once
#include <windows.h>

class IniFileHandle {
 public:
  explicit IniFileHandle(HANDLE handle) : handle_(handle) {}
  ~IniFileHandle() { Close(); }
  IniFileHandle(const IniFileHandle&) = delete;
  IniFileHandle& operator=(const IniFileHandle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes early (before the file is moved or deleted); true when there was nothing to close or it closed.
  bool Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return true;
    const BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

 private:
  HANDLE handle_;
};
