#include "regtext.h"

#include <cstring>

namespace {

const wchar_t kLineEnd[] = L"\r\n";

// reg import reads a file line by line (CR and LF both end one) and as NUL-ended texts.
bool FitsOnLine(const std::wstring& text) {
  return text.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos;
}

// Within quotes only the backslash and the quote itself are escaped.
void AppendQuoted(std::wstring& out, const std::wstring& text) {
  out += L'"';
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'"') out += L'\\';
    out += c;
  }
  out += L'"';
}

// value in lower-case hex digits, at least minDigits of them.
void AppendHexNumber(std::wstring& out, DWORD value, int minDigits) {
  wchar_t digits[8];
  int count = 0;
  do {
    digits[count++] = L"0123456789abcdef"[value & 0xF];
    value >>= 4;
  } while (value != 0 || count < minDigits);
  while (count > 0) out += digits[--count];
}

// "text" reads back as the characters and one terminating NUL, nothing else: so only whole UTF-16
// characters ending in the single NUL, without a line break, may be written that way.
bool QuotesExactly(const BYTE* data, DWORD size) {
  if (size < 2 || size % 2 != 0) return false;
  const DWORD count = size / 2;
  for (DWORD i = 0; i < count; ++i) {
    const wchar_t c = static_cast<wchar_t>(data[2 * i] | data[2 * i + 1] << 8);
    if (c == 0) return i == count - 1;
    if (c == L'\r' || c == L'\n') return false;
  }
  return false;
}

// Comma-separated bytes; a line that could not take another "xx," and its "\" below 80 columns is
// continued on the next, indented by two spaces, as regedit wraps them.
void AppendHex(std::wstring& out, size_t lineStart, const BYTE* data, DWORD size) {
  const size_t kWrapColumn = 76;
  for (DWORD i = 0; i < size; ++i) {
    AppendHexNumber(out, data[i], 2);
    if (i + 1 == size) break;
    out += L',';
    if (out.size() - lineStart >= kWrapColumn) {
      out += L"\\\r\n  ";
      lineStart = out.size() - 2;
    }
  }
}

// "@" for the default value, else the quoted name.
void AppendValueName(std::wstring& out, const std::wstring& name) {
  if (name.empty())
    out += L'@';
  else
    AppendQuoted(out, name);
}

}  // namespace

bool AppendKeyLine(std::wstring& out, const std::wstring& path, bool deletion) {
  if (!FitsOnLine(path)) return false;
  out += deletion ? L"[-" : L"[";
  out += path;
  out += L"]";
  out += kLineEnd;
  return true;
}

bool AppendValueDeletion(std::wstring& out, const std::wstring& name) {
  if (!FitsOnLine(name)) return false;
  AppendValueName(out, name);
  out += L"=-";
  out += kLineEnd;
  return true;
}

bool AppendValueLines(std::wstring& out, const std::wstring& name, DWORD type, const BYTE* data,
                      DWORD size) {
  if (!FitsOnLine(name)) return false;
  const size_t lineStart = out.size();
  AppendValueName(out, name);
  out += L'=';

  if (type == REG_SZ && QuotesExactly(data, size)) {
    std::wstring text(size / 2 - 1, L'\0');
    std::memcpy(&text[0], data, size - 2);
    AppendQuoted(out, text);
  } else if (type == REG_DWORD && size == 4) {
    out += L"dword:";
    AppendHexNumber(out, data[0] | data[1] << 8 | data[2] << 16 | static_cast<DWORD>(data[3]) << 24,
                    8);
  } else {
    if (type == REG_BINARY) {
      out += L"hex:";
    } else {
      out += L"hex(";
      AppendHexNumber(out, type, 1);
      out += L"):";
    }
    AppendHex(out, lineStart, data, size);
  }
  out += kLineEnd;
  return true;
}
