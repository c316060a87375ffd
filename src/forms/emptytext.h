// Null is the empty text: every text the framework passes on to a window or a font goes through
// OrEmpty, and a caller may pass null wherever the framework takes a text.
#pragma once

inline const char* OrEmpty(const char* text) { return text ? text : ""; }
inline const wchar_t* OrEmpty(const wchar_t* text) { return text ? text : L""; }
