#include "playeridentity.h"

#include "handle.h"
#include "finalpath.h"
#include "ownedtext.h"
#include "widetext.h"

namespace {

const DWORD kMaxPath = 32768;  // characters of the longest path the system takes, and its zero

// "\\server\share\..." or a device path ("\\?\", "\\.\"), in either slash.
bool StartsAsShare(const wchar_t* path) {
  return (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/');
}

std::wstring ShortPath(const std::wstring& path) {
  const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (size == 0) return std::wstring();
  std::wstring shortPath(size, L'\0');
  const DWORD length = GetShortPathNameW(path.c_str(), &shortPath[0], size);
  if (length == 0 || length >= size) return std::wstring();
  shortPath.resize(length);
  return shortPath;
}

// True when named spells image: as Windows gives it, its final path, or its short form. Only
// the image, which Windows found itself, is looked up in the file system.
bool SpellsImage(const std::wstring& named, const std::wstring& image) {
  if (SamePathText(named, image)) return true;
  if (StartsAsShare(image.c_str())) return false;  // named is no share, so no spelling of it is
  const VtHandle file(OpenToInspect(image.c_str()));
  if (file.valid() && SamePathText(named, WrittenPath(FinalPath(file.get())))) return true;
  const std::wstring shortPath = ShortPath(image);
  return !shortPath.empty() && SamePathText(named, shortPath);
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

bool WindowRunsExecutable(HWND window, const char* exePath) {
  const VtOwnedWide named(Widen(exePath));
  if (!named || named.get()[0] == 0) return false;
  // Looking a share up would connect to its host with this process's credentials (an
  // administrator's, elevated), and an unreachable host stalls the caller: refused unseen.
  if (StartsAsShare(named.get())) return false;
  const std::wstring image = WindowImagePath(window);
  return !image.empty() && SpellsImage(named.get(), image);
}
