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

// Offers progId in the open extension key's "Open with" list. The registry's result.
LONG AddOpenWith(const VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  return openWith.Create(extKey.key(), kOpenWithProgids, KEY_WRITE) && openWith.WriteMarker(progId)
             ? ERROR_SUCCESS
             : openWith.error();
}

// What Register returns for an association made where a piece that offers the player failed:
// where it is offered matters since Windows 8, when only the user may choose a default.
DWORD OfferResult(LONG openWith, LONG defaultApp) {
  if (openWith != ERROR_SUCCESS && defaultApp != ERROR_SUCCESS) return kErrorOfferedNowhere;
  if (defaultApp != ERROR_SUCCESS) return kErrorNoDefaultApp;
  return openWith != ERROR_SUCCESS ? kErrorNoOpenWith : ERROR_SUCCESS;
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

// What hive's key name names, read in UTF-16 (empty: nothing). The registry's result where it is
// there but cannot be read.
LONG ReadNamed(VtClasses& classes, VtScope hive, const char* name, const char* value,
               std::wstring* named) {
  VtRegistry key;
  const LONG rc = classes.Open(&key, hive, name, KEY_READ);
  if (rc == ERROR_SUCCESS) *named = key.ReadWide(value);
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

void VtAssocInfo::Load(VtClasses* keys) {
  if (keys != nullptr) {
    scope = keys->scope();
    LoadWith(*keys);
    return;
  }
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
  // An association of the tool in the user's own classes is unregistered with the machine's.
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
  const std::wstring type = key.ReadWide("");
  if (!type.empty()) ReplaceText(&typeName, DupWide(type.c_str()));

  VtRegistry iconKey, commandKey;
  OpenIconAndCommand(key, KEY_READ, &iconKey, &commandKey);
  if (iconKey.key() != nullptr) ReplaceText(&icon, CopyIfNotEmpty(iconKey.ReadString("")));
  if (commandKey.key() != nullptr)
    ReplaceText(&command, CopyIfNotEmpty(commandKey.ReadString("")));
}

DWORD VtAssocInfo::Register(const char* exePath, const wchar_t* newTypeName, const char* option,
                            VtClasses* keys) {
  // A refused extension changes nothing, not even the fields.
  if (const DWORD problem = ExtensionProblem(ext); problem != ERROR_SUCCESS) return problem;
  VtOwnedWide typeCopy(DupWide(newTypeName ? newTypeName : L""));
  ReleaseTypeCommandIcon();
  VtClasses ownKeys(scope);
  VtClasses& classes = keys != nullptr ? *keys : ownKeys;
  scope = classes.scope();
  const VtOwnedText own(ToolProgId(ext));

  // Both hives' extension keys are read before anything is written: either may depend on a
  // "backup" that this registration would replace. The scope's is opened for writing at once
  // where it may be, so that naming the ProgID needs no second open.
  VtRegistry extKey;
  LONG rc = classes.Open(&extKey, scope, ext, kReadWrite);
  const bool extWritable = rc == ERROR_SUCCESS;
  if (!extWritable && rc != ERROR_FILE_NOT_FOUND) rc = classes.Open(&extKey, scope, ext, KEY_READ);
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return Failed(classes, rc);
  const std::wstring named = extKey.ReadWide("");
  // A key only readable is opened for the write again, which is refused there.
  if (!extWritable) extKey.Close();
  std::wstring otherNamed;
  rc = ReadNamed(classes, OtherHive(scope), ext, "", &otherNamed);
  if (rc != ERROR_SUCCESS) return Failed(classes, rc);

  VtRegistry progKey;
  bool created = false;
  rc = classes.Create(&progKey, scope, own.get(), kReadWrite, &created);
  std::optional<std::wstring> captured;
  if (rc == ERROR_SUCCESS) {
    const bool namesOwn = SameKeyName(named, own.get());
    if (!namesOwn && !named.empty()) captured = named;
    // A ProgID key without any value is one a registration cut short had only just made: the
    // "backup" is its first value, so no other hive's can have been taken over yet.
    if (namesOwn && (created || progKey.IsEmpty())) {
      // An earlier version's association through HKEY_CLASSES_ROOT: its "backup" is in the other
      // hive's ProgID, which Windows opened for this extension.
      std::wstring previous;
      rc = ReadNamed(classes, OtherHive(scope), own.get(), "backup", &previous);
      if (!previous.empty()) captured = previous;
    } else if (!namesOwn && !created) {
      rc = MakeAnew(classes, own.get(), otherNamed, &progKey, &created);
    }
  }
  const ProgIdTexts texts = {typeCopy.get(), captured ? &*captured : nullptr, exePath, option};
  if (rc == ERROR_SUCCESS) rc = WriteProgId(progKey, texts);
  progKey.Close();
  if (rc == ERROR_SUCCESS) rc = NameProgId(classes, own.get(), extKey);
  if (rc != ERROR_SUCCESS) {
    if (created) DeleteToolProgId(classes, scope, own.get());
    return Failed(classes, rc);
  }
  // The association is made; "Open with" follows the extension's default value and Default Apps
  // comes last, as Unregister takes them away.
  const LONG openWith = AddOpenWith(extKey, own.get());
  extKey.Close();
  const DWORD offered =
      OfferResult(openWith, RegisterDefaultApp(classes, ext, own.get(), exePath));

  typeName = typeCopy.release();
  associated = 1;
  fromMachine = 0;
  const VtOwnedText userNamed(UserNamed(classes, ext));
  ReplaceText(&userChoice, UserChoiceText(classes, ext, own.get(), userNamed.get()));
  return offered;
}

LONG VtAssocInfo::MakeAnew(VtClasses& classes, const char* own, const std::wstring& otherNamed,
                           VtRegistry* progKey, bool* created) {
  const VtScope other = OtherHive(scope);
  bool otherProgId = false;
  LONG rc = ERROR_SUCCESS;
  if (SameKeyName(otherNamed, own)) {
    // A key without any value there is one a registration cut short had only just made, which
    // still opens this one's "backup" for its extension.
    VtRegistry key;
    rc = classes.Open(&key, other, own, KEY_READ);
    otherProgId = rc == ERROR_SUCCESS && !key.IsEmpty();
    if (rc == ERROR_FILE_NOT_FOUND) rc = ERROR_SUCCESS;
  }
  // The other hive's extension names this ProgID and has none of its own, so Windows opens this
  // one for it, and unregistering it reads this "backup": that hive gets a copy of its own first.
  // Where it may not be written, the only copy must not be replaced.
  if (rc == ERROR_SUCCESS && SameKeyName(otherNamed, own) && !otherProgId)
    rc = classes.MayWrite(other) ? CarryTo(classes, other, own) : ERROR_ACCESS_DENIED;
  progKey->Close();
  if (rc == ERROR_SUCCESS) rc = DeleteToolProgId(classes, scope, own);
  if (rc == ERROR_SUCCESS) rc = classes.Create(progKey, scope, own, kReadWrite, created);
  return rc;
}

LONG VtAssocInfo::CarryTo(VtClasses& classes, VtScope hive, const char* own) {
  VtRegistry source;
  VtRegistry copy;
  bool created = false;
  LONG rc = classes.Open(&source, OtherHive(hive), own, KEY_READ);
  if (rc == ERROR_SUCCESS) rc = classes.Create(&copy, hive, own, kReadWrite, &created);
  // The "backup" first, as every ProgID key of the tool takes it: a copy cut short holds it
  // already, or nothing at all, which Unregister looks past.
  const std::wstring carried = source.ReadWide("backup");
  if (rc == ERROR_SUCCESS && !carried.empty() && !copy.WriteString(L"backup", carried))
    rc = copy.error();
  // Values copied as stored, in whatever script they are spelled: the copy opens as the original
  // did until a registration of that hive writes it anew.
  if (rc == ERROR_SUCCESS) rc = RegCopyTreeA(source.key(), nullptr, copy.key());
  copy.Close();
  if (rc != ERROR_SUCCESS && created) DeleteToolProgId(classes, hive, own);
  return rc;
}

// The ProgID is whole before the extension names it: a failure leaves the user's previous
// association in effect, and its "backup" is known to be written before it is needed.
LONG VtAssocInfo::NameProgId(VtClasses& classes, const char* own, VtRegistry& extKey) {
  bool createdExtKey = false;
  LONG rc = extKey.key() != nullptr
                ? ERROR_SUCCESS
                : classes.Create(&extKey, scope, ext, kReadWrite, &createdExtKey);
  if (rc == ERROR_SUCCESS && !extKey.WriteString("", own)) rc = extKey.error();
  if (rc == ERROR_SUCCESS) return rc;
  extKey.Close();
  if (createdExtKey) classes.DeleteKnownTree(scope, ext, {});
  return rc;
}

DWORD VtAssocInfo::Failed(VtClasses& classes, LONG error) {
  LoadWith(classes);
  return static_cast<DWORD>(error);
}

LONG VtAssocInfo::WriteProgId(VtRegistry& progKey, const ProgIdTexts& texts) {
  // Without a new capture the old "backup" stays: it names what preceded the first registration.
  // It is the first value written: a key holding any value holds its "backup" already.
  if ((texts.captured != nullptr && !progKey.WriteString(L"backup", *texts.captured)) ||
      !progKey.WriteString(L"", texts.typeName != nullptr ? texts.typeName : L""))
    return progKey.error();
  VtRegistry key;
  VtOwnedText iconText(IconLocation(texts.exePath, ext));
  if (!key.Create(progKey.key(), "DefaultIcon", KEY_WRITE) || !key.WriteString("", iconText.get()))
    return key.error();
  // One level at a time: creating "shell\open\command" at once, with "open" missing, has the
  // registry fail once and then create every level anew.
  VtRegistry shell;
  VtRegistry verb;
  VtOwnedText commandText(OpenCommand(texts.exePath, texts.option));
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
