// Whether users other than a file's owner and the administrators may change a program file or a
// folder it lies in: what an open command written for every user must never point into.
#pragma once
#include <windows.h>

enum class VtReplaceKind {
  kFile,         // the program file itself
  kOwnFolder,    // the folder holding it: a program also loads libraries from there
  kFolderAbove,  // any folder above that one, up to the volume's root
};

// True when object's DACL has an allow ACE for Everyone, Users, Authenticated Users or
// INTERACTIVE that lets them replace it as kind says; also true without a DACL (everyone may do
// everything) and when the DACL cannot be read. object needs READ_CONTROL. Deny ACEs are not
// weighed: a right one group is denied may still come to its members through another.
bool OthersMayReplace(HANDLE object, VtReplaceKind kind);
