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

// An owned copy of a value read, or null when the value is empty.
char* CopyIfNotEmpty(const char* value) { return value[0] ? DupText(value) : nullptr; }

// Deletes a key directly under HKEY_CLASSES_ROOT with all its subkeys; the paths in known, deepest
// first, without a walk.
bool DeleteClassesTree(const char* name, std::initializer_list<const char*> known = {}) {
  VtRegistry classes;  // closed, beneath its root HKEY_CLASSES_ROOT
  return classes.DeleteKnownTree(name, known);
}

// Where an extension lists the ProgIDs that Explorer offers in "Open with".
const char kOpenWithProgids[] = "OpenWithProgids";

// The tool's ProgID tree as Register builds it; anything else found there goes by the walk.
bool DeleteToolProgId(const char* progId) {
  return DeleteClassesTree(progId, {"shell\\open\\command", "shell\\open", "shell", "DefaultIcon"});
}

// Offers progId in the open extension key's "Open with" list.
void AddOpenWith(const VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  if (openWith.Open(extKey.key(), kOpenWithProgids, true)) openWith.WriteMarker(progId);
}

// Takes progId out of the open extension key's "Open with" list. The list's key goes only when
// nothing at all is left in it: other programs' entries, a default value or a subkey keep it.
void RemoveOpenWith(VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  if (!openWith.Open(extKey.key(), kOpenWithProgids, false)) return;
  openWith.DeleteValue(progId);
  DWORD values = 0;
  DWORD subkeys = 0;
  if (!openWith.Count(&values, &subkeys) || values != 0 || subkeys != 0) return;
  openWith.Close();
  extKey.DeleteLeaf(kOpenWithProgids);
}

// What Load puts in backup for an extension that names progId: an owned copy of that key's
// "backup" value (empty when it has none), or null when the key cannot be opened.
char* BackupOf(const char* progId) {
  VtRegistry key;
  if (!key.Open(HKEY_CLASSES_ROOT, progId, false)) return nullptr;
  return DupText(key.ReadString("backup"));
}

// True when the open key holds nothing but its default value. When in doubt, false: the caller then
// keeps the key.
bool HoldsOnlyDefault(const VtRegistry& key) {
  DWORD values = 0;
  DWORD subkeys = 0;
  return key.Count(&values, &subkeys) && subkeys == 0 && values <= 1;
}

// Unregister's change to the open extension key: the tool's ProgID own leaves its "Open with" list,
// and where the extension names own, the ProgID in own's "backup" comes back. True when every write
// succeeded; *namedAfter is then what the extension names now.
bool GiveBackExtension(VtRegistry& extKey, const char* ext, const char* own,
                       VtOwnedText* namedAfter) {
  // Whatever the extension names now: the entry may be left from an interrupted Register.
  RemoveOpenWith(extKey, own);
  const char* named = extKey.ReadString("");
  if (!SameKeyName(named, own)) {
    namedAfter->reset(DupText(named));
    return true;
  }
  if (VtOwnedText previous{BackupOf(named)}) {
    const bool written = extKey.WriteString("", previous.get());
    *namedAfter = std::move(previous);
    return written;
  }
  // The tool's ProgID key is gone, so there is nothing to restore from. A key that also holds what
  // the shell and other programs keep there ("Content Type", "OpenWithProgids", ...) loses only the
  // name of the missing ProgID.
  if (!HoldsOnlyDefault(extKey)) return extKey.WriteString("", "");
  extKey.Close();
  return DeleteClassesTree(ext);
}

}  // namespace

VtAssocInfo::VtAssocInfo(const char* extension)
    : backup(nullptr),
      ext(DupText(extension ? extension : "")),
      typeName(nullptr),
      command(nullptr),
      icon(nullptr),
      associated(0),
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
}

void VtAssocInfo::Load() {
  Clear();
  if (!IsExtension(ext)) return;
  VtRegistry key;
  VtOwnedText progId(key.Open(HKEY_CLASSES_ROOT, ext, false) ? DupText(key.ReadString(""))
                                                             : nullptr);
  LoadNamed(progId.get());
}

