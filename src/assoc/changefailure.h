// Why an extension could not be changed, in words for the person who asked for the change.
#pragma once
#include <windows.h>

#include <string>

// What a list of the extensions that could not be changed begins with, on a line of its own.
std::wstring ChangeFailureHeading();

// The system's text for error (Register's or Unregister's result, ERROR_SUCCESS excluded) in the
// user's language, without its line end; for the tool's own codes (kErrorMachineAssociation,
// extensionrule.h) the tool's reason.
std::wstring ChangeFailureReason(DWORD error);
// One line of that list: "shown: reason", shown being the extension as the list names it.
std::wstring ChangeFailureLine(const std::wstring& shown, DWORD error);
