// The private namespace that holds a hive's change mutex on Windows: its boundary only that hive's
// rightful holders satisfy, so no other account can make the mutex first and keep it.
#pragma once
#include <windows.h>

#include <string>

#include "classes.h"
#include "owner.h"

void ClosePrivateNamespaceOf(void* space);
// Open while a mutex made inside the namespace is in use.
using VtPrivateNamespace = VtOwner<void, ClosePrivateNamespaceOf>;

enum class VtNamespaceResult {
  kOpened,       // *space holds the namespace
  kUnavailable,  // the system has no private namespaces (Wine): use a global name instead
  kFailed,       // the boundary or the namespace could not be had
};

// Opens hive's namespace, creating it when no process has it: the boundary is the Administrators
// at high integrity for the machine's, user (this process's user) at medium integrity for the
// user's, so that the user's elevated and unelevated processes share one. user is "S-1-5-...".
VtNamespaceResult OpenLockNamespace(VtScope hive, const std::string& user,
                                    VtPrivateNamespace* space);
// The alias under which hive's namespace is opened: "<alias>\\change" names its mutex.
const char* LockNamespaceAlias(VtScope hive);
