// What the entry's operations (associnfo.cpp, associnfo_unregister.cpp) and the removal of what
// they leave when cut short (leftovers.cpp) share about the keys of one association.
#pragma once
#include <windows.h>

#include "classes.h"
#include "ownedtext.h"

const REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// Where an extension lists the ProgIDs that Explorer offers in "Open with".
inline constexpr char kOpenWithProgids[] = "OpenWithProgids";

// Opens, beneath the open ProgID key progKey, its DefaultIcon into *icon and the command of its
// default verb (the one "shell" names, else "open") into *command, each with access, or for
// reading alone where access is refused (a write then fails); either stays closed where it is
// missing or unreadable.
void OpenIconAndCommand(const VtRegistry& progKey, REGSAM access, VtRegistry* icon,
                        VtRegistry* command);
// An owned copy of a value read, or null when the value is empty.
VtOwnedText CopyIfNotEmpty(const char* value);
// What an extension key names: owned, null when it is missing or names nothing.
VtOwnedText NamedIn(VtClasses& classes, VtScope hive, const char* ext);
// Deletes the tool's ProgID tree as Register builds it, deepest first; anything else found there
// goes by the walk. The registry's result.
LONG DeleteToolProgId(VtClasses& classes, VtScope hive, const char* progId);
// A registration cut short between making ext's key and naming its ProgID there leaves the key
// without any value; where it is so (as the tool's ProgID in hive tells, which the caller knows),
// it ends as unregistering leaves a key that named nothing: in the user's classes gone, so that the
// machine's association shows; in the machine's with an empty default. Any other key stays as it
// is. ERROR_SUCCESS, else the registry's result.
LONG SettleEmptyExtension(VtClasses& classes, VtScope hive, const char* ext);
// Takes progId out of the open extension key's "Open with" list. The list's key goes only when
// nothing at all is left in it: other programs' entries, a default value or a subkey keep it.
// ERROR_SUCCESS when the entry is gone or was never there, else the registry's result.
LONG RemoveOpenWith(VtRegistry& extKey, const char* progId);
