// Why an extension could not be changed, in words for the person who asked for the change.
#pragma once
#include <windows.h>

// The system's text for error (Register's or Unregister's result, ERROR_SUCCESS excluded) in the
// user's language, without its line end; for kErrorMachineAssociation, that an administrator must
// undo it. An owned text (free), never null unless memory runs out.
char* ChangeFailureText(DWORD error);
