// Unregister: every hive's extension key restored, then this user's choice of the tool's ProgID
// forgotten, then the tool's ProgIDs that nothing opens any more deleted, then the fields reloaded
// from what it read and wrote.
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "associnfo.h"
#include "assockeys.h"
#include "assoctext.h"
#include "choicekeys.h"
#include "defaultapps.h"
#include "extensionrule.h"
#include "registry.h"
#include "widetext.h"

namespace {

// Reads into *backup, in UTF-16 as stored, the "backup" of the ProgID key own that hive's extension
// key is restored to: hive's own; where that is missing, the one Windows finds for this user, the
// other hive's (an association made through HKEY_CLASSES_ROOT names a ProgID of whichever hive
// held it). The registry's result: ERROR_FILE_NOT_FOUND where neither is there.
LONG ReadBackup(VtClasses& classes, VtScope hive, const char* own, std::wstring* backup) {
  VtRegistry progKey;
  LONG rc = classes.Open(&progKey, hive, own, KEY_READ);
  if (rc == ERROR_SUCCESS) {
    *backup = progKey.ReadWide("backup");
    // A key without any value was only just made by a registration cut short, before the
    // "backup" it was to take from the other hive's: that one still holds it.
    if (!backup->empty() || !progKey.IsEmpty()) return rc;
    rc = ERROR_FILE_NOT_FOUND;
  }
  if (rc != ERROR_FILE_NOT_FOUND) return rc;
  rc = classes.Open(&progKey, OtherHive(hive), own, KEY_READ);
  if (rc == ERROR_SUCCESS) *backup = progKey.ReadWide("backup");
  return rc;
}

// Restores in the open extension key of hive, which names the tool's ProgID own, what it named
// before: the "backup" that ReadBackup finds. The registry's result; on success *named holds
// what the extension names now (null: nothing).
LONG RestoreExtension(VtClasses& classes, VtScope hive, VtRegistry& extKey, const char* ext,
                       const char* own, VtOwnedText* named) {
  // Read and written in UTF-16: the name comes back exactly as it was, in any script.
  std::wstring previous;
  const LONG rc = ReadBackup(classes, hive, own, &previous);
  // A "backup" that cannot be read is not known to be empty: the association stays.
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
  if (!previous.empty()) {
    if (!extKey.WriteString(L"", previous)) return extKey.error();
    *named = Narrow(previous.c_str(), CP_ACP);
    return ERROR_SUCCESS;
  }
  // Nothing to restore. Anything other programs keep in the key ("Content Type",
  // "OpenWithProgids", ...) keeps it. In the user's classes its default value goes: an empty one
  // would hide the machine's association from this user. In the machine's the key names nothing
  // then, and goes where it holds nothing else and no "backup" tells that it was there before.
  // Its default value is there: it named the tool's ProgID.
  const bool empty = extKey.HoldsAtMostOneValue();
  if (hive == VtScope::kUser && !empty) {
    return extKey.DeleteValue("") || extKey.error() == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS
                                                                            : extKey.error();
  }
  if (hive == VtScope::kMachine && (rc == ERROR_SUCCESS || !empty))
    return extKey.WriteString("", "") ? ERROR_SUCCESS : extKey.error();
  extKey.Close();
  const LONG deleted = classes.DeleteKnownTree(hive, ext, {});
  return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
}

}  // namespace

DWORD VtAssocInfo::Unregister(VtClasses* keys) {
  if (!IsExtension(ext)) return ERROR_SUCCESS;
  VtClasses ownKeys(scope);
  VtClasses& classes = keys != nullptr ? *keys : ownKeys;
  scope = classes.scope();
  const VtOwnedText own(ToolProgId(ext));
  // Every extension key is restored before any ProgID goes: its "backup" may be read from the
  // other hive's ProgID key.
  HiveUnregistration unreg[2];
  for (VtScope hive : kBothHives)
    if (classes.MayWrite(hive)) RestoreIn(classes, hive, own.get(), &unreg[HiveIndex(hive)]);
  // This user's own choice of the ProgID goes before the ProgID: a run cut short in between
  // leaves a choice that still opens the player, never one naming a missing ProgID, and the next
  // unregistration deletes the ProgID as it does any that no extension names. A choice Windows
  // refuses to let go keeps the ProgID it opens; an association kept keeps the choice too.
  bool restored = true;
  for (const HiveUnregistration& hive : unreg) restored = restored && hive.result == ERROR_SUCCESS;
  const bool choiceKept = restored && RemoveChoiceOf(ext, own.get()) != ERROR_SUCCESS;
  DWORD result = choiceKept ? kErrorUserChoiceKept : ERROR_SUCCESS;
  for (VtScope hive : kBothHives) {
    if (!classes.MayWrite(hive) || choiceKept) continue;
    const LONG kept = unreg[HiveIndex(hive)].result;
    const LONG rc = kept != ERROR_SUCCESS ? kept : RemoveProgIdIn(classes, hive, own.get(), unreg);
    if (result == ERROR_SUCCESS) result = static_cast<DWORD>(rc);
  }
  Reload(classes, unreg);
  // What the user still sees of the tool lives in the machine's classes.
  if (result == ERROR_SUCCESS && associated != 0 && fromMachine != 0 &&
      !classes.MayWrite(VtScope::kMachine))
    result = kErrorMachineAssociation;
  return result;
}

