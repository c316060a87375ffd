// This executable's import table, where a test or a benchmark puts a function of its own in place
// of a system DLL's: every call this program's code makes goes through these entries (calls made
// inside system DLLs do not).
#pragma once
#include <cstdint>

namespace vttest {

// Points every entry of this executable's imports of function (by name) from dll at replacement.
// The entry's former value, to put back the same way; 0 when the executable does not import it.
uintptr_t PatchImport(const char* dll, const char* function, uintptr_t replacement);

}  // namespace vttest
