#include "floor.h"

#include <windows.h>

#include <cstdio>

#include "defaultapps.h"

namespace vtbench {

namespace {

// One query into the caller's buffer; the empty text unless a string value was read.
void QueryText(HKEY key, const char* name, char* text) {
  DWORD type = 0;
  DWORD size = kFloorText - 2;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    text[0] = 0;
    return;
  }
  text[size] = 0;  // also a value stored without its terminator
}

bool SetText(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// Creates subKey beneath parent (in view), sets one value and closes it.
bool CreateWithValue(HKEY parent, const char* subKey, const char* name, DWORD type, const void* data,
                     DWORD size, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(parent, subKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  const bool set =
      RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

bool CreateWithText(HKEY parent, const char* subKey, const char* name, const std::string& value,
                    REGSAM view = 0) {
  return CreateWithValue(parent, subKey, name, REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1), view);
}

bool CreateWithDefault(HKEY parent, const char* subKey, const std::string& value) {
  return CreateWithText(parent, subKey, "", value);
}

}  // namespace

void FloorRead(const char* ext, FloorFacts* facts) {
  facts->progId[0] = facts->backup[0] = facts->typeName[0] = facts->icon[0] = facts->command[0] = 0;
  facts->progIdOpened = false;
  HKEY extKey = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ext, 0, KEY_QUERY_VALUE, &extKey) == ERROR_SUCCESS) {
    QueryText(extKey, "", facts->progId);
    RegCloseKey(extKey);
  }
  FloorChoice(ext, facts->progId, facts->userChoice);
  if (facts->progId[0] == 0) return;

  HKEY progKey = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, facts->progId, 0, KEY_QUERY_VALUE, &progKey) != ERROR_SUCCESS) return;
  facts->progIdOpened = true;
  QueryText(progKey, "backup", facts->backup);
  QueryText(progKey, "", facts->typeName);

  HKEY sub = nullptr;
  if (RegOpenKeyExA(progKey, "DefaultIcon", 0, KEY_QUERY_VALUE, &sub) == ERROR_SUCCESS) {
    QueryText(sub, "", facts->icon);
    RegCloseKey(sub);
  }
  if (RegOpenKeyExA(progKey, "shell", 0, KEY_QUERY_VALUE, &sub) == ERROR_SUCCESS) {
    char verb[kFloorText];
    QueryText(sub, "", verb);
    RegCloseKey(sub);
    char commandKey[kFloorText + 16];
    std::snprintf(commandKey, sizeof commandKey, "shell\\%s\\command", verb[0] ? verb : "open");
    if (RegOpenKeyExA(progKey, commandKey, 0, KEY_QUERY_VALUE, &sub) == ERROR_SUCCESS) {
      QueryText(sub, "", facts->command);
      RegCloseKey(sub);
    }
  }
  RegCloseKey(progKey);
}

void FloorChoice(const char* ext, const char* progId, char* shown) {
  shown[0] = 0;
  char path[kFloorText + 80];
  std::snprintf(path, sizeof path, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\%s", ext);
  HKEY fileExt = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &fileExt) != ERROR_SUCCESS) return;
  char choice[kFloorText] = "";
  for (const char* sub : {"UserChoiceLatest", "UserChoice"}) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(fileExt, sub, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
    QueryText(key, "ProgId", choice);
    RegCloseKey(key);
    if (choice[0]) break;
  }
  RegCloseKey(fileExt);
  if (choice[0] == 0 || lstrcmpiA(choice, progId) == 0) return;

  HKEY progKey = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, choice, 0, KEY_QUERY_VALUE, &progKey) == ERROR_SUCCESS) {
    HKEY app = nullptr;
    if (RegOpenKeyExA(progKey, "Application", 0, KEY_QUERY_VALUE, &app) == ERROR_SUCCESS) {
      QueryText(app, "ApplicationName", shown);
      RegCloseKey(app);
    }
    if (shown[0] == 0) QueryText(progKey, "", shown);
    RegCloseKey(progKey);
  }
  if (shown[0] == 0) std::snprintf(shown, kFloorText, "%s", choice);
}

bool FloorRegister(const Registration& r) {
  if (!CreateWithDefault(HKEY_CLASSES_ROOT, r.ext.c_str(), r.progId)) return false;
  HKEY progKey = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, r.progId.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                      nullptr, &progKey, nullptr) != ERROR_SUCCESS)
    return false;
  const bool done = SetText(progKey, "", r.typeName) && SetText(progKey, "backup", r.backup) &&
                    CreateWithDefault(progKey, "DefaultIcon", r.icon) &&
                    CreateWithDefault(progKey, "shell", "") &&
                    CreateWithDefault(progKey, "shell\\open\\command", r.command);
  RegCloseKey(progKey);
  return done &&
         CreateWithValue(HKEY_CLASSES_ROOT, (r.ext + "\\OpenWithProgids").c_str(), r.progId.c_str(),
                         REG_NONE, nullptr, 0) &&
         CreateWithText(HKEY_LOCAL_MACHINE, kFileAssociationsKey, r.ext.c_str(), r.progId,
                        KEY_WOW64_64KEY);
}

bool FloorRegisterApp(const std::string& appIcon) {
  HKEY capabilities = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kCapabilitiesKey, 0, nullptr, 0,
                      KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &capabilities, nullptr) != ERROR_SUCCESS)
    return false;
  const bool done = SetText(capabilities, "ApplicationName", kAppName) &&
                    SetText(capabilities, "ApplicationDescription", kAppDescription) &&
                    SetText(capabilities, "ApplicationIcon", appIcon);
  RegCloseKey(capabilities);
  return done && CreateWithText(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, kRegisteredAppName,
                                kCapabilitiesKey, KEY_WOW64_64KEY);
}

bool FloorUnregister(const Registration& r) {
  HKEY extKey = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, r.ext.c_str(), 0, KEY_SET_VALUE, &extKey) != ERROR_SUCCESS)
    return false;
  const bool restored = SetText(extKey, "", r.backup);
  RegCloseKey(extKey);
  bool deleted = true;
  for (const char* sub : {"\\shell\\open\\command", "\\shell\\open", "\\shell", "\\DefaultIcon", ""})
    deleted = RegDeleteKeyA(HKEY_CLASSES_ROOT, (r.progId + sub).c_str()) == ERROR_SUCCESS && deleted;
  deleted = RegDeleteKeyA(HKEY_CLASSES_ROOT, (r.ext + "\\OpenWithProgids").c_str()) == ERROR_SUCCESS &&
            deleted;
  return restored && deleted;
}

int FloorOwnNames() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFileAssociationsKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS)
    return 0;
  char name[kFloorText];
  int names = 0;
  for (;;) {
    DWORD length = sizeof name;
    if (RegEnumValueA(key, static_cast<DWORD>(names), name, &length, nullptr, nullptr, nullptr,
                      nullptr) != ERROR_SUCCESS)
      break;
    ++names;
  }
  RegCloseKey(key);
  return names;
}

bool FloorUnregisterApp() {
  HKEY applications = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                    &applications) != ERROR_SUCCESS)
    return false;
  bool deleted = RegDeleteValueA(applications, kRegisteredAppName) == ERROR_SUCCESS;
  RegCloseKey(applications);
  for (const char* key : {kFileAssociationsKey, kCapabilitiesKey, kAppKey})
    deleted = RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0) == ERROR_SUCCESS && deleted;
  return deleted;
}

}  // namespace vtbench
