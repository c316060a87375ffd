// Blocks the system allocates for its caller with LocalAlloc, such as FormatMessage's text and
// CommandLineToArgvW's list, released with LocalFree.
#pragma once
#include <windows.h>

#include "owner.h"

template <class T>
void FreeLocal(T* block) {
  LocalFree(block);
}
// Owns one such block of T.
template <class T>
using VtLocal = VtOwner<T, FreeLocal<T>>;

// The same for blocks the shell and COM allocate with CoTaskMemAlloc, such as
// SHGetKnownFolderPath's path, released with CoTaskMemFree.
template <class T>
void FreeTaskMemory(T* block) {
  CoTaskMemFree(block);
}
template <class T>
using VtTaskMemory = VtOwner<T, FreeTaskMemory<T>>;
