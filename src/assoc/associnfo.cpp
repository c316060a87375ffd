#include "associnfo.h"

#include <windows.h>

#include <optional>
#include <string>
#include <utility>

#include "assockeys.h"
#include "assoctext.h"
#include "defaultapps.h"
#include "extensionrule.h"
#include "registry.h"
#include "text.h"
#include "userchoice.h"

namespace {

// Offers progId in the open extension key's "Open with" list.
void AddOpenWith(const VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  if (openWith.Create(extKey.key(), kOpenWithProgids, KEY_WRITE)) openWith.WriteMarker(progId);
}

// What the extension names as the scope shows it: the machine's key in the machine's scope; in the
// user's, the user's key where it names a ProgID, else the machine's (*fromMachine: 1). Owned, or
// null when nothing is named.
VtOwnedText ScopeProgId(VtClasses& classes, const char* ext, int32_t* fromMachine) {
  VtRegistry key;
  if (classes.scope() == VtScope::kUser &&
      classes.Open(&key, VtScope::kUser, ext, KEY_READ) == ERROR_SUCCESS) {
    if (VtOwnedText named = CopyIfNotEmpty(key.ReadString(""))) return named;
  }
  if (classes.Open(&key, VtScope::kMachine, ext, KEY_READ) != ERROR_SUCCESS) return nullptr;
  VtOwnedText named = CopyIfNotEmpty(key.ReadString(""));
  *fromMachine = named && classes.scope() == VtScope::kUser ? 1 : 0;
  return named;
}

// In the machine's scope, what the user's own extension key names (owned, null for nothing): what
// Windows opens for this user in place of the machine's. Null in the user's scope.
VtOwnedText UserNamed(VtClasses& classes, const char* ext) {
  return classes.scope() == VtScope::kMachine ? NamedIn(classes, VtScope::kUser, ext) : nullptr;
}

// Opens the key of a ProgID named by the scope's extension key for reading, as the scope shows it:
// in the machine's scope the machine's key alone, which every user gets; in the user's, the
// user's key else the machine's, as Windows merges them for this user.
bool OpenShown(VtClasses& classes, VtRegistry* key, const char* progId) {
  if (classes.scope() == VtScope::kUser) return classes.OpenMerged(key, progId);
  return classes.Open(key, VtScope::kMachine, progId, KEY_READ) == ERROR_SUCCESS;
}

// One hive's part in ext's association, as Register reads it before it writes.
struct HiveAssoc {
  std::wstring named;     // what the extension key names; empty: nothing, or no key
  bool namesOwn = false;  // that is the tool's ProgID
  bool progId = false;    // the tool's ProgID key is there
  std::wstring backup;    // its "backup"; empty: none
};

// Reads hive's part; the registry's result where a key is there but cannot be read.
LONG ReadHiveAssoc(VtClasses& classes, VtScope hive, const char* ext, const char* own,
                   HiveAssoc* assoc) {
  VtRegistry key;
  LONG rc = classes.Open(&key, hive, ext, KEY_READ);
  if (rc == ERROR_SUCCESS) {
    assoc->named = key.ReadWide("");
    assoc->namesOwn = SameKeyName(assoc->named, own);
  } else if (rc != ERROR_FILE_NOT_FOUND) {
    return rc;
  }
  rc = classes.Open(&key, hive, own, KEY_READ);
  if (rc == ERROR_SUCCESS) {
    assoc->progId = true;
    assoc->backup = key.ReadWide("backup");
  }
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}

}  // namespace

