// Owns one kernel handle (file, mutex, ...) and closes it at the end of its scope. Both null and
// INVALID_HANDLE_VALUE mean "no handle": the open functions disagree on which they return.
#pragma once
#include <windows.h>

class VtHandle {
 public:
  explicit VtHandle(HANDLE handle) : handle_(handle) {}
  ~VtHandle() { Close(); }
  VtHandle(const VtHandle&) = delete;
  VtHandle& operator=(const VtHandle&) = delete;

  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  // Closes early (before a file is moved or deleted); true when there was nothing to close or it closed.
  bool Close() {
    if (!valid()) return true;
    const BOOL ok = CloseHandle(handle_);
    handle_ = nullptr;
    return ok != FALSE;
  }
  // Closes the handle held and takes handle (may be null) in its place.
  void Reset(HANDLE handle) {
    Close();
    handle_ = handle;
  }

 private:
  HANDLE handle_;
};
