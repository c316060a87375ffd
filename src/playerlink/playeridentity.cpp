#include "playeridentity.h"

#include "handle.h"
#include "ownedtext.h"
#include "widetext.h"

namespace {

const DWORD kMaxPath = 32768;  // characters of the longest path the system takes, and its zero

// path made full (relative to the current folder, "." and ".." resolved), then long where the file
// exists, so that a short 8.3 name meets its long one; empty when it cannot be made full.
std::wstring FullLongPath(const wchar_t* path) {
  std::wstring full(kMaxPath, L'\0');
  DWORD length = GetFullPathNameW(path, kMaxPath, &full[0], nullptr);
  if (length == 0 || length >= kMaxPath) return std::wstring();
  full.resize(length);
  std::wstring longForm(kMaxPath, L'\0');
  length = GetLongPathNameW(full.c_str(), &longForm[0], kMaxPath);
  if (length == 0 || length >= kMaxPath) return full;
  longForm.resize(length);
  return longForm;
}

}  // namespace

std::wstring WindowImagePath(HWND window) {
  DWORD id = 0;
  if (window == nullptr || GetWindowThreadProcessId(window, &id) == 0) return std::wstring();
  VtHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
  if (!process.valid()) return std::wstring();
  // An id cannot pass to another process while a handle to it is open: asked again now, the
  // window's owner is the process opened, not a new one that took the id of one that ended.
  DWORD owner = 0;
  if (GetWindowThreadProcessId(window, &owner) == 0 || owner != id) return std::wstring();
  std::wstring image(kMaxPath, L'\0');
  DWORD length = kMaxPath;
  if (!QueryFullProcessImageNameW(process.get(), 0, &image[0], &length)) return std::wstring();
  image.resize(length);
  return image;
}

bool SameFilePath(const wchar_t* a, const wchar_t* b) {
  if (a == nullptr || b == nullptr || a[0] == 0 || b[0] == 0) return false;
  const std::wstring fullA = FullLongPath(a);
  const std::wstring fullB = FullLongPath(b);
  return !fullA.empty() &&
         CompareStringOrdinal(fullA.c_str(), -1, fullB.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool WindowRunsExecutable(HWND window, const char* exePath) {
  const VtOwnedWide named(Widen(exePath));
  if (!named) return false;
  const std::wstring image = WindowImagePath(window);
  return SameFilePath(image.c_str(), named.get());
}