VtAssocInfo::VtAssocInfo(const char* extension, VtScope entryScope)
    : backup(nullptr),
      ext(DupText(extension ? extension : "").release()),
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
  ReplaceText(&userChoice, UserChoiceText(classes, ext, progId, userNamed));
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

  // Both hives are read before anything is written: an extension key of either may depend on a
  // "backup" that this registration would replace.
  HiveAssoc hives[2];
  for (VtScope hive : kBothHives) {
    const LONG rc = ReadHiveAssoc(classes, hive, ext, own.get(), &hives[HiveIndex(hive)]);
    if (rc != ERROR_SUCCESS) return Failed(classes, rc);
  }
  const HiveAssoc& mine = hives[HiveIndex(scope)];
  const HiveAssoc& other = hives[HiveIndex(OtherHive(scope))];
  std::optional<std::wstring> captured;
  // A ProgID of the tool that this hive's extension does not name was left by another run: its
  // "backup" was captured for no association being made now, so it is made anew.
  const bool anew = !mine.namesOwn && mine.progId;
  if (mine.namesOwn) {
    // An association the tool made already keeps its "backup"; one an earlier version made
    // through HKEY_CLASSES_ROOT has it in the other hive's ProgID, which Windows opened for it.
    if (!mine.progId && other.progId && !other.backup.empty()) captured = other.backup;
  } else if (!mine.named.empty()) {
    captured = mine.named;
  }
  const ProgIdTexts texts = {typeCopy.get(), captured ? &*captured : nullptr, exePath, option};
  LONG rc = ERROR_SUCCESS;
  if (anew && other.namesOwn && !other.progId)
    rc = CarryBackup(classes, own.get(), mine.backup, texts);
  if (rc == ERROR_SUCCESS && anew) {
    rc = DeleteToolProgId(classes, scope, own.get());
    if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
  }
  if (rc == ERROR_SUCCESS) rc = NameProgId(classes, own.get(), texts);
  if (rc != ERROR_SUCCESS) return Failed(classes, rc);
  RegisterDefaultApp(classes, ext, own.get(), exePath);

  typeName = typeCopy.release();
  associated = 1;
  fromMachine = 0;
  const VtOwnedText userNamed(UserNamed(classes, ext));
  ReplaceText(&userChoice, UserChoiceText(classes, ext, own.get(), userNamed.get()));
  return ERROR_SUCCESS;
}

LONG VtAssocInfo::CarryBackup(VtClasses& classes, const char* own, const std::wstring& carried,
                              const ProgIdTexts& texts) {
  const VtScope other = OtherHive(scope);
  // Where it may not be written, the only copy of that "backup" must not be replaced.
  if (!classes.MayWrite(other)) return ERROR_ACCESS_DENIED;
  VtRegistry progKey;
  bool created = false;
  LONG rc = classes.Create(&progKey, other, own, kReadWrite, &created);
  if (rc == ERROR_SUCCESS)
    rc = WriteProgId(progKey, texts.typeName, carried.empty() ? nullptr : &carried, texts.exePath,
                     texts.option);
  progKey.Close();
  if (rc != ERROR_SUCCESS && created) DeleteToolProgId(classes, other, own);
  return rc;
}

// The ProgID is whole before the extension names it: a failure leaves the user's previous
// association in effect, and its "backup" is known to be written before it is needed.
LONG VtAssocInfo::NameProgId(VtClasses& classes, const char* own, const ProgIdTexts& texts) {
  VtRegistry progKey;
  bool createdProgId = false;
  LONG rc = classes.Create(&progKey, scope, own, kReadWrite, &createdProgId);
  if (rc == ERROR_SUCCESS)
    rc = WriteProgId(progKey, texts.typeName, texts.captured, texts.exePath, texts.option);
  progKey.Close();
  VtRegistry extKey;
  bool createdExtKey = false;
  if (rc == ERROR_SUCCESS) rc = classes.Create(&extKey, scope, ext, kReadWrite, &createdExtKey);
  if (rc == ERROR_SUCCESS && !extKey.WriteString("", own)) rc = extKey.error();
  if (rc == ERROR_SUCCESS) {
    AddOpenWith(extKey, own);
    return rc;
  }
  extKey.Close();
  if (createdExtKey) classes.DeleteKnownTree(scope, ext, {});
  if (createdProgId) DeleteToolProgId(classes, scope, own);
  return rc;
}

DWORD VtAssocInfo::Failed(VtClasses& classes, LONG error) {
  LoadWith(classes);
  return static_cast<DWORD>(error);
}

LONG VtAssocInfo::WriteProgId(VtRegistry& progKey, const char* newTypeName,
                              const std::wstring* captured, const char* exePath,
                              const char* option) {
  // Without a new capture the old "backup" stays: it names what preceded the first registration.
  if (!progKey.WriteString("", newTypeName) ||
      (captured != nullptr && !progKey.WriteString(L"backup", *captured)))
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
  ReplaceText(&icon, std::move(iconText));
  ReplaceText(&command, std::move(commandText));
  return ERROR_SUCCESS;
}
