#include "floor.h"

#include <windows.h>

#include <cstdio>

#include "defaultapps.h"
#include "userchoice.h"

namespace vtbench {

namespace {

const char kOpenWithProgids[] = "\\OpenWithProgids";

// name beneath the classes key, as a path from the hive.
std::string ClassesPath(const std::string& name) { return std::string(kClassesKey) + "\\" + name; }

// One query into the caller's buffer; the empty text unless a string value was read.
void QueryText(HKEY key, const char* name, char* text) {
  DWORD type = 0;
  DWORD size = kFloorText - 2;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    text[0] = 0;
    return;
  }
  text[size] = 0;  // also a value stored without its terminator
}

// Open, query the default, close subKey beneath root (null: missing, no call); "" when missing.
void QueryDefault(HKEY root, const char* subKey, char* text) {
  text[0] = 0;
  HKEY key = nullptr;
  if (root == nullptr || RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
    return;
  QueryText(key, "", text);
  RegCloseKey(key);
}

// Both hives' classes keys, opened for one extension and closed with this object.
struct Classes {
  HKEY machine = nullptr;
  HKEY user = nullptr;
  Classes() {
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClassesKey, 0, KEY_READ, &machine);
    RegOpenKeyExA(HKEY_CURRENT_USER, kClassesKey, 0, KEY_READ, &user);
  }
  ~Classes() {
    if (machine != nullptr) RegCloseKey(machine);
    if (user != nullptr) RegCloseKey(user);
  }
  Classes(const Classes&) = delete;
  Classes& operator=(const Classes&) = delete;

  // name as Windows merges the two: the user's key when it exists, else the machine's; null.
  HKEY OpenMerged(const char* name) const {
    HKEY key = nullptr;
    for (HKEY root : {user, machine})
      if (root != nullptr && RegOpenKeyExA(root, name, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS)
        return key;
    return nullptr;
  }
};

// Open Explorer's FileExts\<ext> (1 call when it is missing); open, query and close
// "UserChoiceLatest", and "UserChoice" when that gave no ProgID; close FileExts\<ext>. Without a
// choice, userNamed (in the machine's scope, the user's own extension). For a ProgID other than
// progId: open its key merged, open, query and close "Application", query the key's default when
// that gave no name, close. Names are taken as stored (the benchmark's are not indirect).
void FloorChoice(const Classes& classes, const char* userNamed, const char* ext,
                 const char* progId, char* shown) {
  shown[0] = 0;
  char path[kFloorText + 80];
  std::snprintf(path, sizeof path, "%s\\%s", kFileExtsKey, ext);
  char choice[kFloorText] = "";
  HKEY fileExt = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &fileExt) == ERROR_SUCCESS) {
    for (const char* sub : {"UserChoiceLatest", "UserChoice"}) {
      HKEY key = nullptr;
      if (RegOpenKeyExA(fileExt, sub, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) continue;
      QueryText(key, "ProgId", choice);
      RegCloseKey(key);
      if (choice[0]) break;
    }
    RegCloseKey(fileExt);
  }
  if (choice[0] == 0) std::snprintf(choice, kFloorText, "%s", userNamed);
  if (choice[0] == 0 || lstrcmpiA(choice, progId) == 0) return;

  if (HKEY progKey = classes.OpenMerged(choice)) {
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

bool SetText(HKEY key, const char* name, const std::string& value) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// Creates subKey beneath parent (in view), sets one value and closes it.
bool CreateWithValue(HKEY parent, const std::string& subKey, const char* name, DWORD type,
                     const void* data, DWORD size, REGSAM view = 0) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const bool set =
      RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return set;
}

bool CreateWithText(HKEY parent, const std::string& subKey, const char* name,
                    const std::string& value, REGSAM view = 0) {
  return CreateWithValue(parent, subKey, name, REG_SZ, value.c_str(),
                         static_cast<DWORD>(value.size() + 1), view);
}

bool CreateWithDefault(HKEY parent, const std::string& subKey, const std::string& value) {
  return CreateWithText(parent, subKey, "", value);
}

// Open path, query its default, set it to value, close: 4 calls.
bool Rewrite(HKEY hive, const std::string& path, const std::string& value) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
    return false;
  char old[kFloorText];
  QueryText(key, "", old);
  const bool set = SetText(key, "", value);
  RegCloseKey(key);
  return set;
}

bool DeleteKey(HKEY hive, const std::string& path) {
  return RegDeleteKeyA(hive, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

void FloorRead(const char* ext, FloorFacts* facts, VtScope scope) {
  facts->backup[0] = facts->typeName[0] = facts->icon[0] = facts->command[0] = 0;
  facts->progIdOpened = false;
  const Classes classes;
  facts->progId[0] = 0;
  if (scope == VtScope::kUser) QueryDefault(classes.user, ext, facts->progId);
  if (facts->progId[0] == 0) QueryDefault(classes.machine, ext, facts->progId);
  // In the machine's scope the user's own extension, read once: what Windows opens for this user
  // instead, and whether an association of the tool there needs unregistering too (never in the
  // sets).
  char userNamed[kFloorText] = "";
  if (scope == VtScope::kMachine) QueryDefault(classes.user, ext, userNamed);
  FloorChoice(classes, userNamed, ext, facts->progId, facts->userChoice);
  if (facts->progId[0] == 0) return;

  // The machine's scope shows the machine's ProgID, which every user gets.
  HKEY progKey = nullptr;
  if (scope == VtScope::kUser) {
    progKey = classes.OpenMerged(facts->progId);
  } else if (classes.machine == nullptr ||
             RegOpenKeyExA(classes.machine, facts->progId, 0, KEY_QUERY_VALUE, &progKey) !=
                 ERROR_SUCCESS) {
    progKey = nullptr;
  }
  if (progKey == nullptr) return;
  facts->progIdOpened = true;
  QueryText(progKey, "backup", facts->backup);
  QueryText(progKey, "", facts->typeName);

  QueryDefault(progKey, "DefaultIcon", facts->icon);
  char verb[kFloorText];
  HKEY shell = nullptr;
  if (RegOpenKeyExA(progKey, "shell", 0, KEY_QUERY_VALUE, &shell) == ERROR_SUCCESS) {
    QueryText(shell, "", verb);
    RegCloseKey(shell);
    char commandKey[kFloorText + 16];
    std::snprintf(commandKey, sizeof commandKey, "shell\\%s\\command", verb[0] ? verb : "open");
    QueryDefault(progKey, commandKey, facts->command);
  }
  RegCloseKey(progKey);
}

bool FloorRegister(const Registration& r, VtScope scope) {
  const HKEY hive = ScopeHive(scope);
  const std::string ext = ClassesPath(r.ext);
  if (!CreateWithDefault(hive, ext, r.progId)) return false;
  HKEY progKey = nullptr;
  if (RegCreateKeyExA(hive, ClassesPath(r.progId).c_str(), 0, nullptr, 0,
                      KEY_SET_VALUE | KEY_CREATE_SUB_KEY, nullptr, &progKey,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const bool done = SetText(progKey, "", r.typeName) &&
                    (r.backup.empty() || SetText(progKey, "backup", r.backup)) &&
                    CreateWithDefault(progKey, "DefaultIcon", r.icon) &&
                    CreateWithDefault(progKey, "shell", "") &&
                    CreateWithText(progKey, "shell\\open", "MultiSelectModel", "Player") &&
                    CreateWithDefault(progKey, "shell\\open\\command", r.command);
  RegCloseKey(progKey);
  return done &&
         CreateWithValue(hive, ext + kOpenWithProgids, r.progId.c_str(), REG_NONE, nullptr, 0) &&
         CreateWithText(hive, kFileAssociationsKey, r.ext.c_str(), r.progId, KEY_WOW64_64KEY);
}

bool FloorRegisterApp(const std::string& appIcon, VtScope scope) {
  const HKEY hive = ScopeHive(scope);
  HKEY capabilities = nullptr;
  if (RegCreateKeyExA(hive, kCapabilitiesKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                      nullptr, &capabilities, nullptr) != ERROR_SUCCESS)
    return false;
  const bool done = SetText(capabilities, "ApplicationName", kAppName) &&
                    SetText(capabilities, "ApplicationDescription", kAppDescription) &&
                    SetText(capabilities, "ApplicationIcon", appIcon);
  RegCloseKey(capabilities);
  return done && CreateWithText(hive, kRegisteredApplicationsKey, kRegisteredAppName,
                                kCapabilitiesKey, KEY_WOW64_64KEY);
}

bool FloorRepair(const Registration& r, VtScope scope) {
  const HKEY hive = ScopeHive(scope);
  const std::string ext = ClassesPath(r.ext);
  char progId[kFloorText];
  QueryDefault(hive, ext.c_str(), progId);
  HKEY user = nullptr;
  if (scope == VtScope::kMachine &&
      RegOpenKeyExA(HKEY_CURRENT_USER, ext.c_str(), 0, KEY_QUERY_VALUE, &user) == ERROR_SUCCESS) {
    RegCloseKey(user);
    return false;
  }
  // r.command was made with the option the old command holds.
  const std::string key = ClassesPath(progId);
  return r.progId == progId && Rewrite(hive, key + "\\shell\\open\\command", r.command) &&
         Rewrite(hive, key + "\\DefaultIcon", r.icon);
}

bool FloorUnregister(const Registration& r, VtScope scope) {
  const HKEY hive = ScopeHive(scope);
  const std::string ext = ClassesPath(r.ext);
  // OpenWithProgids first: a key with subkeys is not deleted.
  bool done = DeleteKey(hive, ext + kOpenWithProgids);
  if (r.backup.empty() && scope == VtScope::kUser) {
    done = DeleteKey(hive, ext) && done;
  } else {
    HKEY extKey = nullptr;
    if (RegOpenKeyExA(hive, ext.c_str(), 0, KEY_SET_VALUE, &extKey) != ERROR_SUCCESS) return false;
    done = SetText(extKey, "", r.backup) && done;
    RegCloseKey(extKey);
  }
  const std::string progId = ClassesPath(r.progId);
  for (const char* sub : {"\\shell\\open\\command", "\\shell\\open", "\\shell", "\\DefaultIcon", ""})
    done = DeleteKey(hive, progId + sub) && done;
  return done;
}

int FloorOwnNames() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFileAssociationsKey, 0, KEY_READ | KEY_WOW64_64KEY,
                    &key) != ERROR_SUCCESS)
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

bool FloorUnregisterApp(VtScope scope) {
  const HKEY hive = ScopeHive(scope);
  HKEY applications = nullptr;
  if (RegOpenKeyExA(hive, kRegisteredApplicationsKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                    &applications) != ERROR_SUCCESS)
    return false;
  bool deleted = RegDeleteValueA(applications, kRegisteredAppName) == ERROR_SUCCESS;
  RegCloseKey(applications);
  for (const char* key : {kFileAssociationsKey, kCapabilitiesKey, kAppKey})
    deleted = RegDeleteKeyExA(hive, key, KEY_WOW64_64KEY, 0) == ERROR_SUCCESS && deleted;
  return deleted;
}

}  // namespace vtbench
