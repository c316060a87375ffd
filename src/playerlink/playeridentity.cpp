#include "playeridentity.h"

#include "handle.h"
#include "longpath.h"
#include "ownedtext.h"
#include "widetext.h"

namespace {

const DWORD kMaxPath = 32768;  // characters of the longest path the system takes, and its zero

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

bool WindowRunsExecutable(HWND window, const char* exePath) {
  const VtOwnedWide named(Widen(exePath));
  if (!named) return false;
  const std::wstring image = WindowImagePath(window);
  return SameFilePath(image.c_str(), named.get());
}
