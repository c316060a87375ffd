#include "replaceable.h"

#include <aclapi.h>

#include <initializer_list>

#include "localmemory.h"

namespace {

// The rights that change what a file holds or who decides that, or that remove it.
const DWORD kChangesFile = FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC | WRITE_OWNER |
                           GENERIC_WRITE | GENERIC_ALL;

// Adding a file or folder (FILE_ADD_FILE and FILE_ADD_SUBDIRECTORY are the write and append bits)
// matters only where the program looks for its libraries: the root of a system volume gives
// every user the right to add folders, which replaces nothing already there.
DWORD ReplacingRights(VtReplaceKind kind) {
  switch (kind) {
    case VtReplaceKind::kFile:
      return kChangesFile;
    case VtReplaceKind::kOwnFolder:
      return kChangesFile | FILE_DELETE_CHILD;
    case VtReplaceKind::kFolderAbove:
      break;
  }
  return DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL | FILE_DELETE_CHILD;
}

bool IsOthers(PSID sid) {
  for (WELL_KNOWN_SID_TYPE type :
       {WinWorldSid, WinBuiltinUsersSid, WinAuthenticatedUserSid, WinInteractiveSid}) {
    BYTE others[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof others;
    if (CreateWellKnownSid(type, nullptr, others, &size) && EqualSid(sid, others)) return true;
  }
  return false;
}

}  // namespace

bool OthersMayReplace(HANDLE object, VtReplaceKind kind) {
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                      nullptr, &descriptor) != ERROR_SUCCESS)
    return true;
  const VtLocal<void> owned(descriptor);
  if (dacl == nullptr) return true;
  const DWORD rights = ReplacingRights(kind);
  // Read ACE by ACE: GetEffectiveRightsFromAcl answers full access for everyone under Wine.
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) return true;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    // An inherit-only ACE is there for what the folder will hold, not for the folder.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE) != 0)
      continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    if ((allowed->Mask & rights) != 0 && IsOthers(&allowed->SidStart)) return true;
  }
  return false;
}
