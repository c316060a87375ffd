// A text file the user may have saved in another encoding than the one it was shipped in, read
// as UTF-16.
#pragma once
#include <windows.h>

#include <string>

// The first maxBytes bytes of path, decoded as its byte order mark says (UTF-8, UTF-16 little- or
// big-endian; the mark itself dropped), else from codePage. The text ends at its first zero
// character and at its last whole one. Empty for a missing or unreadable file.
std::wstring ReadTextFile(const char* path, UINT codePage, DWORD maxBytes);
