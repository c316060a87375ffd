// The name of an open key as the registry stores it: the names a caller opens a key by may differ
// from it in letter case, and only the key itself tells how it was created.
#include <windows.h>

#include "registry.h"
#include "systemproc.h"

namespace {

// KEY_BASIC_INFORMATION (wdm.h): the key's own name, as stored, after a fixed header.
struct KeyBasicInformation {
  LARGE_INTEGER lastWriteTime;
  ULONG titleIndex;
  ULONG nameLength;  // in bytes
  WCHAR name[VtRegistry::kMaxNameChars + 1];
};

using NtQueryKeyFn = LONG(WINAPI*)(HANDLE key, int informationClass, void* information,
                                   ULONG length, ULONG* resultLength);
const int kKeyBasicInformation = 0;

}  // namespace

std::wstring VtRegistry::StoredName() const {
  if (key_ == nullptr) return std::wstring();
  // ntdll is in every process; the function is there since Windows NT, but no import library of
  // the tool chain declares it.
  const auto query = SystemProc<NtQueryKeyFn>("ntdll.dll", "NtQueryKey");
  if (query == nullptr) return std::wstring();
  KeyBasicInformation info;
  ULONG length = 0;
  if (query(key_, kKeyBasicInformation, &info, sizeof info, &length) < 0) return std::wstring();
  const ULONG chars = info.nameLength / sizeof(WCHAR);
  return chars <= VtRegistry::kMaxNameChars ? std::wstring(info.name, chars) : std::wstring();
}
