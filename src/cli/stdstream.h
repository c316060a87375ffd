// Standard output and error of the command line: to a console as UTF-16, so that every character
// shows whatever the console's code page; to a file or a pipe as bytes of the console's output code
// page (the OEM code page where there is no console), as Windows' own console tools write them, so
// that findstr, more and PowerShell read them back; UTF-8 where that code page is 65001.
#pragma once
#include <windows.h>

#include <string>

class VtStdStream {
 public:
  // which: STD_OUTPUT_HANDLE or STD_ERROR_HANDLE. The handle is the process's, not this object's.
  explicit VtStdStream(DWORD which);

  // text, line ends included. False when it could not all be written (Failed then tells it). A
  // character the code page of a file or pipe lacks is written as "?", never as a look-alike that
  // would name another file (Lossy then tells it).
  bool Write(const std::wstring& text) const;
  // Whether a write so far lost characters to "?", or failed.
  bool Lossy() const { return lossy_; }
  bool Failed() const { return failed_; }

 private:
  bool WriteToConsole(const std::wstring& text) const;
  // text in the code page a file or pipe gets.
  bool WriteEncoded(const std::wstring& text) const;
  bool WriteBytes(const std::string& bytes) const;

  HANDLE handle_;
  bool console_;
  // What the writes so far did, for the one note at the end: writing is const to its callers.
  mutable bool lossy_ = false;
  mutable bool failed_ = false;
};
