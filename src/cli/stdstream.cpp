#include "stdstream.h"

#include <algorithm>

#include "widetext.h"

namespace {

// Before Windows 8 one WriteConsoleW call fails outright above 64 KB (the console's shared heap),
// so a long list goes in pieces well below that.
constexpr size_t kConsolePiece = 8192;

// The code page of what goes to a file or a pipe: the console's output code page, as "chcp" set
// it; a process without a console (started by a service or with its output captured) has none.
UINT OutputCodePage() {
  const UINT codePage = GetConsoleOutputCP();
  return codePage != 0 ? codePage : GetOEMCP();
}

// text in codePage; *lossy: a character had no form there and became the default one.
std::string Encode(const std::wstring& text, UINT codePage, bool* lossy) {
  // UTF-8 carries everything and takes neither flag nor default character.
  const bool utf8 = codePage == CP_UTF8;
  const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* used = utf8 ? nullptr : &defaulted;
  const int length = static_cast<int>(text.size());
  const int size =
      WideCharToMultiByte(codePage, flags, text.data(), length, nullptr, 0, nullptr, used);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0)
    WideCharToMultiByte(codePage, flags, text.data(), length, &bytes[0], size, nullptr, used);
  *lossy = defaulted != FALSE;
  return bytes;
}

}  // namespace

VtStdStream::VtStdStream(DWORD which) : handle_(GetStdHandle(which)), console_(false) {
  DWORD mode = 0;
  console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE &&
             GetConsoleMode(handle_, &mode) != FALSE;
}

bool VtStdStream::Write(const std::wstring& text) const {
  const bool written = text.empty() ? handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE
                       : console_   ? WriteToConsole(text)
                                    : WriteEncoded(text);
  if (!written) failed_ = true;
  return written;
}

bool VtStdStream::WriteEncoded(const std::wstring& text) const {
  bool defaulted = false;
  const std::string bytes = Encode(text, OutputCodePage(), &defaulted);
  if (defaulted) lossy_ = true;
  return !bytes.empty() && WriteBytes(bytes);
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
