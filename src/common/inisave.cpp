// Saving goes through a temporary file beside the target, so a failed or interrupted write never
// costs the sections of the old file: the target is replaced only by a complete document.
#include <cstdio>
#include <cstring>

#include "inifile.h"
#include "handle.h"
#include "text.h"

namespace {

// Buffers the document's bytes and ends each line with CR LF. Names and values go out byte for
// byte: a CR or LF in them can only be the second byte of a double-byte character, and turning that
// LF into CR LF would change the text that the next load reads.
class IniWriter {
 public:
  explicit IniWriter(HANDLE file) : file_(file), used_(0), ok_(true) {}

  void Put(const char* text) {
    for (; *text != '\0'; ++text) Byte(*text);
  }
  void EndLine() {
    Byte('\r');
    Byte('\n');
  }
  // Writes what is still buffered; true when every byte reached the file.
  bool Finish() {
    Flush();
    return ok_;
  }

 private:
  void Byte(char c) {
    if (used_ == sizeof buffer_) Flush();
    buffer_[used_++] = c;
  }
  void Flush() {
    DWORD written = 0;
    if (ok_ && used_ > 0 && (!WriteFile(file_, buffer_, used_, &written, nullptr) || written != used_))
      ok_ = false;
    used_ = 0;
  }

  HANDLE file_;
  char buffer_[4096];
  DWORD used_;
  bool ok_;
};

// Deletes the temporary file when the save does not get as far as replacing the target.
class TempFileGuard {
 public:
  explicit TempFileGuard(const char* path) : path_(path), armed_(true) {}
  ~TempFileGuard() {
    if (armed_) DeleteFileA(path_);
  }
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  void Release() { armed_ = false; }

 private:
  const char* path_;
  bool armed_;
};

enum { kTempNameSize = kPathSize + 16 };

// Creates a new, empty file "~vtXXXX.tmp" in the target's folder (a name no longer than most INI
// names, so it fits wherever the target does) and fills tempPath with its path.
HANDLE CreateTempBeside(const char* target, char* tempPath) {
  const int folderLength = static_cast<int>(std::strlen(FolderOf(tempPath, kTempNameSize, target)));
  DWORD seed = GetCurrentProcessId() * 31u + GetTickCount();
  for (int attempt = 0; attempt < 256; ++attempt, ++seed) {
    std::snprintf(tempPath + folderLength, kTempNameSize - folderLength, "~vt%04lX.tmp",
                  static_cast<unsigned long>(seed & 0xFFFFu));
    HANDLE file =
        CreateFileA(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) return file;
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

void VtIniFile::Save() {
  if (path_[0] == '\0') return;
  // Windows refuses to replace a read-only file, Wine does not: ask first, so both keep it.
  const DWORD attributes = GetFileAttributesA(path_);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return;
  char tempPath[kTempNameSize];
  VtHandle file(CreateTempBeside(path_, tempPath));
  if (!file.valid()) return;
  TempFileGuard guard(tempPath);

  IniWriter out(file.get());
  for (int i = 0; i < count_; ++i) {
    const VtIniSection* section = sections_[i];
    out.Put("[");
    out.Put(section->name());
    out.Put("]");
    out.EndLine();
    for (int k = 0; const VtIniKeyValue* entry = section->EntryAt(k); ++k) {
      out.Put(entry->key());
      out.Put("=");
      out.Put(entry->value());
      out.EndLine();
    }
  }
  if (!out.Finish() || !FlushFileBuffers(file.get()) || !file.Close()) return;
  // On failure (a folder in the way, a locked target) the guard removes the temporary file.
  if (MoveFileExA(tempPath, path_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) guard.Release();
}
