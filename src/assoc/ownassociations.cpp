#include "ownassociations.h"

#include <windows.h>

#include "assoctext.h"
#include "extensionrule.h"
#include "classes.h"
#include "defaultapps.h"
#include "registry.h"

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

}  // namespace

std::vector<VtOwnCandidate> OwnAssociationCandidates(VtClassesMemo* classes) {
  std::vector<VtOwnCandidate> found;
  // Read access only: listing must not need the rights that changing needs.
  for (VtScope scope : kBothHives) {
    VtRegistry associations(KEY_WOW64_64KEY);
    if (associations.Open(ScopeHive(scope), kFileAssociationsKey, KEY_READ))
      AddRegistered(associations, &found);
  }
  if (classes != nullptr) {
    for (VtScope scope : kBothHives)
      for (std::string& ext : classes->ToolProgIdExtensions(scope)) found.push_back({ext, false});
  }
  return found;
}
