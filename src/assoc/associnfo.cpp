#include "associnfo.h"

#include <windows.h>

#include <initializer_list>
#include <utility>

#include "assoctext.h"
#include "defaultapps.h"
#include "extensionrule.h"
#include "registry.h"
#include "text.h"
#include "userchoice.h"

namespace {

const REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// An owned copy of a value read, or null when the value is empty.
char* CopyIfNotEmpty(const char* value) { return value[0] ? DupText(value) : nullptr; }

// Where an extension lists the ProgIDs that Explorer offers in "Open with".
const char kOpenWithProgids[] = "OpenWithProgids";

// The tool's ProgID tree as Register builds it, deepest first; anything else found there goes by
// the walk.
LONG DeleteToolProgId(VtClasses& classes, VtScope hive, const char* progId) {
  return classes.DeleteKnownTree(hive, progId,
                                 {"shell\\open\\command", "shell\\open", "shell", "DefaultIcon"});
}

// Offers progId in the open extension key's "Open with" list.
void AddOpenWith(const VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  if (openWith.Create(extKey.key(), kOpenWithProgids, KEY_WRITE)) openWith.WriteMarker(progId);
}

// Takes progId out of the open extension key's "Open with" list. The list's key goes only when
// nothing at all is left in it: other programs' entries, a default value or a subkey keep it.
void RemoveOpenWith(VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  if (!openWith.Open(extKey.key(), kOpenWithProgids, kReadWrite)) return;
  openWith.DeleteValue(progId);
  if (!openWith.IsEmpty()) return;
  openWith.Close();
  extKey.DeleteLeaf(kOpenWithProgids);
}

// What the extension names as the scope shows it: the machine's key in the machine's scope; in the
// user's, the user's key where it names a ProgID, else the machine's (*fromMachine: 1). Owned, or
// null when nothing is named.
char* ScopeProgId(VtClasses& classes, const char* ext, int32_t* fromMachine) {
  VtRegistry key;
  if (classes.scope() == VtScope::kUser &&
      classes.Open(&key, VtScope::kUser, ext, KEY_READ) == ERROR_SUCCESS) {
    if (char* named = CopyIfNotEmpty(key.ReadString(""))) return named;
  }
  if (classes.Open(&key, VtScope::kMachine, ext, KEY_READ) != ERROR_SUCCESS) return nullptr;
  char* named = CopyIfNotEmpty(key.ReadString(""));
  *fromMachine = named != nullptr && classes.scope() == VtScope::kUser ? 1 : 0;
  return named;
}

const VtScope kHives[] = {VtScope::kUser, VtScope::kMachine};

VtScope OtherHive(VtScope hive) {
  return hive == VtScope::kUser ? VtScope::kMachine : VtScope::kUser;
}

// What an extension key names: owned, null when it is missing or names nothing.
char* NamedIn(VtClasses& classes, VtScope hive, const char* ext) {
  VtRegistry key;
  if (classes.Open(&key, hive, ext, KEY_READ) != ERROR_SUCCESS) return nullptr;
  return CopyIfNotEmpty(key.ReadString(""));
}

// In the machine's scope, what the user's own extension key names (owned, null for nothing): what
// Windows opens for this user in place of the machine's. Null in the user's scope.
char* UserNamed(VtClasses& classes, const char* ext) {
  return classes.scope() == VtScope::kMachine ? NamedIn(classes, VtScope::kUser, ext) : nullptr;
}

// Opens the key of a ProgID named by the scope's extension key for reading, as the scope shows it:
// in the machine's scope the machine's key alone, which every user gets; in the user's, the
// user's key else the machine's, as Windows merges them for this user.
bool OpenShown(VtClasses& classes, VtRegistry* key, const char* progId) {
  if (classes.scope() == VtScope::kUser) return classes.OpenMerged(key, progId);
  return classes.Open(key, VtScope::kMachine, progId, KEY_READ) == ERROR_SUCCESS;
}

// Opens the ProgID key own whose "backup" hive's extension key gives back: hive's own; where that
// is missing, the one Windows finds for this user, the other hive's (an association made through
// HKEY_CLASSES_ROOT names a ProgID of whichever hive held it). The registry's result.
LONG OpenBackupKey(VtClasses& classes, VtScope hive, const char* own, VtRegistry* progKey) {
  const LONG rc = classes.Open(progKey, hive, own, KEY_READ);
  return rc == ERROR_FILE_NOT_FOUND ? classes.Open(progKey, OtherHive(hive), own, KEY_READ) : rc;
}

// Gives the open extension key of hive, which names the tool's ProgID own, back what it named
// before: the "backup" that OpenBackupKey finds. The registry's result; on success *named holds
// what the extension names now (null: nothing).
LONG GiveBackExtension(VtClasses& classes, VtScope hive, VtRegistry& extKey, const char* ext,
                       const char* own, VtOwnedText* named) {
  VtRegistry progKey;
  const LONG rc = OpenBackupKey(classes, hive, own, &progKey);
  // A "backup" that cannot be read is not known to be empty: the association stays.
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
  VtOwnedText previous(rc == ERROR_SUCCESS ? DupText(progKey.ReadString("backup")) : nullptr);
  if (previous && previous.get()[0] != 0) {
    if (!extKey.WriteString("", previous.get())) return extKey.error();
    *named = std::move(previous);
    return ERROR_SUCCESS;
  }
  // Nothing to give back. Anything other programs keep in the key ("Content Type",
  // "OpenWithProgids", ...) keeps it. In the user's classes its default value goes: an empty one
  // would hide the machine's association from this user. In the machine's the key names nothing
  // then, and goes where it holds nothing else and no "backup" tells that it was there before.
  // Its default value is there: it named the tool's ProgID.
  const bool empty = extKey.HoldsAtMostOneValue();
  if (hive == VtScope::kUser && !empty) {
    return extKey.DeleteValue("") || extKey.error() == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS
                                                                            : extKey.error();
  }
  if (hive == VtScope::kMachine && (previous || !empty))
    return extKey.WriteString("", "") ? ERROR_SUCCESS : extKey.error();
  extKey.Close();
  const LONG deleted = classes.DeleteKnownTree(hive, ext, {});
  return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
}

}  // namespace

