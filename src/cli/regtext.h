// The lines of a registry editor file (version 5.00) as regedit writes them, appended to a UTF-16
// text. Each returns false, leaving out unchanged, for a name that no line can hold.
#pragma once
#include <windows.h>

#include <string>

// "[path]" for a key, "[-path]" for its deletion; path is the whole key name, from the root
// ("HKEY_CURRENT_USER\Software\..."). False for a CR, LF or NUL in path.
bool AppendKeyLine(std::wstring& out, const std::wstring& path, bool deletion);
// One value: "@=" for the default value (empty name), else the quoted name, then its data: "text"
// for a REG_SZ that reads back as exactly these bytes, "dword:" for a REG_DWORD of four bytes,
// else the bytes in hex, tagged with the type. False for a CR, LF or NUL in name.
bool AppendValueLines(std::wstring& out, const std::wstring& name, DWORD type, const BYTE* data,
                      DWORD size);
// The deletion of a value: "@=-" or the quoted name, "=-". False for a CR, LF or NUL in name.
bool AppendValueDeletion(std::wstring& out, const std::wstring& name);
