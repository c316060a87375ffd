// Texts between the ANSI code page (932) and UTF-16, for the Windows functions that take only wide
// texts. Each result is an owned text (ownedtext.h: free), null for a null or empty text and for
// one that does not convert.
#pragma once
#include <windows.h>

wchar_t* Widen(const char* text);
// text in codePage: CP_ACP for the ANSI functions, CP_UTF8 for a URI.
char* Narrow(const wchar_t* text, UINT codePage);
