#include "regcount.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "importpatch.h"

namespace vtbench {

namespace {

enum Kind {
  kOpen, kOpenWide, kCreate, kClose, kQuery, kQueryWide, kSet, kSetWide, kInfo, kEnum, kEnumWide,
  kDelete, kDeleteInView, kDeleteValue, kCopyTree, kKinds
};
const char* const kKindNames[kKinds] = {
    "open",  "open (wide)", "create", "close",         "query",        "query (wide)",
    "set",   "set (wide)",  "info",   "enum",          "enum (wide)",  "delete",
    "delete (view)", "delete value", "copy tree"};
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
LONG WINAPI CountOpenWide(HKEY a, LPCWSTR b, DWORD c, REGSAM d, PHKEY e) {
  ++g_counts[kOpenWide];
  return Original<decltype(&RegOpenKeyExW)>(kOpenWide)(a, b, c, d, e);
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
LONG WINAPI CountQueryWide(HKEY a, LPCWSTR b, LPDWORD c, LPDWORD d, LPBYTE e, LPDWORD f) {
  ++g_counts[kQueryWide];
  return Original<decltype(&RegQueryValueExW)>(kQueryWide)(a, b, c, d, e, f);
}
LONG WINAPI CountSetWide(HKEY a, LPCWSTR b, DWORD c, DWORD d, const BYTE* e, DWORD f) {
  ++g_counts[kSetWide];
  return Original<decltype(&RegSetValueExW)>(kSetWide)(a, b, c, d, e, f);
}
LONG WINAPI CountCopyTree(HKEY a, LPCSTR b, HKEY c) {
  ++g_counts[kCopyTree];
  return Original<decltype(&RegCopyTreeA)>(kCopyTree)(a, b, c);
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
    {"RegOpenKeyExW", reinterpret_cast<uintptr_t>(&CountOpenWide)},
    {"RegCreateKeyExA", reinterpret_cast<uintptr_t>(&CountCreate)},
    {"RegCloseKey", reinterpret_cast<uintptr_t>(&CountClose)},
    {"RegQueryValueExA", reinterpret_cast<uintptr_t>(&CountQuery)},
    {"RegQueryValueExW", reinterpret_cast<uintptr_t>(&CountQueryWide)},
    {"RegSetValueExA", reinterpret_cast<uintptr_t>(&CountSet)},
    {"RegSetValueExW", reinterpret_cast<uintptr_t>(&CountSetWide)},
    {"RegQueryInfoKeyA", reinterpret_cast<uintptr_t>(&CountInfo)},
    {"RegEnumKeyExA", reinterpret_cast<uintptr_t>(&CountEnum)},
    {"RegEnumKeyExW", reinterpret_cast<uintptr_t>(&CountEnumWide)},
    {"RegDeleteKeyA", reinterpret_cast<uintptr_t>(&CountDelete)},
    {"RegDeleteKeyExA", reinterpret_cast<uintptr_t>(&CountDeleteInView)},
    {"RegDeleteValueA", reinterpret_cast<uintptr_t>(&CountDeleteValue)},
    {"RegCopyTreeA", reinterpret_cast<uintptr_t>(&CountCopyTree)},
};

// Puts the wrappers into this executable's import entries (install), else the originals back.
// Returns the number of functions changed.
int PatchImports(bool install) {
  int changed = 0;
  for (int kind = 0; kind < kKinds; ++kind) {
    if (!install && g_original[kind] == 0) continue;
    const uintptr_t former = vttest::PatchImport(
        "advapi32.dll", kWrappers[kind].name, install ? kWrappers[kind].wrapper : g_original[kind]);
    if (former == 0) continue;
    if (install) g_original[kind] = former;
    ++changed;
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
