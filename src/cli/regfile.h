// A registry editor file that restores, through the system's own "reg import", the state some
// registry keys had when it was written.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

// A key whose present state the file restores: a root (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER)
// and its path beneath it, e.g. L"Software\\Classes\\.mp3".
struct VtExportKey {
  VtExportKey(HKEY root_, std::wstring path_, REGSAM view_ = 0,
              std::vector<std::wstring> values_ = {})
      : root(root_), path(std::move(path_)), view(view_), values(std::move(values_)) {}

  HKEY root;
  std::wstring path;
  // KEY_WOW64_64KEY for a key that Windows keeps in the 64-bit view (it is read there; the file
  // must then be imported there too), else 0.
  REGSAM view = 0;
  // Empty: the whole key. Else only these values of it, each as it is now, or its deletion
  // ("name"=-) where it is missing; the key's other values and subkeys are left alone.
  std::vector<std::wstring> values;
};

// Writes path: "Windows Registry Editor Version 5.00", UTF-16 LE with its byte-order mark, CRLF.
// For each whole key in order: a deletion of the key ("[-HKEY_...\path]"), then, when it exists,
// its whole content (every value and every subkey, recursively, each subkey as its own section),
// in the registry's enumeration order; a key missing, or gone while it is read, gets its deletion
// only. For a key of values: its section with those values. Keys are read with KEY_READ only, in
// the key's view. The file is written beside path and
// renamed over it, so it appears whole or not at all. ERROR_SUCCESS, or the error that kept it
// from being written, with path untouched and no temporary file left: ERROR_INVALID_PARAMETER for
// an empty path, another root, or a key path that is empty or has an empty part;
// ERROR_INVALID_DATA for a key or value name that a line cannot hold (CR, LF); the registry's
// error for a key it may not read; ERROR_ACCESS_DENIED for a read-only path.
DWORD WriteRegistryFile(const wchar_t* path, const std::vector<VtExportKey>& keys);
