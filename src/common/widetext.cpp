#include "widetext.h"

#include <cstdlib>

VtOwnedWide Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return nullptr;
  VtOwnedWide wide(
      static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * static_cast<size_t>(length))));
  if (wide && MultiByteToWideChar(CP_ACP, 0, text, -1, wide.get(), length) == length) return wide;
  return nullptr;
}

std::wstring WideFrom(const char* text, UINT codePage) {
  if (text == nullptr || text[0] == '\0') return std::wstring();
  const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length) != length) return std::wstring();
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

namespace {

// lossy: where the code page lacks a character, null (the system refuses the flag and the flag
// pointer for UTF-8, which has every character).
VtOwnedText NarrowWith(const wchar_t* text, UINT codePage, DWORD flags, BOOL* lossy) {
  const int size = WideCharToMultiByte(codePage, flags, text, -1, nullptr, 0, nullptr, lossy);
  if (size <= 1 || (lossy != nullptr && *lossy)) return nullptr;
  VtOwnedText narrow(static_cast<char*>(std::malloc(static_cast<size_t>(size))));
  if (narrow &&
      WideCharToMultiByte(codePage, flags, text, -1, narrow.get(), size, nullptr, nullptr) == size)
    return narrow;
  return nullptr;
}

}  // namespace

VtOwnedText Narrow(const wchar_t* text, UINT codePage) {
  return NarrowWith(text, codePage, 0, nullptr);
}

VtOwnedText NarrowExact(const wchar_t* text) {
  BOOL lossy = FALSE;
  return NarrowWith(text, CP_ACP, WC_NO_BEST_FIT_CHARS, &lossy);
}
