#include "choicekeys.h"

#include <string>

#include "assoctext.h"
#include "registry.h"
#include "widetext.h"

const VtChoiceKey kChoiceKeys[2] = {{"UserChoiceLatest", "UserChoiceLatest\\ProgId"},
                                    {"UserChoice", "UserChoice"}};

bool OpenFileExt(VtRegistry* fileExt, const char* ext) {
  // In UTF-16: Wine's ANSI open fails with ERROR_MORE_DATA for a path this long (an extension of
  // 248 bytes), which Windows opens.
  const std::wstring path = WideFrom(kFileExtsKey, CP_ACP) + L"\\" + WideFrom(ext, CP_ACP);
  return fileExt->Open(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
}

LONG RemoveChoiceOf(const char* ext, const char* own) {
  VtRegistry fileExt;
  // The one registry call for an extension nobody chose a program for.
  if (!OpenFileExt(&fileExt, ext))
    return fileExt.error() == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : fileExt.error();
  LONG result = ERROR_SUCCESS;
  for (const VtChoiceKey& choice : kChoiceKeys) {
    VtRegistry progIdKey;
    // Value names ignore case, so "ProgId" also finds the "Progid" that Windows 7 writes.
    // Only to read a value: a key whose subkeys may not be listed still names its choice.
    if (!progIdKey.Open(fileExt.key(), choice.progIdKey, KEY_QUERY_VALUE)) {
      if (progIdKey.error() != ERROR_FILE_NOT_FOUND && result == ERROR_SUCCESS)
        result = progIdKey.error();
      continue;
    }
    if (!SameKeyName(progIdKey.ReadWide("ProgId"), own)) continue;
    progIdKey.Close();
    // Windows denies setting values in the key but lets its user delete it; its UserChoice
    // Protection Driver refuses even that for a few types (.pdf, http) on Windows 10 and 11.
    if (!fileExt.DeleteTree(choice.key) && fileExt.error() != ERROR_FILE_NOT_FOUND &&
        result == ERROR_SUCCESS)
      result = fileExt.error();
  }
  return result;
}

std::vector<VtToolChoice> ToolChoices() {
  std::vector<VtToolChoice> found;
  VtRegistry fileExts;
  if (!fileExts.Open(HKEY_CURRENT_USER, kFileExtsKey, KEY_READ)) return found;
  VtRegistry::NameBuffer ext;
  for (DWORD index = 0; fileExts.SubkeyName(index, ext); ++index) {
    VtRegistry fileExt;
    if (ext[0] == 0 || !fileExt.Open(fileExts.key(), ext, KEY_READ)) continue;
    for (const VtChoiceKey& choice : kChoiceKeys) {
      VtRegistry progIdKey;
      if (!progIdKey.Open(fileExt.key(), choice.progIdKey, KEY_QUERY_VALUE)) continue;
      const char* progId = progIdKey.ReadString("ProgId");
      if (ToolProgIdExtension(progId) != nullptr) found.push_back({ext, progId});
    }
  }
  return found;
}
