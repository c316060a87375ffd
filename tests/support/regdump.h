// Registry snapshots for before/after comparisons: a key tree as text, every value with its type
// and bytes, subkeys recursively, so that any change (type, terminator, case of a name) shows.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

// The tree beneath root\path as lines "key\sub: name = TYPE hex" (a string's bytes as stored, in
// UTF-16), names sorted; "(no key)" when the key is missing. Values longer than 64 bytes are shown
// by size and a checksum. view: 0, or KEY_WOW64_64KEY for the tool's Default Apps registration.
std::string DumpTree(HKEY root, const std::string& path, REGSAM view = 0);
// Several trees, each headed by its path.
std::string DumpTrees(HKEY root, const std::vector<std::string>& paths, REGSAM view = 0);

// The same through the wide functions, which the ones above are not (they turn characters code
// page 932 lacks into "?" and convert string data): names as they are and bytes as stored, one
// line a key or a value, sorted; "path (no key)" when the key is missing.
std::wstring DumpTreeW(HKEY root, const std::wstring& path, REGSAM view = 0);

}  // namespace vttest
