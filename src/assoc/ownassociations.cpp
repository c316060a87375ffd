#include "ownassociations.h"

#include <windows.h>

#include <cstring>

#include "assoctext.h"
#include "classes.h"
#include "defaultapps.h"
#include "registry.h"
#include "text.h"

namespace {

void AddRegistered(VtRegistry& associations, std::vector<VtOwnCandidate>* found) {
  VtRegistry::NameBuffer name;
  for (DWORD index = 0; associations.ValueName(index, name); ++index) {
    if (!IsExtension(name)) continue;
    const VtOwnedText own(ToolProgId(name));
    // Another program's ProgID, or no text at all, is not the tool's registration.
    found->push_back({name, SameKeyName(associations.ReadString(name), own.get())});
  }
}

// The prefix is single-byte letters only: a name that begins with a double-byte character differs
// within it, and no trail byte is compared as a letter.
void AddProgIdExtensions(const VtRegistry& classes, std::vector<VtOwnCandidate>* found) {
  const size_t prefixLength = std::strlen(kToolProgIdPrefix);
  VtRegistry::NameBuffer name;
  for (DWORD index = 0; classes.SubkeyName(index, name); ++index) {
    if (std::strlen(name) <= prefixLength || name[prefixLength] != '.') continue;
    // The prefix is compared on its own: the "." that ends it is put back afterwards.
    name[prefixLength] = 0;
    const bool prefixed = CompareNoCase(name, kToolProgIdPrefix) == 0;
    name[prefixLength] = '.';
    if (prefixed && IsExtension(name + prefixLength))
      found->push_back({name + prefixLength, false});
  }
}

}  // namespace

std::vector<VtOwnCandidate> OwnAssociationCandidates(bool scanClasses) {
  std::vector<VtOwnCandidate> found;
  // Read access only: listing must not need the rights that changing needs.
  for (VtScope scope : kBothHives) {
    VtRegistry associations(KEY_WOW64_64KEY);
    if (associations.Open(ScopeHive(scope), kFileAssociationsKey, KEY_READ))
      AddRegistered(associations, &found);
  }
  if (scanClasses) {
    for (VtScope scope : kBothHives) {
      VtRegistry classes;
      if (classes.Open(ScopeHive(scope), kClassesKey, KEY_READ))
        AddProgIdExtensions(classes, &found);
    }
  }
  return found;
}
