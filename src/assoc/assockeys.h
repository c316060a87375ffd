// What the entry's operations (associnfo.cpp, associnfo_undo.cpp) share about the keys of one
// association.
#pragma once
#include <windows.h>

#include "classes.h"

const REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// Where an extension lists the ProgIDs that Explorer offers in "Open with".
inline constexpr char kOpenWithProgids[] = "OpenWithProgids";

// An owned copy of a value read, or null when the value is empty.
char* CopyIfNotEmpty(const char* value);
// What an extension key names: owned, null when it is missing or names nothing.
char* NamedIn(VtClasses& classes, VtScope hive, const char* ext);
// Deletes the tool's ProgID tree as Register builds it, deepest first; anything else found there
// goes by the walk. The registry's result.
LONG DeleteToolProgId(VtClasses& classes, VtScope hive, const char* progId);