VtAssocInfo::VtAssocInfo(const char* extension, VtScope entryScope)
    : backup(nullptr),
      ext(DupText(extension ? extension : "")),
      typeName(nullptr),
      command(nullptr),
      icon(nullptr),
      associated(0),
      fromMachine(0),
      userAssociated(0),
      scope(entryScope),
      userChoice(nullptr) {}

VtAssocInfo::~VtAssocInfo() {
  Clear();
  ReplaceText(&ext, nullptr);
}

void VtAssocInfo::ReleaseTypeCommandIcon() {
  ReplaceText(&typeName, nullptr);
  ReplaceText(&command, nullptr);
  ReplaceText(&icon, nullptr);
}

void VtAssocInfo::Clear() {
  ReleaseTypeCommandIcon();
  ReplaceText(&backup, nullptr);
  ReplaceText(&userChoice, nullptr);
  associated = 0;
  fromMachine = 0;
  userAssociated = 0;
}

void VtAssocInfo::Load() {
  VtClasses classes(scope);
  LoadWith(classes);
}

void VtAssocInfo::LoadWith(VtClasses& classes) {
  Clear();
  if (!IsExtension(ext)) return;
  VtOwnedText progId(ScopeProgId(classes, ext, &fromMachine));
  LoadNamed(classes, progId.get());
}

void VtAssocInfo::LoadNamed(VtClasses& classes, const char* named,
                            std::optional<const char*> knownUserNamed) {
  const char* progId = named != nullptr ? named : "";
  const VtOwnedText own(ToolProgId(ext));
  const VtOwnedText readUserNamed(knownUserNamed ? nullptr : UserNamed(classes, ext));
  const char* userNamed =
      classes.scope() != VtScope::kMachine ? nullptr
      : knownUserNamed                     ? *knownUserNamed
                                           : readUserNamed.get();
  // An association of the tool in the user's own classes is undone with the machine's.
  if (userNamed != nullptr && SameKeyName(userNamed, own.get())) {
    VtRegistry userOwn;
    userAssociated = classes.OpenMerged(&userOwn, own.get()) ? 1 : 0;
  }
  // The user's choice overrides the extension's key also where that key is missing or names nothing.
  userChoice = UserChoiceText(classes, ext, progId, userNamed);
  VtRegistry key;
  if (progId[0] == 0 || !OpenShown(classes, &key, progId)) return;

  associated = SameKeyName(own.get(), progId) ? 1 : 0;
  ReplaceText(&backup, DupText(key.ReadString("backup")));
  ReplaceText(&typeName, CopyIfNotEmpty(key.ReadString("")));

  VtRegistry sub;
  if (sub.Open(key.key(), "DefaultIcon", KEY_READ))
    ReplaceText(&icon, CopyIfNotEmpty(sub.ReadString("")));
  if (!sub.Open(key.key(), "shell", KEY_READ)) return;
  const char* verb = sub.ReadString("");
  // The verb lives in sub's buffer, which the next Open releases.
  VtOwnedText commandKey(VerbCommandKey(verb[0] ? verb : "open"));
  if (sub.Open(key.key(), commandKey.get(), KEY_READ))
    ReplaceText(&command, CopyIfNotEmpty(sub.ReadString("")));
}

