#include "ownassociations.h"

#include <windows.h>

#include <cstring>

#include "assoctext.h"
#include "defaultapps.h"
#include "registry.h"
#include "text.h"

namespace {

const char kProgIdPrefix[] = "vantrel";
const size_t kPrefixLength = sizeof kProgIdPrefix - 1;

void AddValueNames(const VtRegistry& key, std::vector<std::string>* found) {
  VtRegistry::NameBuffer name;
  for (DWORD index = 0; key.ValueName(index, name); ++index)
    if (IsExtension(name)) found->push_back(name);
}

// The prefix is single-byte letters only: a name that begins with a double-byte character differs
// within it, and no trail byte is compared as a letter.
void AddProgIdExtensions(const VtRegistry& classes, std::vector<std::string>* found) {
  VtRegistry::NameBuffer name;
  for (DWORD index = 0; classes.SubkeyName(index, name); ++index) {
    if (std::strlen(name) <= kPrefixLength || name[kPrefixLength] != '.') continue;
    // The prefix is compared on its own: the "." that ends it is put back afterwards.
    name[kPrefixLength] = 0;
    const bool prefixed = CompareNoCase(name, kProgIdPrefix) == 0;
    name[kPrefixLength] = '.';
    if (prefixed && IsExtension(name + kPrefixLength)) found->push_back(name + kPrefixLength);
  }
}

}  // namespace

std::vector<std::string> OwnAssociationCandidates(bool scanClasses) {
  std::vector<std::string> found;
  // Read access only: listing must not need the rights that changing needs.
  VtRegistry associations(KEY_WOW64_64KEY);
  if (associations.OpenToRead(HKEY_LOCAL_MACHINE, kFileAssociationsKey))
    AddValueNames(associations, &found);
  if (scanClasses) {
    VtRegistry classes;
    if (classes.OpenToRead(HKEY_CLASSES_ROOT, "")) AddProgIdExtensions(classes, &found);
  }
  return found;
}
