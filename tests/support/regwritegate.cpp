#include "regwritegate.h"

#include <windows.h>

#include <cstdint>

#include "importpatch.h"

namespace vttest {
namespace {

// Every function of advapi32 that changes the registry (a tree copy counts as one write);
// whichever the executable imports is gated.
enum Write {
  kSetA, kSetW, kCreateA, kCreateW, kDeleteKeyA, kDeleteKeyW, kDeleteKeyExA, kDeleteKeyExW,
  kDeleteValueA, kDeleteValueW, kDeleteTreeA, kDeleteTreeW, kCopyTreeA, kCopyTreeW, kWrites
};

uintptr_t g_original[kWrites];
DWORD g_thread;
int g_at;
int g_writes;
RegWriteGate::Mode g_mode;
std::function<void()> g_atWrite;

// Whether the gated thread's next write may go on; runs the pause where it falls.
bool Pass() {
  if (GetCurrentThreadId() != g_thread) return true;
  const int write = ++g_writes;
  if (write < g_at) return true;
  if (g_mode == RegWriteGate::Mode::kStop) return false;
  if (write == g_at && g_atWrite) g_atWrite();
  return true;
}

template <int W, typename... A>
LONG WINAPI Gated(A... a) {
  if (!Pass()) return ERROR_ACCESS_DENIED;
  return reinterpret_cast<LONG(WINAPI*)(A...)>(g_original[W])(a...);
}

// The gate of write W, with the signature of the function whose pointer type is given.
template <int W, typename... A>
uintptr_t GateOf(LONG(WINAPI*)(A...)) {
  return reinterpret_cast<uintptr_t>(&Gated<W, A...>);
}

struct Gate {
  const char* name;
  uintptr_t gate;
};
const Gate kGates[kWrites] = {
    {"RegSetValueExA", GateOf<kSetA>(decltype(&RegSetValueExA){})},
    {"RegSetValueExW", GateOf<kSetW>(decltype(&RegSetValueExW){})},
    {"RegCreateKeyExA", GateOf<kCreateA>(decltype(&RegCreateKeyExA){})},
    {"RegCreateKeyExW", GateOf<kCreateW>(decltype(&RegCreateKeyExW){})},
    {"RegDeleteKeyA", GateOf<kDeleteKeyA>(decltype(&RegDeleteKeyA){})},
    {"RegDeleteKeyW", GateOf<kDeleteKeyW>(decltype(&RegDeleteKeyW){})},
    {"RegDeleteKeyExA", GateOf<kDeleteKeyExA>(decltype(&RegDeleteKeyExA){})},
    {"RegDeleteKeyExW", GateOf<kDeleteKeyExW>(decltype(&RegDeleteKeyExW){})},
    {"RegDeleteValueA", GateOf<kDeleteValueA>(decltype(&RegDeleteValueA){})},
    {"RegDeleteValueW", GateOf<kDeleteValueW>(decltype(&RegDeleteValueW){})},
    {"RegDeleteTreeA", GateOf<kDeleteTreeA>(decltype(&RegDeleteTreeA){})},
    {"RegDeleteTreeW", GateOf<kDeleteTreeW>(decltype(&RegDeleteTreeW){})},
    {"RegCopyTreeA", GateOf<kCopyTreeA>(decltype(&RegCopyTreeA){})},
    {"RegCopyTreeW", GateOf<kCopyTreeW>(decltype(&RegCopyTreeW){})},
};

}  // namespace

RegWriteGate::RegWriteGate(int at, Mode mode, std::function<void()> atWrite) : at_(at) {
  g_thread = GetCurrentThreadId();
  g_at = at;
  g_writes = 0;
  g_mode = mode;
  g_atWrite = std::move(atWrite);
  for (int w = 0; w < kWrites; ++w)
    g_original[w] = PatchImport("advapi32.dll", kGates[w].name, kGates[w].gate);
}

RegWriteGate::~RegWriteGate() {
  for (int w = 0; w < kWrites; ++w)
    if (g_original[w] != 0) PatchImport("advapi32.dll", kGates[w].name, g_original[w]);
  g_atWrite = nullptr;
  g_thread = 0;
}

int RegWriteGate::writes() const { return g_writes; }

}  // namespace vttest
