// Standard output and error of the command line: to a console as UTF-16, so that every character
// shows whatever the console's code page; to a file or a pipe as bytes of the ANSI code page, as
// cmd's own commands write them.
#pragma once
#include <windows.h>

#include <string>

class VtStdStream {
 public:
  // which: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE. The handle is the process's, not this object's.
  explicit VtStdStream(DWORD which);

  // text, line ends included. False when it could not all be written.
  bool Write(const std::wstring& text) const;
  // Registry texts already in the ANSI code page: to a file or a pipe byte for byte, as they are
  // stored, without a round trip through UTF-16.
  bool WriteAnsi(const std::string& text) const;

 private:
  bool WriteToConsole(const std::wstring& text) const;
  bool WriteBytes(const std::string& bytes) const;

  HANDLE handle_;
  bool console_;
};
