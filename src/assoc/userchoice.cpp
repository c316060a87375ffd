#include "userchoice.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "assoctext.h"
#include "registry.h"
#include "widetext.h"

namespace {

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\";
// Windows 11 keeps the choice in UserChoiceLatest and leaves UserChoice as an older program wrote it.
const char* const kChoiceKeys[] = {"UserChoiceLatest", "UserChoice"};
// Room for any name a list column shows; a longer resource text is cut.
const UINT kShownMax = 512;

// "@file,-id" may name its file through variables (%SystemRoot%), which not every resolver expands.
std::wstring Expanded(const std::wstring& text) {
  const DWORD length = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (length == 0) return text;
  std::wstring expanded(length, L'\0');
  if (ExpandEnvironmentStringsW(text.c_str(), &expanded[0], length) != length) return text;
  expanded.resize(length - 1);
  return expanded;
}

// An owned ANSI text of what an indirect string ("@file,-id" or "@{package?resource}") stands for;
// null when it does not resolve to a text.
char* ResolveIndirect(const char* value) {
  const VtOwnedWide wide(Widen(value));
  if (!wide) return nullptr;
  std::wstring source(wide.get());
  if (source.size() > 1 && source[1] != L'{') source = Expanded(source);
  wchar_t shown[kShownMax];
  shown[0] = 0;
  if (FAILED(SHLoadIndirectString(source.c_str(), shown, kShownMax, nullptr))) return nullptr;
  shown[kShownMax - 1] = 0;
  return Narrow(shown, CP_ACP);
}

// An owned copy of a name read from the registry, resolved when it is indirect; null when it is
// empty or does not resolve, so that a raw "@..." is never shown.
char* Readable(const char* value) {
  if (value[0] == 0) return nullptr;
  return value[0] == '@' ? ResolveIndirect(value) : DupText(value);
}

// The name shown for a ProgID: "ApplicationName" of its "Application" key, else its type name.
// Both are opened beneath the ProgID's key, so a name of 255 characters builds no longer path.
char* NameOf(const char* progId) {
  VtRegistry progKey;
  if (progKey.OpenToRead(HKEY_CLASSES_ROOT, progId)) {
    VtRegistry application;
    if (application.OpenToRead(progKey.key(), "Application")) {
      if (char* name = Readable(application.ReadString("ApplicationName"))) return name;
    }
    if (char* name = Readable(progKey.ReadString(""))) return name;
  }
  return DupText(progId);
}

}  // namespace

char* UserChoiceText(const char* ext, const char* namedProgId) {
  VtRegistry fileExt;
  if (!fileExt.OpenToRead(HKEY_CURRENT_USER, (std::string(kFileExts) + ext).c_str())) return nullptr;
  // Value names ignore case, so "ProgId" also finds the "Progid" that Windows 7 writes.
  VtRegistry choice;
  const char* progId = "";
  for (const char* key : kChoiceKeys) {
    progId = choice.OpenToRead(fileExt.key(), key) ? choice.ReadString("ProgId") : "";
    if (progId[0]) break;
  }
  if (progId[0] == 0 || (namedProgId[0] && SameKeyName(progId, namedProgId))) return nullptr;
  return NameOf(progId);
}
