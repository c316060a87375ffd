// Where Explorer keeps this user's own choice of program for an extension, beneath
// HKEY_CURRENT_USER, and taking back a choice of one of the tool's ProgIDs.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

class VtRegistry;

// Explorer's record of each extension for this user, beneath HKEY_CURRENT_USER: where the user's
// choice is kept.
inline constexpr char kFileExtsKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

// One place a choice is kept beneath FileExts\<ext>: the key that holds it (deleting it forgets
// the choice) and the key beneath FileExts\<ext> whose value "ProgId" names the chosen ProgID.
struct VtChoiceKey {
  const char* key;
  const char* progIdKey;
};
// Newest first: Windows 11 keeps the choice in UserChoiceLatest\ProgId and leaves UserChoice as an
// older Windows wrote it; before that, UserChoice is the one.
extern const VtChoiceKey kChoiceKeys[2];

// Opens FileExts\ext of this user for reading (ext as ".mp3", no backslash); false when it fails,
// with the registry's result in fileExt->error() (ERROR_FILE_NOT_FOUND: no record).
bool OpenFileExt(VtRegistry* fileExt, const char* ext);

// Deletes each of this user's choices for ext that names own (as key names compare), so that
// Windows opens what the extension's key names again; a choice of another program stays.
// ERROR_SUCCESS when none names own any more (none did, or there is no record), else the
// registry's result of the first choice it could not read or delete.
LONG RemoveChoiceOf(const char* ext, const char* own);

// An extension whose choice names a ProgID of the tool (kToolProgIdPrefix), as read.
struct VtToolChoice {
  std::string ext;
  std::string progId;
};
// Every such choice of this user, in each place a choice is kept; empty without a record.
std::vector<VtToolChoice> ToolChoices();
