#include "userchoice.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "assoctext.h"
#include "registry.h"
#include "systemlibrary.h"
#include "systemproc.h"
#include "widetext.h"

namespace {

const char kApplicationsPrefix[] = "Applications\\";
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

// An ANSI text of what an indirect string ("@file,-id" or "@{package?resource}") stands for;
// null when it does not resolve to a text.
VtOwnedText ResolveIndirect(const char* value) {
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

// A copy of a name read from the registry, resolved when it is indirect; null when it is
// empty or does not resolve, so that a raw "@..." is never shown.
VtOwnedText Readable(const char* value) {
  if (value[0] == 0) return nullptr;
  return value[0] == '@' ? ResolveIndirect(value) : DupText(value);
}

// The FileDescription of a program file's version resource, in its first language; null without.
// The version functions come from the system folder (systemlibrary.h).
VtOwnedText FileDescription(const std::string& path) {
  const VtModule version = LoadSystemLibrary(L"version.dll");
  const auto sizeOf = ProcOf<decltype(&GetFileVersionInfoSizeA)>(version.get(),
                                                                  "GetFileVersionInfoSizeA");
  const auto infoOf = ProcOf<decltype(&GetFileVersionInfoA)>(version.get(), "GetFileVersionInfoA");
  const auto query = ProcOf<decltype(&VerQueryValueA)>(version.get(), "VerQueryValueA");
  if (sizeOf == nullptr || infoOf == nullptr || query == nullptr) return nullptr;
  DWORD ignored = 0;
  const DWORD size = sizeOf(path.c_str(), &ignored);
  if (size == 0) return nullptr;
  std::vector<char> block(size);
  if (!infoOf(path.c_str(), 0, size, block.data())) return nullptr;
  WORD* languages = nullptr;
  UINT length = 0;
  if (!query(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&languages),
             &length) ||
      length < 2 * sizeof(WORD))
    return nullptr;
  char item[64];
  wsprintfA(item, "\\StringFileInfo\\%04x%04x\\FileDescription", languages[0], languages[1]);
  char* text = nullptr;
  if (!query(block.data(), item, reinterpret_cast<void**>(&text), &length) || length == 0 ||
      text == nullptr)
    return nullptr;
  return text[0] != 0 ? DupText(text) : nullptr;
}

// The name shown for "Applications\x.exe": the program's FriendlyAppName, else its file's
// description, else the file name.
VtOwnedText ApplicationName(VtClasses& classes, const char* progId) {
  VtRegistry app;
  if (classes.OpenMerged(&app, progId)) {
    if (VtOwnedText name = Readable(app.ReadString("FriendlyAppName"))) return name;
    VtRegistry command;
    if (command.Open(app.key(), "shell\\open\\command", KEY_READ)) {
      const std::string program = ProgramOf(command.ReadString(""));
      if (!program.empty())
        if (VtOwnedText name = FileDescription(program)) return name;
    }
  }
  return DupText(progId + sizeof kApplicationsPrefix - 1);
}

// The name shown for a ProgID: "ApplicationName" of its "Application" key, else its type name.
// Both are opened beneath the ProgID's key, so a name of 255 characters builds no longer path.
VtOwnedText NameOf(VtClasses& classes, const char* progId) {
  // A lead byte never equals a letter of the prefix, so no trail byte is compared as one.
  if (_strnicmp(progId, kApplicationsPrefix, sizeof kApplicationsPrefix - 1) == 0 &&
      progId[sizeof kApplicationsPrefix - 1] != 0)
    return ApplicationName(classes, progId);
  VtRegistry progKey;
  if (classes.OpenMerged(&progKey, progId)) {
    VtRegistry application;
    if (application.Open(progKey.key(), "Application", KEY_READ)) {
      if (VtOwnedText name = Readable(application.ReadString("ApplicationName"))) return name;
    }
    if (VtOwnedText name = Readable(progKey.ReadString(""))) return name;
  }
  return DupText(progId);
}

// The ProgID the user chose for ext in Explorer, or "" (in choice's buffer).
const char* ChosenProgId(const char* ext, VtRegistry* choice) {
  VtRegistry fileExt;
  if (!OpenFileExt(&fileExt, ext)) return "";
  // Value names ignore case, so "ProgId" also finds the "Progid" that Windows 7 writes.
  for (const VtChoiceKey& key : kChoiceKeys) {
    const char* progId = choice->Open(fileExt.key(), key.progIdKey, KEY_READ)
                             ? choice->ReadString("ProgId")
                             : "";
    if (progId[0]) return progId;
  }
  return "";
}

}  // namespace

VtOwnedText UserChoiceText(VtClasses& classes, const char* ext, const char* namedProgId,
                           const char* userNamed) {
  VtRegistry choice;
  const char* progId = ChosenProgId(ext, &choice);
  // Without a choice, the user's own classes decide over the machine's.
  if (progId[0] == 0 && userNamed != nullptr) progId = userNamed;
  if (progId[0] == 0 || (namedProgId[0] && SameKeyName(progId, namedProgId))) return nullptr;
  return NameOf(classes, progId);
}
