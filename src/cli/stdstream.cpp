#include "stdstream.h"

#include "ownedtext.h"
#include "widetext.h"

VtStdStream::VtStdStream(DWORD which) : handle_(GetStdHandle(which)), console_(false) {
  DWORD mode = 0;
  console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
             GetConsoleMode(handle_, &mode) != FALSE;
}

bool VtStdStream::Write(const std::string& text) const {
  if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return false;
  if (text.empty()) return true;
  if (console_) {
    const VtOwnedWide wide(Widen(text.c_str()));
    if (!wide) return false;
    const DWORD length = static_cast<DWORD>(wcslen(wide.get()));
    DWORD written = 0;
    return WriteConsoleW(handle_, wide.get(), length, &written, nullptr) != FALSE &&
           written == length;
  }
  // A pipe may take less than asked at a time.
  const char* rest = text.data();
  DWORD left = static_cast<DWORD>(text.size());
  while (left != 0) {
    DWORD written = 0;
    if (WriteFile(handle_, rest, left, &written, nullptr) == FALSE || written == 0) return false;
    rest += written;
    left -= written;
  }
  return true;
}
