#include "wholefile.h"

#include <string>

#include "handle.h"

namespace {

// Some failures leave no error code; the caller must still see one.
DWORD LastError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// Where the temporary file for path goes: path's folder with its trailing separator, "." for a
// bare name, which lies in the current one.
std::wstring TempFolderFor(const wchar_t* path) {
  const std::wstring whole(path);
  const size_t end = whole.find_last_of(L"\\/:");
  return end == std::wstring::npos ? L"." : whole.substr(0, end + 1);
}

// Deletes the temporary file unless it was renamed over the target.
class TempFileGuard {
 public:
  explicit TempFileGuard(const wchar_t* path) : path_(path), armed_(true) {}
  ~TempFileGuard() {
    if (armed_) DeleteFileW(path_);
  }
  TempFileGuard(const TempFileGuard&) = delete;
  TempFileGuard& operator=(const TempFileGuard&) = delete;
  void Release() { armed_ = false; }

 private:
  const wchar_t* path_;
  bool armed_;
};

// Fills the (existing, empty) temporary file and closes it again, so that it can be renamed or,
// on failure, deleted: Windows deletes no file that is still open.
DWORD Fill(const wchar_t* temp, const void* data, DWORD size) {
  VtHandle file(CreateFileW(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return LastError();
  DWORD written = 0;
  if (!WriteFile(file.get(), data, size, &written, nullptr)) return LastError();
  if (written != size) return ERROR_WRITE_FAULT;
  if (!FlushFileBuffers(file.get()) || !file.Close()) return LastError();
  return ERROR_SUCCESS;
}

}  // namespace

DWORD WriteWholeFile(const wchar_t* path, const void* data, DWORD size) {
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    return ERROR_ACCESS_DENIED;
  // The temporary file lies in the target's folder, so that the rename cannot turn into a copy.
  wchar_t temp[MAX_PATH];
  if (GetTempFileNameW(TempFolderFor(path).c_str(), L"~vt", 0, temp) == 0) return LastError();
  TempFileGuard guard(temp);
  const DWORD error = Fill(temp, data, size);
  if (error != ERROR_SUCCESS) return error;
  if (!MoveFileExW(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return LastError();
  guard.Release();
  return ERROR_SUCCESS;
}
