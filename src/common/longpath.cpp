#include "longpath.h"

#include <windows.h>

std::wstring FullLongPath(const wchar_t* path) {
  if (path == nullptr || path[0] == 0) return std::wstring();
  const DWORD size = GetFullPathNameW(path, 0, nullptr, nullptr);
  if (size == 0) return std::wstring();
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path, size, &full[0], nullptr);
  if (length == 0 || length >= size) return std::wstring();
  full.resize(length);
  // A path whose file is missing keeps its full form: it names no file to compare with anyway.
  const DWORD longSize = GetLongPathNameW(full.c_str(), nullptr, 0);
  if (longSize == 0) return full;
  std::wstring longPath(longSize, L'\0');
  const DWORD longLength = GetLongPathNameW(full.c_str(), &longPath[0], longSize);
  if (longLength == 0 || longLength >= longSize) return full;
  longPath.resize(longLength);
  return longPath;
}
