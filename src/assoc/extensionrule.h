// The one gate for extensions, with its two questions: which names the tool reads and unregisters
// (any one extension key, whoever wrote it), and which of those it registers (what Windows takes
// for a file's extension, with room for the tool's ProgID in a key name, and never a type by which
// Windows starts programs).
#pragma once
#include <windows.h>

// Why an extension is not registered, as Register returns it: error codes of the application's own
// (bit 29), never one of the system's.
const DWORD kErrorNotAnExtension = 0x20000002;    // not what Windows looks up as an extension
const DWORD kErrorExtensionTooLong = 0x20000003;  // "vantrel" + it would not fit in a key name
const DWORD kErrorProgramType = 0x20000004;       // Windows starts programs or shortcuts by it

// The longest extension registered, its "." included: kToolProgIdPrefix and it make 255 bytes.
enum { kMaxExtensionBytes = 248 };

// True for a non-null text of "." and at least one more character without a backslash: one
// extension's key, which the tool reads, and unregisters where it names the tool's ProgID, whatever
// else it holds, since an earlier version or another program may have written it. Anything else
// is not worth a registry access, or names a path of keys.
bool IsExtension(const char* ext);

// ERROR_SUCCESS for ext that may be registered (IsExtension holds for it): "." and then 1 to 247
// bytes with no further ".", no blank, no control character and none of \ / : * ? " < > | (by
// whole characters: the second byte of a double-byte character is no backslash), and not a
// program type (.exe, .bat, .lnk, ..., letter case ignored). Otherwise the rule it breaks.
DWORD ExtensionProblem(const char* ext);
