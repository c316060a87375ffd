#include "regcount.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vtbench {

namespace {

enum Kind {
  kOpen, kCreate, kClose, kQuery, kSet, kInfo, kEnum, kEnumWide, kDelete, kDeleteInView, kDeleteValue,
  kKinds
};
const char* const kKindNames[kKinds] = {"open", "create", "close", "query", "set",
                                        "info", "enum",   "enum (wide)", "delete", "delete (view)",
                                        "delete value"};
long g_counts[kKinds];

// The original function of each wrapper, taken from the import table when it is patched.
uintptr_t g_original[kKinds];

template <typename Fn>
Fn Original(Kind kind) {
  return reinterpret_cast<Fn>(g_original[kind]);
}

LONG WINAPI CountOpen(HKEY a, LPCSTR b, DWORD c, REGSAM d, PHKEY e) {
  ++g_counts[kOpen];
  return Original<decltype(&RegOpenKeyExA)>(kOpen)(a, b, c, d, e);
}
LONG WINAPI CountCreate(HKEY a, LPCSTR b, DWORD c, LPSTR d, DWORD e, REGSAM f, LPSECURITY_ATTRIBUTES g,
                        PHKEY h, LPDWORD i) {
  ++g_counts[kCreate];
  return Original<decltype(&RegCreateKeyExA)>(kCreate)(a, b, c, d, e, f, g, h, i);
}
LONG WINAPI CountClose(HKEY a) {
  ++g_counts[kClose];
  return Original<decltype(&RegCloseKey)>(kClose)(a);
}
LONG WINAPI CountQuery(HKEY a, LPCSTR b, LPDWORD c, LPDWORD d, LPBYTE e, LPDWORD f) {
  ++g_counts[kQuery];
  return Original<decltype(&RegQueryValueExA)>(kQuery)(a, b, c, d, e, f);
}
LONG WINAPI CountSet(HKEY a, LPCSTR b, DWORD c, DWORD d, const BYTE* e, DWORD f) {
  ++g_counts[kSet];
  return Original<decltype(&RegSetValueExA)>(kSet)(a, b, c, d, e, f);
}
LONG WINAPI CountInfo(HKEY a, LPSTR b, LPDWORD c, LPDWORD d, LPDWORD e, LPDWORD f, LPDWORD g, LPDWORD h,
                      LPDWORD i, LPDWORD j, LPDWORD k, PFILETIME l) {
  ++g_counts[kInfo];
  return Original<decltype(&RegQueryInfoKeyA)>(kInfo)(a, b, c, d, e, f, g, h, i, j, k, l);
}
LONG WINAPI CountEnum(HKEY a, DWORD b, LPSTR c, LPDWORD d, LPDWORD e, LPSTR f, LPDWORD g, PFILETIME h) {
  ++g_counts[kEnum];
  return Original<decltype(&RegEnumKeyExA)>(kEnum)(a, b, c, d, e, f, g, h);
}
LONG WINAPI CountEnumWide(HKEY a, DWORD b, LPWSTR c, LPDWORD d, LPDWORD e, LPWSTR f, LPDWORD g,
                          PFILETIME h) {
  ++g_counts[kEnumWide];
  return Original<decltype(&RegEnumKeyExW)>(kEnumWide)(a, b, c, d, e, f, g, h);
}
LONG WINAPI CountDelete(HKEY a, LPCSTR b) {
  ++g_counts[kDelete];
  return Original<decltype(&RegDeleteKeyA)>(kDelete)(a, b);
}

LONG WINAPI CountDeleteInView(HKEY a, LPCSTR b, REGSAM c, DWORD d) {
  ++g_counts[kDeleteInView];
  return Original<decltype(&RegDeleteKeyExA)>(kDeleteInView)(a, b, c, d);
}
LONG WINAPI CountDeleteValue(HKEY a, LPCSTR b) {
  ++g_counts[kDeleteValue];
  return Original<decltype(&RegDeleteValueA)>(kDeleteValue)(a, b);
}

struct Wrapper {
  const char* name;
  uintptr_t wrapper;
};
const Wrapper kWrappers[kKinds] = {
    {"RegOpenKeyExA", reinterpret_cast<uintptr_t>(&CountOpen)},
    {"RegCreateKeyExA", reinterpret_cast<uintptr_t>(&CountCreate)},
    {"RegCloseKey", reinterpret_cast<uintptr_t>(&CountClose)},
    {"RegQueryValueExA", reinterpret_cast<uintptr_t>(&CountQuery)},
    {"RegSetValueExA", reinterpret_cast<uintptr_t>(&CountSet)},
    {"RegQueryInfoKeyA", reinterpret_cast<uintptr_t>(&CountInfo)},
    {"RegEnumKeyExA", reinterpret_cast<uintptr_t>(&CountEnum)},
    {"RegEnumKeyExW", reinterpret_cast<uintptr_t>(&CountEnumWide)},
    {"RegDeleteKeyA", reinterpret_cast<uintptr_t>(&CountDelete)},
    {"RegDeleteKeyExA", reinterpret_cast<uintptr_t>(&CountDeleteInView)},
    {"RegDeleteValueA", reinterpret_cast<uintptr_t>(&CountDeleteValue)},
};

void WriteEntry(uintptr_t* slot, uintptr_t value) {
  DWORD old = 0;
  VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
  *slot = value;
  VirtualProtect(slot, sizeof *slot, old, &old);
}

// Walks advapi32's import entries of this executable; install: wrappers in, else originals back.
// Returns the number of entries changed.
int PatchImports(bool install) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (directory.VirtualAddress == 0) return 0;
  int changed = 0;
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
       import->Name != 0; ++import) {
    if (_stricmp(reinterpret_cast<const char*>(base + import->Name), "advapi32.dll") != 0) continue;
    if (import->OriginalFirstThunk == 0) continue;  // no names to go by
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
    auto* slots = reinterpret_cast<uintptr_t*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* name = reinterpret_cast<const char*>(
          reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
      for (int kind = 0; kind < kKinds; ++kind) {
        if (std::strcmp(name, kWrappers[kind].name) != 0) continue;
        if (install) {
          g_original[kind] = *slots;
          WriteEntry(slots, kWrappers[kind].wrapper);
        } else if (g_original[kind] != 0) {
          WriteEntry(slots, g_original[kind]);
        }
        ++changed;
      }
    }
  }
  return changed;
}

}  // namespace

RegCallCounter::RegCallCounter() : patched_(false) {
  std::memset(g_counts, 0, sizeof g_counts);
  patched_ = PatchImports(true) > 0;
}

RegCallCounter::~RegCallCounter() {
  if (patched_) PatchImports(false);
}

long RegCallCounter::Total() const {
  if (!patched_) return -1;
  long total = 0;
  for (long count : g_counts) total += count;
  return total;
}

std::string RegCallCounter::Breakdown(int units) const {
  std::string text;
  for (int kind = 0; kind < kKinds; ++kind) {
    if (g_counts[kind] == 0) continue;
    char part[48];
    std::snprintf(part, sizeof part, "%s%s %.3g", text.empty() ? "" : ", ", kKindNames[kind],
                  static_cast<double>(g_counts[kind]) / (units > 0 ? units : 1));
    text += part;
  }
  return text;
}

}  // namespace vtbench