void VtAssocInfo::LoadNamed(const char* named) {
  const char* progId = named != nullptr ? named : "";
  // The user's choice overrides the extension's key also where that key is missing or names nothing.
  userChoice = UserChoiceText(ext, progId);
  VtRegistry key;
  if (progId[0] == 0 || !key.Open(HKEY_CLASSES_ROOT, progId, false)) return;

  VtOwnedText own(ToolProgId(ext));
  associated = SameKeyName(own.get(), progId) ? 1 : 0;
  ReplaceText(&backup, DupText(key.ReadString("backup")));
  ReplaceText(&typeName, CopyIfNotEmpty(key.ReadString("")));

  VtRegistry sub;
  if (sub.Open(key.key(), "DefaultIcon", false)) ReplaceText(&icon, CopyIfNotEmpty(sub.ReadString("")));
  if (!sub.Open(key.key(), "shell", false)) return;
  const char* verb = sub.ReadString("");
  // The verb lives in sub's buffer, which the next Open releases.
  VtOwnedText commandKey(VerbCommandKey(verb[0] ? verb : "open"));
  if (sub.Open(key.key(), commandKey.get(), false))
    ReplaceText(&command, CopyIfNotEmpty(sub.ReadString("")));
}

void VtAssocInfo::Register(const char* exePath, const char* newTypeName, const char* option) {
  if (!IsExtension(ext) || CompareNoCase(ext, ".exe") == 0) return;
  VtOwnedText typeCopy(DupText(newTypeName ? newTypeName : ""));
  ReleaseTypeCommandIcon();

  // Whether this call creates the extension's key decides whether a failure below removes it.
  VtRegistry extKey;
  bool createdExtKey = false;
  if (!extKey.OpenUnderRoot(ext, false)) {
    if (!extKey.OpenUnderRoot(ext, true)) return;
    createdExtKey = true;
  }
  VtOwnedText own(ToolProgId(ext));
  const char* previous = extKey.ReadString("");
  // Compared as key names: a previous ProgID that opens the tool's own key is no other program's,
  // and keeping it as "backup" would overwrite the one that is.
  VtOwnedText captured(previous[0] && !SameKeyName(previous, own.get()) ? DupText(previous)
                                                                        : nullptr);

  // The extension is pointed at the ProgID only once that key exists, so a failure here leaves the
  // user's previous association intact rather than naming a missing key.
  VtRegistry progKey;
  if (!progKey.Open(HKEY_CLASSES_ROOT, own.get(), true)) {
    if (createdExtKey) {
      extKey.Close();
      DeleteClassesTree(ext);
    }
    return;
  }
  typeName = typeCopy.release();
  progKey.WriteString("", typeName);
  // Without a new capture the old "backup" stays: it names what preceded the first registration.
  if (captured) progKey.WriteString("backup", captured.get());
  extKey.WriteString("", own.get());
  AddOpenWith(extKey, own.get());
  extKey.Close();

  WriteIconAndCommand(progKey, exePath, option);
  RegisterDefaultApp(ext, own.get(), exePath);
  associated = 1;
  ReplaceText(&userChoice, UserChoiceText(ext, own.get()));
}

void VtAssocInfo::WriteIconAndCommand(const VtRegistry& progKey, const char* exePath,
                                      const char* option) {
  VtRegistry sub;
  if (sub.Open(progKey.key(), "DefaultIcon", true)) {
    icon = IconLocation(exePath, ext);
    sub.WriteString("", icon);
  }
  // One level at a time: creating "shell\open\command" at once, with "open" missing, has the
  // registry fail once and then create every level anew.
  VtRegistry shell;
  VtRegistry verb;
  if (shell.Open(progKey.key(), "shell", true)) {
    shell.WriteString("", "");
    if (verb.Open(shell.key(), "open", true) && sub.Open(verb.key(), "command", true)) {
      command = OpenCommand(exePath, option);
      sub.WriteString("", command);
    }
  }
}

void VtAssocInfo::Unregister() {
  if (!IsExtension(ext)) return;
  VtOwnedText own(ToolProgId(ext));
  // Of everything a Load would read first, the change needs only the "backup" of the tool's ProgID,
  // read through the extension key that has to be opened anyway; and where every write succeeded,
  // the refresh starts from what the extension is known to name instead of reading its key again.
  VtOwnedText namedAfter;
  bool known = false;
  {
    VtRegistry extKey;
    if (extKey.Open(HKEY_CLASSES_ROOT, ext, false))
      known = GiveBackExtension(extKey, ext, own.get(), &namedAfter);
  }
  DeleteToolProgId(own.get());
  UnregisterDefaultApp(ext);
  if (!known) {
    Load();
    return;
  }
  Clear();
  LoadNamed(namedAfter.get());
}