DWORD VtAssocInfo::Register(const char* exePath, const char* newTypeName, const char* option,
                            VtClasses* keys) {
  // A refused extension changes nothing, not even the fields.
  if (const DWORD problem = ExtensionProblem(ext); problem != ERROR_SUCCESS) return problem;
  VtOwnedText typeCopy(DupText(newTypeName ? newTypeName : ""));
  ReleaseTypeCommandIcon();
  VtClasses ownKeys(scope);
  VtClasses& classes = keys != nullptr ? *keys : ownKeys;
  scope = classes.scope();
  const VtOwnedText own(ToolProgId(ext));

  // What the extension names in the scope's own classes now is what undoing gives back. The key
  // is opened for writing at once where it may be, so that naming the ProgID needs no second open.
  VtRegistry extKey;
  LONG rc = classes.Open(&extKey, scope, ext, kReadWrite);
  const bool extWritable = rc == ERROR_SUCCESS;
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND)
    rc = classes.Open(&extKey, scope, ext, KEY_READ);
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return Failed(classes, rc);
  VtOwnedText captured;
  const char* previous = extKey.ReadString("");
  // Compared as key names: a previous ProgID that opens the tool's own key is no other
  // program's, and keeping it as "backup" would overwrite the one that is.
  if (previous[0] && !SameKeyName(previous, own.get())) captured.reset(DupText(previous));
  // A key only readable is opened for the write again below, which is refused there.
  if (!extWritable) extKey.Close();

  // The ProgID is whole before the extension names it: a failure leaves the user's previous
  // association in effect, and its "backup" is known to be written before it is needed.
  VtRegistry progKey;
  bool createdProgId = false;
  rc = classes.Create(&progKey, scope, own.get(), kReadWrite, &createdProgId);
  if (rc == ERROR_SUCCESS)
    rc = WriteProgId(progKey, typeCopy.get(), captured.get(), exePath, option);
  progKey.Close();
  bool createdExtKey = false;
  if (rc == ERROR_SUCCESS && !extWritable)
    rc = classes.Create(&extKey, scope, ext, kReadWrite, &createdExtKey);
  if (rc == ERROR_SUCCESS && !extKey.WriteString("", own.get())) rc = extKey.error();
  if (rc != ERROR_SUCCESS) {
    extKey.Close();
    if (createdExtKey) classes.DeleteKnownTree(scope, ext, {});
    if (createdProgId) DeleteToolProgId(classes, scope, own.get());
    return Failed(classes, rc);
  }
  AddOpenWith(extKey, own.get());
  extKey.Close();
  RegisterDefaultApp(classes, ext, own.get(), exePath);

  typeName = typeCopy.release();
  associated = 1;
  fromMachine = 0;
  const VtOwnedText userNamed(UserNamed(classes, ext));
  ReplaceText(&userChoice, UserChoiceText(classes, ext, own.get(), userNamed.get()));
  return ERROR_SUCCESS;
}

DWORD VtAssocInfo::Failed(VtClasses& classes, LONG error) {
  LoadWith(classes);
  return static_cast<DWORD>(error);
}

LONG VtAssocInfo::WriteProgId(VtRegistry& progKey, const char* newTypeName, const char* captured,
                              const char* exePath, const char* option) {
  // Without a new capture the old "backup" stays: it names what preceded the first registration.
  if (!progKey.WriteString("", newTypeName) ||
      (captured != nullptr && !progKey.WriteString("backup", captured)))
    return progKey.error();
  VtRegistry key;
  VtOwnedText iconText(IconLocation(exePath, ext));
  if (!key.Create(progKey.key(), "DefaultIcon", KEY_WRITE) || !key.WriteString("", iconText.get()))
    return key.error();
  // One level at a time: creating "shell\open\command" at once, with "open" missing, has the
  // registry fail once and then create every level anew.
  VtRegistry shell;
  VtRegistry verb;
  VtOwnedText commandText(OpenCommand(exePath, option));
  if (!shell.Create(progKey.key(), "shell", KEY_WRITE) || !shell.WriteString("", ""))
    return shell.error();
  // Explorer offers a verb for more than 15 selected files only with a selection model; "Player"
  // hands them all to one program, as a playlist.
  if (!verb.Create(shell.key(), "open", KEY_WRITE) ||
      !verb.WriteString("MultiSelectModel", "Player"))
    return verb.error();
  if (!key.Create(verb.key(), "command", KEY_WRITE) || !key.WriteString("", commandText.get()))
    return key.error();
  icon = iconText.release();
  command = commandText.release();
  return ERROR_SUCCESS;
}

