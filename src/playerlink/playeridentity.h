// Whether the program at the other end of a DDE conversation runs the executable it names, so that
// another program answering as the player cannot have its own path registered.
#pragma once
#include <windows.h>

#include <string>

// The full path of the executable that the process owning window runs, as the system gives it
// ("Z:\..." under Wine for a program in the Linux tree); empty when that process cannot be opened
// or queried, or window no longer belongs to the process that was opened.
std::wstring WindowImagePath(HWND window);
// True only when the process owning window runs the executable that exePath (ANSI code page)
// names, as text: its image path, that path's final form or its short form. False for a null or
// empty exePath, a share or device path (never looked up), and a process that cannot be checked.
// exePath itself reaches no file-system call.
bool WindowRunsExecutable(HWND window, const char* exePath);
