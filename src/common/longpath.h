// Paths as the file system names them: a path given relative or in short names made whole.
#pragma once
#include <string>

// path made absolute against the current folder ("." and ".." resolved) and, where all of it
// exists, in its long form (no 8.3 short names). Empty for a null or empty path or one that
// cannot be made absolute.
std::wstring FullLongPath(const wchar_t* path);
