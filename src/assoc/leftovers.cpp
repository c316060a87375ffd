#include "leftovers.h"

#include <unordered_set>

#include "associnfo.h"
#include "assockeys.h"
#include "assoctext.h"
#include "choicekeys.h"
#include "defaultapps.h"
#include "registry.h"
#include "text.h"

namespace {

// The tool's ProgIDs some extension key names, as the registry compares key names.
using NamedSet = std::unordered_set<std::wstring>;

// What one classes hive holds of the tool's, read before anything goes.
struct HiveScan {
  std::vector<std::string> progIds;   // keys named as the tool's ProgIDs
  std::vector<std::string> openWith;  // extension keys listing their own tool ProgID in "Open with"
};

// The tool's ProgID an extension's value names, folded for the lookup; empty for none. A value
// that goes on past a backslash names a key inside that ProgID's tree, which must stay as well.
std::wstring NamedToolProgId(const char* value) {
  std::string text = value;
  char* rest = nullptr;
  const char* first = NextToken(&text[0], "\\", &rest);
  return first != nullptr && ToolProgIdExtension(first) != nullptr ? KeyNameFold(first)
                                                                   : std::wstring();
}

// Reads hive's classes key: into named every tool ProgID an extension key names; with writable,
// into scan the tool's ProgIDs there and the extensions offering their own in "Open with".
void ScanHive(VtClasses& classes, VtScope hive, bool writable, NamedSet* named, HiveScan* scan) {
  for (const std::string& key : ClassesKeyNames(hive)) {
    if (ToolProgIdExtension(key.c_str()) != nullptr) {
      if (writable) scan->progIds.push_back(key);
      continue;
    }
    if (key[0] != '.') continue;
    VtRegistry extKey;
    if (classes.Open(&extKey, hive, key.c_str(), KEY_READ) != ERROR_SUCCESS) continue;
    std::wstring progId = NamedToolProgId(extKey.ReadString(""));
    if (!progId.empty()) named->insert(std::move(progId));
    if (!writable) continue;
    VtRegistry openWith;
    const VtOwnedText own(ToolProgId(key.c_str()));
    if (openWith.Open(extKey.key(), kOpenWithProgids, KEY_READ) && openWith.HasValue(own.get()))
      scan->openWith.push_back(key);
  }
}

// A name that does not convert cannot be compared, and is kept as if it were named.
bool Named(const NamedSet& named, const char* progId) {
  const std::wstring folded = KeyNameFold(progId);
  return folded.empty() || named.count(folded) != 0;
}

// The Default Apps values of hive that name a ProgID of the tool no extension key names.
std::vector<std::string> UnnamedListings(VtClasses& classes, VtScope hive, const NamedSet& named) {
  std::vector<std::string> unnamed;
  VtRegistry& associations = classes.defaultApps().Open(hive);
  VtRegistry::NameBuffer name;
  for (DWORD index = 0; associations.ValueName(index, name); ++index) {
    // The default value, or a name too long to address: the registration stays for it.
    if (name[0] == 0) continue;
    const char* progId = associations.ReadString(name);
    if (ToolProgIdExtension(progId) != nullptr && !Named(named, progId)) unnamed.push_back(name);
  }
  return unnamed;
}

void Note(std::vector<VtLeftover>* left, const std::string& ext, LONG rc) {
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
    left->push_back({ext, static_cast<DWORD>(rc)});
}

void RemoveFromHive(VtClasses& classes, VtScope hive, const HiveScan& scan, const NamedSet& named,
                    std::vector<VtLeftover>* left) {
  for (const std::string& ext : scan.openWith) {
    const VtOwnedText own(ToolProgId(ext.c_str()));
    if (Named(named, own.get())) continue;
    VtRegistry extKey;
    LONG rc = classes.Open(&extKey, hive, ext.c_str(), kReadWrite);
    if (rc == ERROR_SUCCESS) rc = RemoveOpenWith(extKey, own.get());
    Note(left, ext, rc);
  }
  for (const std::string& progId : scan.progIds) {
    if (Named(named, progId.c_str())) continue;
    const char* ext = ToolProgIdExtension(progId.c_str());
    // As Unregister: this user's choice of the ProgID goes first, and one Windows keeps keeps it.
    if (RemoveChoiceOf(ext, progId.c_str()) != ERROR_SUCCESS) {
      Note(left, ext, static_cast<LONG>(kErrorUserChoiceKept));
      continue;
    }
    const LONG rc = DeleteToolProgId(classes, hive, progId.c_str());
    Note(left, ext, rc != ERROR_SUCCESS ? rc : SettleEmptyExtension(classes, hive, ext));
  }
  for (const std::string& ext : UnnamedListings(classes, hive, named))
    Note(left, ext, UnregisterDefaultApp(classes, hive, ext.c_str()));
  // Also where nothing was listed: a registration cut short may have no FileAssociations yet.
  Note(left, kAppKey, UnregisterDefaultApp(classes, hive, nullptr));
}

// This user's choices of a ProgID of the tool that no hive holds any more (a registration cut
// short while making it anew, or an unregistration of an earlier version): Windows would ask how
// to open the file, and no extension's unregistration visits them.
void RemoveOrphanChoices(VtClasses& classes, std::vector<VtLeftover>* left) {
  for (const VtToolChoice& choice : ToolChoices()) {
    bool gone = true;
    for (VtScope hive : kBothHives) {
      VtRegistry progKey;
      gone = gone && classes.Open(&progKey, hive, choice.progId.c_str(), KEY_READ) ==
                         ERROR_FILE_NOT_FOUND;
    }
    if (gone && RemoveChoiceOf(choice.ext.c_str(), choice.progId.c_str()) != ERROR_SUCCESS)
      Note(left, choice.ext, static_cast<LONG>(kErrorUserChoiceKept));
  }
}

}  // namespace

std::vector<VtLeftover> RemoveLeftovers(VtClasses& classes) {
  // Every hive's extension keys are read before anything goes: one this process may not change
  // still names a ProgID that Windows finds in another hive.
  NamedSet named;
  HiveScan scans[2];
  for (VtScope hive : kBothHives)
    ScanHive(classes, hive, classes.MayWrite(hive), &named, &scans[HiveIndex(hive)]);
  std::vector<VtLeftover> left;
  for (VtScope hive : kBothHives)
    if (classes.MayWrite(hive)) RemoveFromHive(classes, hive, scans[HiveIndex(hive)], named, &left);
  RemoveOrphanChoices(classes, &left);
  return left;
}