void VtAssocInfo::RestoreIn(VtClasses& classes, VtScope hive, const char* own,
                            HiveUnregistration* unreg) {
  VtRegistry extKey;
  LONG rc = classes.Open(&extKey, hive, ext, kReadWrite);
  if (rc == ERROR_FILE_NOT_FOUND) {
    unreg->known = true;
    return;
  }
  if (rc == ERROR_SUCCESS) {
    // Whatever the extension names now: the entry may be left from an interrupted Register.
    RemoveOpenWith(extKey, own);
    const std::wstring named = extKey.ReadWide("");
    unreg->named = named.empty() ? nullptr : Narrow(named.c_str(), CP_ACP);
    unreg->known = true;
    if (!SameKeyName(named, own)) {
      VtRegistry progKey;
      extKey.Close();
      if (named.empty() && classes.Open(&progKey, hive, own, KEY_READ) == ERROR_SUCCESS)
        unreg->result = SettleEmptyExtension(classes, hive, ext);
      return;
    }
    unreg->named.reset();
    rc = RestoreExtension(classes, hive, extKey, ext, own, &unreg->named);
    unreg->restored = rc == ERROR_SUCCESS;
    unreg->known = unreg->restored;
  } else if (classes.Open(&extKey, hive, ext, KEY_READ) != ERROR_SUCCESS ||
             !SameKeyName(extKey.ReadWide(""), own)) {
    // A key this process may not change is the tool's to unregister only where it names the ProgID.
    return;
  }
  // A restore that failed keeps the ProgID with its "backup" and the Default Apps entry.
  unreg->result = rc;
  unreg->names = rc != ERROR_SUCCESS;
}

LONG VtAssocInfo::RemoveProgIdIn(VtClasses& classes, VtScope hive, const char* own,
                                 HiveUnregistration (&unreg)[2]) {
  // Default Apps goes first: an entry whose ProgID is gone still gives a row to unregister it
  // with. An entry that stays keeps its ProgID, and is told.
  const LONG listed = UnregisterDefaultApp(classes, hive, ext);
  if (listed != ERROR_SUCCESS) return listed;
  // The other hive's extension key may still name the ProgID (one this process may not change,
  // or whose restore failed); unless that hive has a ProgID key of its own, this one is what
  // Windows opens for it, and stays.
  HiveUnregistration& other = unreg[HiveIndex(OtherHive(hive))];
  if (!classes.MayWrite(OtherHive(hive)) && !other.known) {
    other.named = NamedIn(classes, OtherHive(hive), ext);
    other.known = true;
    other.names = other.named && SameKeyName(other.named.get(), own);
  }
  VtRegistry otherKey;
  if (other.names && (classes.Open(&otherKey, OtherHive(hive), own, KEY_READ) != ERROR_SUCCESS ||
                      otherKey.IsEmpty()))
    return ERROR_SUCCESS;
  // A ProgID no extension named is at most what an interrupted change left, as a rule nothing:
  // deleting its key alone first ends a missing one at once.
  const LONG rc = unreg[HiveIndex(hive)].restored ? DeleteToolProgId(classes, hive, own)
                                                 : classes.DeleteKnownTree(hive, own, {});
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

void VtAssocInfo::Reload(VtClasses& classes, const HiveUnregistration (&unreg)[2]) {
  const HiveUnregistration& user = unreg[HiveIndex(VtScope::kUser)];
  const HiveUnregistration& machine = unreg[HiveIndex(VtScope::kMachine)];
  const HiveUnregistration& mine = unreg[HiveIndex(scope)];
  // What unregistering read or wrote is what the registry shows: read again only what it does not
  // know.
  if (scope == VtScope::kMachine && mine.known) {
    Clear();
    LoadNamed(classes, mine.named.get(),
              user.known ? std::optional<const char*>(user.named.get()) : std::nullopt);
  } else if (scope == VtScope::kUser && mine.known && (mine.named || machine.known)) {
    Clear();
    // A user's key that names nothing shows the machine's.
    fromMachine = !mine.named && machine.named ? 1 : 0;
    LoadNamed(classes, mine.named ? mine.named.get() : machine.named.get());
  } else {
    LoadWith(classes);
  }
}
