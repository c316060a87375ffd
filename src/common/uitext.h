// The language of the tool's own texts, and those texts from the program's string tables.
#pragma once
#include <windows.h>

#include <string>

// Japanese where the user's interface language is Japanese, English everywhere else. Chosen at the
// first call and kept for the process, so that one window or one run never mixes two languages.
LANGID VtUiLanguage();
bool VtJapaneseUi();
// Text id of the string tables linked into the program, in VtUiLanguage(); the empty text when
// the program holds no such text.
std::wstring VtText(UINT id);
