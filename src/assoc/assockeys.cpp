#include "assockeys.h"

#include "ownedtext.h"

char* CopyIfNotEmpty(const char* value) { return value[0] ? DupText(value) : nullptr; }

char* NamedIn(VtClasses& classes, VtScope hive, const char* ext) {
  VtRegistry key;
  if (classes.Open(&key, hive, ext, KEY_READ) != ERROR_SUCCESS) return nullptr;
  return CopyIfNotEmpty(key.ReadString(""));
}

LONG DeleteToolProgId(VtClasses& classes, VtScope hive, const char* progId) {
  return classes.DeleteKnownTree(hive, progId,
                                 {"shell\\open\\command", "shell\\open", "shell", "DefaultIcon"});
}
