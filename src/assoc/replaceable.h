// Whether accounts other than the system's and the administrators' may change a program file or a
// folder it lies in: what an open command written for every user must never point into.
#pragma once
#include <windows.h>

#include <string>

enum class VtReplaceKind {
  kFile,         // the program file itself
  kOwnFolder,    // the folder holding it: a program also loads libraries from there
  kFolderAbove,  // any folder above that one, up to the volume's root
};

// True when an account other than SYSTEM, the Administrators, TrustedInstaller and admin ("S-1-5-...",
// empty for none) may replace what descriptor guards as kind says: one that owns it (an owner may
// rewrite the DACL) or that an allow ACE for the object itself grants a right of kind. True
// without a DACL (everyone may do everything) and when descriptor cannot be read. Deny ACEs are
// not weighed: a right one group is denied may still come to its members through another.
bool OthersMayReplace(PSECURITY_DESCRIPTOR descriptor, VtReplaceKind kind, const std::string& admin);
// The same for object's owner and DACL (object needs READ_CONTROL), admin being this process's
// user when it is an administrator; true when they cannot be read.
bool OthersMayReplace(HANDLE object, VtReplaceKind kind);
