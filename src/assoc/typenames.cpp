#include "typenames.h"

#include <windows.h>

#include "textfile.h"
#include "widetext.h"

namespace {

const UINT kShippedCodePage = 932;
const DWORD kMaxReadSize = 0x20000;  // as for every INI file: the rest of a larger file is ignored
// The name is cut where code page 932 would need more than 511 bytes, as the file's own
// explanation promises.
const int kNameBytes = 511;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\x3000'; }

std::wstring Trimmed(const std::wstring& text) {
  size_t first = 0;
  size_t end = text.size();
  while (first < end && IsSpace(text[first])) ++first;
  while (end > first && IsSpace(text[end - 1])) --end;
  return text.substr(first, end - first);
}

// Letter case of ASCII letters only, as the INI reader compares names.
bool SameName(const std::wstring& a, const std::wstring& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const wchar_t x = a[i] >= L'a' && a[i] <= L'z' ? a[i] - 32 : a[i];
    const wchar_t y = b[i] >= L'a' && b[i] <= L'z' ? b[i] - 32 : b[i];
    if (x != y) return false;
  }
  return true;
}

// ASCII and half-width katakana take one byte there, every other unit two; a surrogate pair is
// never cut in half.
std::wstring CutToLimit(const std::wstring& name) {
  int bytes = 0;
  for (size_t i = 0; i < name.size();) {
    const wchar_t c = name[i];
    const bool pair = IS_HIGH_SURROGATE(c) && i + 1 < name.size();
    const bool single = !pair && (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F));
    bytes += pair ? 4 : single ? 1 : 2;
    if (bytes > kNameBytes) return name.substr(0, i);
    i += pair ? 2 : 1;
  }
  return name;
}

// The keys and names of the [filetype] sections, in file order. Lines before the first header and
// keys of other sections are passed over; a line without "=" or with an empty key is none.
std::vector<std::pair<std::wstring, std::wstring>> FileTypeNames(const std::wstring& text) {
  std::vector<std::pair<std::wstring, std::wstring>> names;
  bool inside = false;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    start = end + 1;
    for (wchar_t& c : line)
      if (c == L'\t') c = L' ';
    line = Trimmed(line);
    if (line.size() >= 2 && line.front() == L'[' && line.back() == L']') {
      inside = SameName(Trimmed(line.substr(1, line.size() - 2)), L"filetype");
      continue;
    }
    const size_t equals = line.find(L'=');
    if (!inside || equals == std::wstring::npos) continue;
    const std::wstring key = Trimmed(line.substr(0, equals));
    if (!key.empty()) names.emplace_back(key, Trimmed(line.substr(equals + 1)));
  }
  return names;
}

}  // namespace

const char kTypeNameFile[] = "filetype.ini";

std::wstring VtTypeNames::For(const char* ext) {
  if (!loaded_) {
    loaded_ = true;
    names_ = FileTypeNames(
        ReadTextFile((folder_ + kTypeNameFile).c_str(), kShippedCodePage, kMaxReadSize));
  }
  const std::wstring wideExt = WideFrom(ext, CP_ACP);
  // The last line of a key counts, an empty name too.
  for (auto it = names_.rbegin(); it != names_.rend(); ++it) {
    if (!SameName(it->first, wideExt)) continue;
    if (!it->second.empty()) return CutToLimit(it->second);
    break;
  }
  return std::wstring(wideExt.empty() ? L"" : wideExt.c_str() + 1) + L" File";
}
