#include "widetext.h"

std::wstring Widen(const char* text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return std::wstring();
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length) != length) return std::wstring();
  wide.resize(static_cast<size_t>(length - 1));
  return wide;
}

std::string Narrow(const wchar_t* text, UINT codePage) {
  const int size = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string narrow(static_cast<size_t>(size), '\0');
  if (WideCharToMultiByte(codePage, 0, text, -1, &narrow[0], size, nullptr, nullptr) != size)
    return std::string();
  narrow.resize(static_cast<size_t>(size - 1));
  return narrow;
}
