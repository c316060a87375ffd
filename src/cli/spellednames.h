// The names beneath a registry key as the registry spells them, found by any letter case: a file
// that gives keys back, or names them to Windows, names them as they were created.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

// name with its letters upper-cased as the registry compares key and value names.
std::wstring FoldedName(std::wstring name);

// The names of a key's subkeys or values, listed once, by their folded form.
class VtSpelledNames {
 public:
  // The subkeys (values: the values) of root\path in view; none where it cannot be read.
  VtSpelledNames(HKEY root, const wchar_t* path, REGSAM view, bool values);

  // name as the registry spells it where it exists, else as given.
  std::wstring Spelled(const std::wstring& name) const;
  // Every name that begins with prefix, letter case ignored.
  std::vector<std::wstring> StartingWith(const std::wstring& prefix) const;

 private:
  std::unordered_map<std::wstring, std::wstring> byFold_;
};
