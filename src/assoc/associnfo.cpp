#include "associnfo.h"

#include <windows.h>

#include <initializer_list>
#include <utility>

#include "assoctext.h"
#include "defaultapps.h"
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

// Gives the open extension key of hive, which names the tool's ProgID own, back what it named
// before: the "backup" of own in the same hive. The registry's result; on success *given holds
// what the extension names now (null: nothing).
LONG GiveBackExtension(VtClasses& classes, VtScope hive, VtRegistry& extKey, const char* ext,
                       const char* own, VtOwnedText* given) {
  VtRegistry progKey;
  const LONG rc = classes.Open(&progKey, hive, own, KEY_READ);
  // A "backup" that cannot be read is not known to be empty: the association stays.
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return rc;
  VtOwnedText previous(rc == ERROR_SUCCESS ? DupText(progKey.ReadString("backup")) : nullptr);
  if (previous && previous.get()[0] != 0) {
    if (!extKey.WriteString("", previous.get())) return extKey.error();
    *given = std::move(previous);
    return ERROR_SUCCESS;
  }
  // Nothing to give back. In the user's classes a key that holds nothing else goes, so that the
  // machine's association shows again; in the machine's (where Register may have made it) too,
  // when the ProgID key is gone and there is no "backup" to tell. Anything other programs keep
  // there ("Content Type", "OpenWithProgids", ...) keeps the key, which then names nothing.
  const bool deleteKey = (hive == VtScope::kUser || !previous) && extKey.IsEmpty(true);
  if (!deleteKey) return extKey.WriteString("", "") ? ERROR_SUCCESS : extKey.error();
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

void VtAssocInfo::LoadNamed(VtClasses& classes, const char* named) {
  const char* progId = named != nullptr ? named : "";
  // The user's choice overrides the extension's key also where that key is missing or names nothing.
  userChoice = UserChoiceText(classes, ext, progId);
  VtRegistry key;
  if (progId[0] == 0 || !classes.OpenMerged(&key, progId)) return;

  VtOwnedText own(ToolProgId(ext));
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
  if (!IsExtension(ext) || CompareNoCase(ext, ".exe") == 0) return ERROR_INVALID_NAME;
  VtOwnedText typeCopy(DupText(newTypeName ? newTypeName : ""));
  ReleaseTypeCommandIcon();
  VtClasses ownKeys(scope);
  VtClasses& classes = keys != nullptr && keys->scope() == scope ? *keys : ownKeys;
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
  RegisterDefaultApp(scope, ext, own.get(), exePath);

  typeName = typeCopy.release();
  associated = 1;
  fromMachine = 0;
  ReplaceText(&userChoice, UserChoiceText(classes, ext, own.get()));
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
  if (!verb.Create(shell.key(), "open", KEY_WRITE)) return verb.error();
  if (!key.Create(verb.key(), "command", KEY_WRITE) || !key.WriteString("", commandText.get()))
    return key.error();
  icon = iconText.release();
  command = commandText.release();
  return ERROR_SUCCESS;
}

DWORD VtAssocInfo::Unregister(VtClasses* keys) {
  if (!IsExtension(ext)) return ERROR_SUCCESS;
  VtClasses ownKeys(scope);
  VtClasses& classes = keys != nullptr && keys->scope() == scope ? *keys : ownKeys;
  DWORD result = ERROR_SUCCESS;
  // Whether the scope's own extension key was given back, and what it names now.
  bool gaveBack = false;
  VtOwnedText given;
  for (VtScope hive : {VtScope::kUser, VtScope::kMachine}) {
    if (!classes.MayWrite(hive)) continue;
    bool gave = false;
    VtOwnedText named;
    const LONG rc = UnregisterIn(classes, hive, &gave, &named);
    if (hive == scope) {
      gaveBack = gave;
      given = std::move(named);
    }
    if (result == ERROR_SUCCESS) result = static_cast<DWORD>(rc);
  }
  // The scope's extension shows what it was given back, unless a user's that names nothing now
  // shows the machine's: the fields come from there without reading the extension again.
  if (gaveBack && (scope == VtScope::kMachine || given)) {
    Clear();
    LoadNamed(classes, given.get());
  } else {
    LoadWith(classes);
  }
  // What the user still sees of the tool lives in the machine's classes.
  if (result == ERROR_SUCCESS && associated != 0 && fromMachine != 0)
    result = kErrorMachineAssociation;
  return result;
}

LONG VtAssocInfo::UnregisterIn(VtClasses& classes, VtScope hive, bool* gaveBack,
                               VtOwnedText* given) {
  const VtOwnedText own(ToolProgId(ext));
  bool named = false;
  {
    VtRegistry extKey;
    LONG rc = classes.Open(&extKey, hive, ext, kReadWrite);
    if (rc == ERROR_SUCCESS) {
      // Whatever the extension names now: the entry may be left from an interrupted Register.
      RemoveOpenWith(extKey, own.get());
      named = SameKeyName(extKey.ReadString(""), own.get());
      if (named) {
        rc = GiveBackExtension(classes, hive, extKey, ext, own.get(), given);
        *gaveBack = rc == ERROR_SUCCESS;
      }
      // A give-back that failed keeps the ProgID with its "backup" and the Default Apps entry.
      if (rc != ERROR_SUCCESS) return rc;
    } else if (rc != ERROR_FILE_NOT_FOUND) {
      // A key this process may not change is the tool's to undo only where it names the ProgID.
      if (classes.Open(&extKey, hive, ext, KEY_READ) == ERROR_SUCCESS &&
          SameKeyName(extKey.ReadString(""), own.get()))
        return rc;
    }
  }
  // Default Apps goes first: an entry whose ProgID is gone still gives a row to undo it with. An
  // entry that stays keeps its ProgID, and is told.
  const LONG listed = UnregisterDefaultApp(hive, ext);
  if (listed != ERROR_SUCCESS) return listed;
  // A ProgID no extension named is at most what an interrupted change left, as a rule nothing:
  // deleting its key alone first ends a missing one at once.
  const LONG rc = named ? DeleteToolProgId(classes, hive, own.get())
                        : classes.DeleteKnownTree(hive, own.get(), {});
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}
