#include "systemlibrary.h"

#include <string>

#include "systemproc.h"

namespace {

// Not in older headers; Windows 8 and Windows 7 with KB2533623 know them.
const DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

}  // namespace

void RestrictLibrarySearch() {
  using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
  const auto restrict =
      SystemProc<SetDefaultDirectories>("kernel32.dll", "SetDefaultDllDirectories");
  if (restrict != nullptr && restrict(kSearchSystem32)) return;
  SetDllDirectoryW(L"");
}

VtModule LoadSystemLibrary(const wchar_t* name) {
  HMODULE module = LoadLibraryExW(name, nullptr, kSearchSystem32);
  if (module != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) return VtModule(module);
  // A Windows 7 without the flag: the full path, so that no other folder is searched.
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::wstring path = std::wstring(folder, length) + L"\\" + name;
  return VtModule(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}
