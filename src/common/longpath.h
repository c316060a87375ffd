// Paths as the file system names them, for comparing two names of one file: a program's path as
// it was given against the one Windows reports, or against the folders it may lie in.
#pragma once
#include <string>

// path made absolute against the current folder ("." and ".." resolved) and, where all of it
// exists, in its long form (no 8.3 short names). Empty for a null or empty path or one that
// cannot be made absolute.
std::wstring FullLongPath(const wchar_t* path);
// True when a and b name one file as full long paths, letter case aside; false when either is null
// or empty.
bool SameFilePath(const wchar_t* a, const wchar_t* b);
// True when path (full and long already) lies beneath folder, letter case aside.
bool PathWithin(const std::wstring& path, const wchar_t* folder);
