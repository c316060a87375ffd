// Paths as the file system names them, for comparing two names of one file: a program's path as
// it was given against the one Windows reports, or against the folders it may lie in.
#pragma once
#include <string>

// path made absolute against the current folder and, where all of it exists, in its long form (no
// 8.3 short names). Empty for an empty path or one that cannot be made absolute.
std::wstring FullLongPath(const wchar_t* path);
// True when a and b name the same path: equal without regard to letter case, as the file system
// compares names.
bool SamePath(const std::wstring& a, const std::wstring& b);
