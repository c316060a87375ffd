#include "uitext.h"

namespace {

const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
// A string table resource holds 16 texts, each a count of UTF-16 units and then the units.
const UINT kTextsPerBlock = 16;

}  // namespace

LANGID VtUiLanguage() {
  static const LANGID language =
      PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? kJapanese : kEnglish;
  return language;
}

bool VtJapaneseUi() { return VtUiLanguage() == kJapanese; }

// FindResourceEx rather than LoadStringW: LoadStringW takes the thread's language, which the
// user may set apart from the interface language that chose the texts.
std::wstring VtText(UINT id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(module, reinterpret_cast<LPCWSTR>(RT_STRING),
                                MAKEINTRESOURCEW(id / kTextsPerBlock + 1), VtUiLanguage());
  if (found == nullptr) return std::wstring();
  HGLOBAL loaded = LoadResource(module, found);
  const auto* units = static_cast<const WCHAR*>(loaded ? LockResource(loaded) : nullptr);
  if (units == nullptr) return std::wstring();
  const WCHAR* end = units + SizeofResource(module, found) / sizeof(WCHAR);
  for (UINT index = 0; index < id % kTextsPerBlock; ++index) {
    if (units >= end) return std::wstring();
    units += 1 + *units;
  }
  if (units >= end || units + 1 + *units > end) return std::wstring();
  return std::wstring(units + 1, *units);
}
