// Where a file or folder really is: the path the file system gives for an open handle, with
// links, junctions, short names and mapped spellings resolved.
#pragma once
#include <windows.h>

#include <string>

#include "handle.h"

// Opens the file or folder at path to read its attributes and rights only (no data), sharing
// everything. Invalid when it cannot be opened.
VtHandle OpenToInspect(const wchar_t* path);
// The final path of object as "\\?\C:\..." or "\\?\UNC\server\share\..."; empty on failure.
std::wstring FinalPath(HANDLE object);
// finalPath without its "\\?\" (a share's as "\\server\share\..."), as paths are written.
std::wstring WrittenPath(const std::wstring& finalPath);
// True when a and b are one text, letter case aside (ordinal, as the file system compares).
bool SamePathText(const std::wstring& a, const std::wstring& b);
// True when a and b name one file: by its identity (volume and index) where both can be opened, so
// that another letter case, an 8.3 name, a link or "\\?\" lead to the same; else by the text of
// their final paths, or of a and b themselves where there is none.
bool SameFile(const std::wstring& a, const std::wstring& b);
