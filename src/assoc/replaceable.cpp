#include "replaceable.h"

#include <aclapi.h>
// sddl.h needs windows.h first.
#include <sddl.h>

#include "localmemory.h"
#include "usersid.h"

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

const char kTrustedInstaller[] =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

bool IsSidText(PSID sid, const std::string& text) {
  PSID other = nullptr;
  if (text.empty() || !ConvertStringSidToSidA(text.c_str(), &other)) return false;
  const VtLocal<void> owned(other);
  return EqualSid(sid, other) != FALSE;
}

// The accounts whose rights over what stands for every user are a given.
bool IsAccepted(PSID sid, const std::string& admin) {
  return IsWellKnownSid(sid, WinLocalSystemSid) ||
         IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || IsSidText(sid, kTrustedInstaller) ||
         IsSidText(sid, admin);
}

// CREATOR OWNER and CREATOR GROUP stand for whoever creates an object below and are replaced by
// that account when inherited; no token holds them, so on the object itself they grant nothing.
// OWNER RIGHTS grants to the owner, who is weighed already.
bool IsPlaceholder(PSID sid) {
  return IsWellKnownSid(sid, WinCreatorOwnerSid) || IsWellKnownSid(sid, WinCreatorGroupSid) ||
         IsSidText(sid, "S-1-3-4");
}

}  // namespace

bool OthersMayReplace(PSECURITY_DESCRIPTOR descriptor, VtReplaceKind kind,
                      const std::string& admin) {
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL dacl = nullptr;
  if (descriptor == nullptr || !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) ||
      owner == nullptr || !IsAccepted(owner, admin) ||
      !GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present ||
      dacl == nullptr)
    return true;
  const DWORD rights = ReplacingRights(kind);
  // Read ACE by ACE: GetEffectiveRightsFromAcl answers full access for everyone under Wine.
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(dacl, i, &ace)) return true;
    const auto* header = static_cast<const ACE_HEADER*>(ace);
    // An inherit-only ACE is there for what the folder will hold, not for the folder. A callback
    // ACE is laid out as an allow ACE and may grant as much.
    if ((header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
         header->AceType != ACCESS_ALLOWED_CALLBACK_ACE_TYPE) ||
        (header->AceFlags & INHERIT_ONLY_ACE) != 0)
      continue;
    auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
    PSID sid = &allowed->SidStart;
    if ((allowed->Mask & rights) != 0 && !IsPlaceholder(sid) && !IsAccepted(sid, admin))
      return true;
  }
  return false;
}

bool OthersMayReplace(HANDLE object, VtReplaceKind kind) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                      nullptr, nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return true;
  const VtLocal<void> owned(descriptor);
  return OthersMayReplace(descriptor, kind, IsAdministrator() ? UserSidText() : std::string());
}
