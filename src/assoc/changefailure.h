// Why an extension could not be changed, in words for the person who asked for the change.
#pragma once
#include <windows.h>

#include <string>

// What a list of the extensions that could not be changed begins with, on a line of its own.
extern const char kChangeFailureHeading[];

// The system's text for error (Register's or Unregister's result, ERROR_SUCCESS excluded) in the
// user's language, without its line end; for the tool's own codes (kErrorMachineAssociation,
// extensionrule.h) the tool's reason.
std::wstring ChangeFailureReason(DWORD error);
// The same in the ANSI code page, for the ANSI functions. An owned text (free), never null unless
// memory runs out.
char* ChangeFailureText(DWORD error);
// One line of that list: "shown: reason", shown being the extension as the list names it.
std::string ChangeFailureLine(const char* shown, DWORD error);
std::wstring ChangeFailureLine(const std::wstring& shown, DWORD error);
