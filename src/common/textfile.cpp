#include "textfile.h"

#include <string>

#include "handle.h"
#include "widetext.h"

namespace {

bool StartsWith(const std::string& bytes, const char* mark) {
  return bytes.compare(0, std::char_traits<char>::length(mark), mark) == 0;
}

std::wstring FromUtf16(const std::string& bytes, size_t from, bool bigEndian) {
  std::wstring text((bytes.size() - from) / 2, L'\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[from + 2 * i]);
    const auto second = static_cast<unsigned char>(bytes[from + 2 * i + 1]);
    text[i] = static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
  }
  return text;
}

// A lead byte cut from its trail byte at the end of what was read would decode to a character
// the file does not hold.
std::wstring FromCodePage(std::string bytes, UINT codePage) {
  size_t whole = 0;
  while (whole < bytes.size()) {
    const size_t size = IsDBCSLeadByteEx(codePage, static_cast<BYTE>(bytes[whole])) ? 2 : 1;
    if (whole + size > bytes.size()) break;
    whole += size;
  }
  bytes.resize(whole);
  return WideFrom(bytes.c_str(), codePage);
}

}  // namespace

std::wstring ReadTextFile(const char* path, UINT codePage, DWORD maxBytes) {
  const VtHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return std::wstring();
  std::string bytes(maxBytes, '\0');
  DWORD got = 0;
  if (!ReadFile(file.get(), &bytes[0], maxBytes, &got, nullptr)) return std::wstring();
  bytes.resize(got);
  std::wstring text;
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    text = WideFrom(bytes.c_str() + 3, CP_UTF8);
  } else if (StartsWith(bytes, "\xFF\xFE") || StartsWith(bytes, "\xFE\xFF")) {
    text = FromUtf16(bytes, 2, bytes[0] == '\xFE');
    // A surrogate cut from its pair at the end of what was read.
    if (!text.empty() && IS_HIGH_SURROGATE(text.back())) text.pop_back();
  } else {
    text = FromCodePage(bytes.substr(0, bytes.find('\0')), codePage);
  }
  return text.substr(0, text.find(L'\0'));
}
