#include "wholefile.h"

#include <algorithm>
#include <string>
#include <vector>

#include "finalpath.h"
#include "handle.h"
#include "owner.h"

namespace {

// "~vt.<target's name>.<process id>-<attempt>.tmp" in hexadecimal: a later write of the same
// target knows by the name which ones a killed write left.
const wchar_t kTempPrefix[] = L"~vt.";
const wchar_t kTempSuffix[] = L".tmp";
const size_t kTempSuffixLength = 4;
const DWORD kTempAttempts = 64;

// Some failures leave no error code; the caller must still see one.
DWORD LastError() {
  const DWORD error = GetLastError();
  return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

void EndSearch(void* search) { FindClose(search); }
using VtSearch = VtOwner<void, EndSearch>;

bool IsHexDigit(wchar_t c) {
  return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

// "<hex>-<hex>.tmp" exactly: the name of another target that begins with this one's has a further
// period or is not hexadecimal there.
bool IsTempTail(const std::wstring& tail) {
  const size_t dash = tail.find(L'-');
  if (dash == 0 || dash == std::wstring::npos || tail.size() < dash + 2 + kTempSuffixLength)
    return false;
  const size_t end = tail.size() - kTempSuffixLength;
  if (!SamePathText(tail.substr(end), kTempSuffix)) return false;
  for (size_t i = 0; i < end; ++i)
    if (i != dash && !IsHexDigit(tail[i])) return false;
  return true;
}

// Deletes the temporary files that killed writes of the target left in folder. One that a write
// under way holds open is not deleted: it is open without sharing.
void RemoveLeftTempFiles(const std::wstring& folder, const std::wstring& name) {
  const std::wstring stem = kTempPrefix + name + L".";
  WIN32_FIND_DATAW found;
  const HANDLE first = FindFirstFileW((folder + stem + L"*").c_str(), &found);
  const VtSearch search(first != INVALID_HANDLE_VALUE ? first : nullptr);
  if (!search) return;
  do {
    const std::wstring entry = found.cFileName;
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && entry.size() > stem.size() &&
        SamePathText(entry.substr(0, stem.size()), stem) && IsTempTail(entry.substr(stem.size())))
      DeleteFileW((folder + entry).c_str());
  } while (FindNextFileW(search.get(), &found));
}

// The file's DACL in a self-relative security descriptor; empty where there is no file or its
// DACL cannot be read.
std::vector<BYTE> DaclOf(const wchar_t* path) {
  DWORD size = 0;
  GetFileSecurityW(path, DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<BYTE> security(size);
  if (size == 0 || !GetFileSecurityW(path, DACL_SECURITY_INFORMATION, security.data(), size, &size))
    security.clear();
  return security;
}

// ERROR_SUCCESS where the file could be moved away now, else why not (ERROR_FILE_NOT_FOUND where
// there is none). Wine's ReplaceFileW leaves a file of its own beside a target it cannot move.
DWORD CheckMovable(const wchar_t* path) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  const VtHandle file(CreateFileW(path, DELETE, share, nullptr, OPEN_EXISTING, 0, nullptr));
  return file.valid() ? ERROR_SUCCESS : LastError();
}

std::wstring Hex(DWORD value) {
  wchar_t digits[9];
  wsprintfW(digits, L"%lx", value);
  return digits;
}

// The temporary file beside the target, deleted again unless it was moved over the target.
class TempFile {
 public:
  TempFile() : file_(nullptr) {}
  ~TempFile() {
    // Windows deletes no file that is still open.
    file_.Close();
    if (!path_.empty() && !kept_) DeleteFileW(path_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Makes a new file for the target name in folder, open for writing and not shared, so that no
  // other write's cleaning deletes it while it is filled.
  DWORD Create(const std::wstring& folder, const std::wstring& name) {
    const DWORD kAccess = GENERIC_WRITE | READ_CONTROL | WRITE_DAC;
    const std::wstring stem =
        folder + kTempPrefix + name + L"." + Hex(GetCurrentProcessId()) + L"-";
    for (DWORD attempt = 0; attempt < kTempAttempts; ++attempt) {
      const std::wstring path = stem + Hex(attempt) + kTempSuffix;
      file_.Reset(CreateFileW(path.c_str(), kAccess, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr));
      if (file_.valid()) {
        path_ = path;
        return ERROR_SUCCESS;
      }
      const DWORD error = LastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    }
    return ERROR_FILE_EXISTS;
  }

  // Gives the file the target's DACL before anyone can open it by the target's name. ReplaceFileW
  // would do so on Windows, but Wine's does not; where this fails, Windows' still will. A DACL
  // that is already the same is left alone: Wine would turn a set one into another Unix mode.
  void TakeDacl(std::vector<BYTE>* security) {
    if (security->empty()) return;
    std::vector<BYTE> own(security->size());
    DWORD size = 0;
    if (GetKernelObjectSecurity(file_.get(), DACL_SECURITY_INFORMATION, own.data(),
                                static_cast<DWORD>(own.size()), &size) &&
        size == security->size() && std::equal(own.begin(), own.end(), security->begin()))
      return;
    SetKernelObjectSecurity(file_.get(), DACL_SECURITY_INFORMATION, security->data());
  }

  // Writes and flushes the bytes, then closes the file so that it can be moved.
  DWORD Fill(const void* data, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(file_.get(), data, size, &written, nullptr)) return LastError();
    if (written != size) return ERROR_WRITE_FAULT;
    if (!FlushFileBuffers(file_.get()) || !file_.Close()) return LastError();
    return ERROR_SUCCESS;
  }

  const wchar_t* path() const { return path_.c_str(); }
  void Keep() { kept_ = true; }

 private:
  VtHandle file_;
  std::wstring path_;
  bool kept_ = false;
};

}  // namespace

DWORD WriteWholeFile(const wchar_t* path, const void* data, DWORD size) {
  const std::wstring target(path);
  const size_t nameStart = target.find_last_of(L"\\/:") + 1;  // 0 for a bare name
  const std::wstring folder = target.substr(0, nameStart), name = target.substr(nameStart);
  if (name.empty()) return ERROR_INVALID_NAME;
  RemoveLeftTempFiles(folder, name);
  // Wine's ReplaceFileW would move a folder aside and put the file in its place.
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return ERROR_ACCESS_DENIED;
  std::vector<BYTE> security = DaclOf(path);
  // In the target's folder, so that moving it over the target cannot turn into a copy.
  TempFile temp;
  DWORD error = temp.Create(folder, name);
  if (error != ERROR_SUCCESS) return error;
  temp.TakeDacl(&security);
  error = temp.Fill(data, size);
  if (error != ERROR_SUCCESS) return error;
  // ReplaceFileW keeps the target's security descriptor and attributes, which a rename would swap
  // for the temporary file's.
  error = CheckMovable(path);
  if (error == ERROR_SUCCESS) {
    if (ReplaceFileW(path, temp.path(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr)) {
      temp.Keep();
      return ERROR_SUCCESS;
    }
    error = LastError();
  }
  if (error != ERROR_FILE_NOT_FOUND) return error;
  // No target yet, so nothing to keep. One made meanwhile is not replaced without its own.
  if (!MoveFileExW(temp.path(), path, MOVEFILE_WRITE_THROUGH)) return LastError();
  temp.Keep();
  return ERROR_SUCCESS;
}
