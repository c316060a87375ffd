#include "widetext.h"

#include <cstdlib>

wchar_t* Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return nullptr;
  auto* wide = static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * static_cast<size_t>(length)));
  if (wide != nullptr && MultiByteToWideChar(CP_ACP, 0, text, -1, wide, length) == length)
    return wide;
  std::free(wide);
  return nullptr;
}

char* Narrow(const wchar_t* text, UINT codePage) {
  const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return nullptr;
  auto* narrow = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
  if (narrow != nullptr &&
      WideCharToMultiByte(codePage, 0, text, -1, narrow, size, nullptr, nullptr) == size)
    return narrow;
  std::free(narrow);
  return nullptr;
}
