#include "assockeys.h"

#include "assoctext.h"

VtOwnedText CopyIfNotEmpty(const char* value) { return value[0] ? DupText(value) : nullptr; }

void OpenIconAndCommand(const VtRegistry& progKey, REGSAM access, VtRegistry* icon,
                        VtRegistry* command) {
  auto open = [&progKey, access](VtRegistry* key, const char* name) {
    if (!key->Open(progKey.key(), name, access) && key->error() == ERROR_ACCESS_DENIED &&
        access != KEY_READ)
      key->Open(progKey.key(), name, KEY_READ);
  };
  open(icon, "DefaultIcon");
  VtRegistry shell;
  if (!shell.Open(progKey.key(), "shell", KEY_READ)) return;
  const char* verb = shell.ReadString("");
  // The verb lives in shell's buffer, which closing it releases.
  const VtOwnedText commandKey(VerbCommandKey(verb[0] ? verb : "open"));
  shell.Close();
  if (commandKey) open(command, commandKey.get());
}

VtOwnedText NamedIn(VtClasses& classes, VtScope hive, const char* ext) {
  VtRegistry key;
  if (classes.Open(&key, hive, ext, KEY_READ) != ERROR_SUCCESS) return nullptr;
  return CopyIfNotEmpty(key.ReadString(""));
}

LONG DeleteToolProgId(VtClasses& classes, VtScope hive, const char* progId) {
  return classes.DeleteKnownTree(hive, progId,
                                 {"shell\\open\\command", "shell\\open", "shell", "DefaultIcon"});
}

LONG RemoveOpenWith(VtRegistry& extKey, const char* progId) {
  VtRegistry openWith;
  if (!openWith.Open(extKey.key(), kOpenWithProgids, kReadWrite))
    return openWith.error() == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : openWith.error();
  if (!openWith.DeleteValue(progId) && openWith.error() != ERROR_FILE_NOT_FOUND)
    return openWith.error();
  if (!openWith.IsEmpty()) return ERROR_SUCCESS;
  openWith.Close();
  extKey.DeleteLeaf(kOpenWithProgids);
  return ERROR_SUCCESS;
}

LONG SettleEmptyExtension(VtClasses& classes, VtScope hive, const char* ext) {
  VtRegistry extKey;
  LONG rc = classes.Open(&extKey, hive, ext, KEY_READ);
  if (rc != ERROR_SUCCESS || !extKey.IsEmpty()) return ERROR_SUCCESS;
  if (hive == VtScope::kMachine) {
    rc = classes.Open(&extKey, hive, ext, kReadWrite);
    return rc != ERROR_SUCCESS || extKey.WriteString("", "") ? rc : extKey.error();
  }
  extKey.Close();
  rc = classes.DeleteKnownTree(hive, ext, {});
  return rc == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : rc;
}
