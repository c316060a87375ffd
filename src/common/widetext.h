// Texts between the ANSI code page (932) and UTF-16, for the Windows functions that take only wide
// texts. Each result is an owned text (ownedtext.h), null for a null or empty text and for
// one that does not convert.
#pragma once
#include <windows.h>

#include <string>

#include "ownedtext.h"

VtOwnedWide Widen(const char* text);
// text in codePage: CP_ACP for the ANSI functions, CP_UTF8 for a URI.
VtOwnedText Narrow(const wchar_t* text, UINT codePage);
// text in the ANSI code page, null also when a character has no form there: for a name that must
// reach the registry or a file exactly as the user gave it, never as a look-alike or a "?".
VtOwnedText NarrowExact(const wchar_t* text);

// The tool's own texts that live in the code rather than in the string tables (uitext.h), such as
// the description it registers for Default Apps, are code page 932 literals whatever the system's
// ANSI code page is, so they reach the wide functions converted from it, never from CP_ACP.
inline constexpr UINT kOwnTextCodePage = 932;
// text (in codePage) as UTF-16; empty for a null or empty text and for one that does not convert.
std::wstring WideFrom(const char* text, UINT codePage);
// text in the ANSI code page as UTF-16: a registry text or a path the tool holds.
inline std::wstring AnsiWide(const std::string& text) { return WideFrom(text.c_str(), CP_ACP); }
// One of the tool's own texts as UTF-16.
inline std::wstring OwnText(const char* text) { return WideFrom(text, kOwnTextCodePage); }
