// Texts between the ANSI code page (932) and UTF-16, for the Windows functions that take only wide
// texts. Each result is an owned text (ownedtext.h: free), null for a null or empty text and for
// one that does not convert.
#pragma once
#include <windows.h>

wchar_t* Widen(const char* text);
// text in codePage: CP_ACP for the ANSI functions, CP_UTF8 for a URI.
char* Narrow(const wchar_t* text, UINT codePage);
// text in the ANSI code page, null also when a character has no form there: for a name that must
// reach the registry or a file exactly as the user gave it, never as a look-alike or a "?".
char* NarrowExact(const wchar_t* text);