DWORD VtAssocInfo::Unregister(VtClasses* keys) {
  if (!IsExtension(ext)) return ERROR_SUCCESS;
  VtClasses ownKeys(scope);
  VtClasses& classes = keys != nullptr ? *keys : ownKeys;
  scope = classes.scope();
  const VtOwnedText own(ToolProgId(ext));
  // Every extension key gives back what it named before any ProgID goes: its "backup" may be read
  // from the other hive's ProgID key.
  HiveUndo undo[2];
  for (VtScope hive : kHives)
    if (classes.MayWrite(hive)) GiveBackIn(classes, hive, own.get(), &undo[HiveIndex(hive)]);
  DWORD result = ERROR_SUCCESS;
  for (VtScope hive : kHives) {
    if (!classes.MayWrite(hive)) continue;
    const LONG kept = undo[HiveIndex(hive)].result;
    const LONG rc = kept != ERROR_SUCCESS ? kept : RemoveProgIdIn(classes, hive, own.get(), undo);
    if (result == ERROR_SUCCESS) result = static_cast<DWORD>(rc);
  }
  Reload(classes, undo);
  // What the user still sees of the tool lives in the machine's classes.
  if (result == ERROR_SUCCESS && associated != 0 && fromMachine != 0 &&
      !classes.MayWrite(VtScope::kMachine))
    result = kErrorMachineAssociation;
  return result;
}

void VtAssocInfo::GiveBackIn(VtClasses& classes, VtScope hive, const char* own,
                             HiveUndo* undo) {
  VtRegistry extKey;
  LONG rc = classes.Open(&extKey, hive, ext, kReadWrite);
  if (rc == ERROR_FILE_NOT_FOUND) {
    undo->known = true;
    return;
  }
  if (rc == ERROR_SUCCESS) {
    // Whatever the extension names now: the entry may be left from an interrupted Register.
    RemoveOpenWith(extKey, own);
    undo->named.reset(CopyIfNotEmpty(extKey.ReadString("")));
    undo->known = true;
    if (!undo->named || !SameKeyName(undo->named.get(), own)) return;
    undo->named.reset();
    rc = GiveBackExtension(classes, hive, extKey, ext, own, &undo->named);
    undo->gaveBack = rc == ERROR_SUCCESS;
    undo->known = undo->gaveBack;
  } else if (classes.Open(&extKey, hive, ext, KEY_READ) != ERROR_SUCCESS ||
             !SameKeyName(extKey.ReadString(""), own)) {
    // A key this process may not change is the tool's to undo only where it names the ProgID.
    return;
  }
  // A give-back that failed keeps the ProgID with its "backup" and the Default Apps entry.
  undo->result = rc;
  undo->names = rc != ERROR_SUCCESS;
}

LONG VtAssocInfo::RemoveProgIdIn(VtClasses& classes, VtScope hive, const char* own,
                                 HiveUndo (&undo)[2]) {
  // Default Apps goes first: an entry whose ProgID is gone still gives a row to undo it with. An
  // entry that stays keeps its ProgID, and is told.
  const LONG listed = UnregisterDefaultApp(classes, hive, ext);
  if (listed != ERROR_SUCCESS) return listed;
  // The other hive's extension key may still name the ProgID (one this process may not change,
  // or whose give-back failed); unless that hive has a ProgID key of its own, this one is what
  // Windows opens for it, and stays.
  HiveUndo& other = undo[HiveIndex(OtherHive(hive))];
  if (!classes.MayWrite(OtherHive(hive)) && !other.known) {
    other.named.reset(NamedIn(classes, OtherHive(hive), ext));
    other.known = true;
    other.names = other.named && SameKeyName(other.named.get(), own);
  }
  VtRegistry otherKey;
  if (other.names && classes.Open(&otherKey, OtherHive(hive), own, KEY_READ) != ERROR_SUCCESS)
    return ERROR_SUCCESS;
  // A ProgID no extension named is at most what an interrupted change left, as a rule nothing:
  // deleting its key alone first ends a missing one at once.
  const LONG rc = undo[HiveIndex(hive)].gaveBack ? DeleteToolProgId(classes, hive, own)
                                                 : classes.DeleteKnownTree(hive, own, {});
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

void VtAssocInfo::Reload(VtClasses& classes, const HiveUndo (&undo)[2]) {
  const HiveUndo& user = undo[HiveIndex(VtScope::kUser)];
  const HiveUndo& machine = undo[HiveIndex(VtScope::kMachine)];
  const HiveUndo& mine = undo[HiveIndex(scope)];
  // What the undo read or wrote is what the registry shows: read again only what it does not know.
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
