// A file written whole or not at all: into a new temporary file beside it, flushed to the disk,
// then moved over it, so that no reader ever sees part of it. The target keeps its DACL (on Windows
// its attributes and creation time as well).
#pragma once
#include <windows.h>

// Replaces (or creates) path with size bytes of data. ERROR_SUCCESS, or the error that stopped it,
// with path untouched and no temporary file left. A read-only path is refused with
// ERROR_ACCESS_DENIED: Windows refuses to replace one, Wine would not. The temporary files are
// named "~vt.<path's name>.<hex>-<hex>.tmp"; each write first deletes those of the same path that
// a killed write left.
DWORD WriteWholeFile(const wchar_t* path, const void* data, DWORD size);
