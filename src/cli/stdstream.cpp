#include "stdstream.h"

#include <algorithm>

#include "ownedtext.h"
#include "widetext.h"

namespace {

// Before Windows 8 one WriteConsoleW call fails outright above 64 KB (the console's shared heap),
// so a long list goes in pieces well below that.
constexpr size_t kConsolePiece = 8192;

}  // namespace

VtStdStream::VtStdStream(DWORD which) : handle_(GetStdHandle(which)), console_(false) {
  DWORD mode = 0;
  console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
             GetConsoleMode(handle_, &mode) != FALSE;
}

bool VtStdStream::Write(const std::wstring& text) const {
  if (text.empty()) return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
  if (console_) return WriteToConsole(text);
  const VtOwnedText narrow(Narrow(text.c_str(), CP_ACP));
  return narrow && WriteBytes(narrow.get());
}

bool VtStdStream::WriteAnsi(const std::string& text) const {
  if (!console_) return WriteBytes(text);
  if (text.empty()) return true;
  const std::wstring wide = WideFrom(text.c_str(), CP_ACP);
  return !wide.empty() && WriteToConsole(wide);
}

bool VtStdStream::WriteToConsole(const std::wstring& text) const {
  for (size_t at = 0; at < text.size();) {
    size_t count = std::min(kConsolePiece, text.size() - at);
    // A surrogate pair stays whole: the console would show half of one as two boxes.
    if (at + count < text.size() && IS_HIGH_SURROGATE(text[at + count - 1])) --count;
    DWORD written = 0;
    if (WriteConsoleW(handle_, text.data() + at, static_cast<DWORD>(count), &written, nullptr) ==
            FALSE ||
        written == 0)
      return false;
    at += written;
  }
  return true;
}

bool VtStdStream::WriteBytes(const std::string& bytes) const {
  if (handle_ == nullptr || handle_ == INVALID_HANDLE_VALUE) return false;
  // A pipe may take less than asked at a time.
  const char* rest = bytes.data();
  DWORD left = static_cast<DWORD>(bytes.size());
  while (left != 0) {
    DWORD written = 0;
    if (WriteFile(handle_, rest, left, &written, nullptr) == FALSE || written == 0) return false;
    rest += written;
    left -= written;
  }
  return true;
}
