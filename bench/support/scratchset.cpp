#include "scratchset.h"

#include <windows.h>

#include <cctype>
#include <cstring>

#include "defaultapps.h"

namespace vtbench {

const char kPlayerPath[] = "C:\\Program Files\\Vantrel Player\\vtplayer.exe";

namespace {

const char kOtherPath[] = "C:\\Program Files\\BenchOther\\other.exe";
// Prefixes of the three kinds of scratch keys; each is followed by <pid>_<n>.
const char* const kScratchPrefixes[] = {".vtb", "vantrel.vtb", "VtBenchApp"};

// prefix (letter case ignored), digits, "_", digits, end.
bool IsScratchName(const char* name) {
  for (const char* prefix : kScratchPrefixes) {
    const size_t length = std::strlen(prefix);
    if (_strnicmp(name, prefix, length) != 0) continue;
    const char* p = name + length;
    if (!std::isdigit(static_cast<unsigned char>(*p))) continue;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
    if (*p++ != '_' || !std::isdigit(static_cast<unsigned char>(*p))) continue;
    while (std::isdigit(static_cast<unsigned char>(*p))) ++p;
    if (*p == 0) return true;
  }
  return false;
}

void DeleteClassesTree(const std::string& key) { RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str()); }

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

std::string ChoiceKey(const std::string& ext) { return std::string(kFileExts) + "\\" + ext; }

// Scratch names among the subkeys of an open key.
std::vector<std::string> ScratchSubkeys(HKEY parent) {
  std::vector<std::string> found;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG rc = RegEnumKeyExA(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) break;
    if (IsScratchName(name)) found.push_back(name);
  }
  return found;
}

// The string value beneath root in view, or false when the key or value is missing or no string.
bool GetString(HKEY root, REGSAM view, const std::string& key, const char* name, std::string* value) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS)
    return false;
  char buffer[1024];
  DWORD type = 0;
  DWORD size = sizeof buffer - 1;
  const LONG rc = RegQueryValueExA(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(handle);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return false;
  buffer[size] = 0;
  value->assign(buffer);
  return true;
}

bool KeyExists(HKEY root, REGSAM view, const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &handle) != ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

// True when ext's OpenWithProgids holds progId as an entry without data.
bool OffersOpenWith(const std::string& ext, const std::string& progId) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, (ext + "\\OpenWithProgids").c_str(), 0, KEY_QUERY_VALUE,
                    &handle) != ERROR_SUCCESS)
    return false;
  DWORD type = 0;
  DWORD size = 0;
  const LONG rc = RegQueryValueExA(handle, progId.c_str(), nullptr, &type, nullptr, &size);
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS && type == REG_NONE && size == 0;
}

// Deletes the FileAssociations values with scratch names; then, when none is left, the tool's
// registration as the tool's Unregister would. The number of values deleted.
int SweepDefaultApps() {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFileAssociationsKey, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                    &handle) != ERROR_SUCCESS)
    return 0;
  std::vector<std::string> found;
  char name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = sizeof name;
    const LONG rc = RegEnumValueA(handle, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) break;
    if (IsScratchName(name)) found.push_back(name);
  }
  for (const std::string& value : found) RegDeleteValueA(handle, value.c_str());
  DWORD values = 1;
  RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(handle);
  if (values == 0) {
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                      &handle) == ERROR_SUCCESS) {
      RegDeleteValueA(handle, kRegisteredAppName);
      RegCloseKey(handle);
    }
    for (const char* key : {kFileAssociationsKey, kCapabilitiesKey, kAppKey})
      RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY, 0);
  }
  return static_cast<int>(found.size());
}

}  // namespace

bool SetClassesString(const std::string& key, const char* name, const std::string& value) {
  HKEY handle = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                      nullptr) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegSetValueExA(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                 static_cast<DWORD>(value.size() + 1));
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS;
}

bool GetClassesString(const std::string& key, const char* name, std::string* value) {
  return GetString(HKEY_CLASSES_ROOT, 0, key, name, value);
}

bool ClassesKeyExists(const std::string& key) { return KeyExists(HKEY_CLASSES_ROOT, 0, key); }

bool GetMachineString(const std::string& key, const char* name, std::string* value) {
  return GetString(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, key, name, value);
}

bool MachineKeyExists(const std::string& key) {
  return KeyExists(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, key);
}

ScratchSet::ScratchSet(int count) : count_(count), pid_(GetCurrentProcessId()) { Remove(); }

ScratchSet::~ScratchSet() { Remove(); }

std::string ScratchSet::Name(const char* prefix, int i) const {
  return prefix + std::to_string(pid_) + "_" + std::to_string(i + 1);
}

std::string ScratchSet::Ext(int i) const { return Name(".vtb", i); }
std::string ScratchSet::ListExt(int i) const { return Name(".VTB", i); }
std::string ScratchSet::Foreign(int i) const { return Name("VtBenchApp", i); }
std::string ScratchSet::ForeignType(int i) const { return "Bench Type " + std::to_string(i + 1); }
std::string ScratchSet::ForeignIcon(int i) const {
  return std::string(kOtherPath) + "," + std::to_string(i % 7);
}
std::string ScratchSet::ForeignCommand(int) const { return "\"" + std::string(kOtherPath) + "\" \"%1\""; }
std::string ScratchSet::ChoiceType(int i) const { return ForeignType((i + 1) % count_); }
std::string ScratchSet::ToolProgId(int i) const { return "vantrel" + ListExt(i); }
std::string ScratchSet::ToolTypeName(int i) const { return ListExt(i).substr(1) + " File"; }
std::string ScratchSet::ToolIcon() const { return std::string(kPlayerPath) + ",0"; }
std::string ScratchSet::AppIcon() const { return std::string(kPlayerPath) + ",0"; }
std::string ScratchSet::ToolCommand(const char* option) const {
  std::string command = "\"" + std::string(kPlayerPath) + "\" \"%1\"";
  if (option[0] != 0) command += std::string(" ") + option;
  return command;
}

bool ScratchSet::Seed() const {
  for (int i = 0; i < count_; ++i) {
    const std::string progId = Foreign(i);
    if (!SetClassesString(Ext(i), "", progId) || !SetClassesString(progId, "", ForeignType(i)) ||
        !SetClassesString(progId + "\\DefaultIcon", "", ForeignIcon(i)) ||
        !SetClassesString(progId + "\\shell\\open\\command", "", ForeignCommand(i)))
      return false;
  }
  return true;
}

bool ScratchSet::SeedChoices() const {
  for (int i = 0; i < count_; ++i) {
    const std::string progId = Foreign((i + 1) % count_);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (ChoiceKey(Ext(i)) + "\\UserChoice").c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return false;
    const LONG rc = RegSetValueExA(key, "ProgId", 0, REG_SZ, reinterpret_cast<const BYTE*>(progId.c_str()),
                                   static_cast<DWORD>(progId.size() + 1));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return false;
  }
  return true;
}

void ScratchSet::Remove() const {
  for (int i = 0; i < count_; ++i) {
    RegDeleteTreeA(HKEY_CURRENT_USER, ChoiceKey(Ext(i)).c_str());
    DeleteClassesTree(Ext(i));
    DeleteClassesTree(Foreign(i));
    DeleteClassesTree(ToolProgId(i));
  }
  SweepDefaultApps();
}

bool ScratchSet::IsOriginal() const {
  for (int i = 0; i < count_; ++i) {
    std::string value;
    if (!GetClassesString(Ext(i), "", &value) || value != Foreign(i)) return false;
    if (ClassesKeyExists(ToolProgId(i))) return false;
    if (ClassesKeyExists(Ext(i) + "\\OpenWithProgids")) return false;
    if (!GetClassesString(Foreign(i), "", &value) || value != ForeignType(i)) return false;
  }
  std::string value;
  return !MachineKeyExists(kAppKey) &&
         !GetMachineString(kRegisteredApplicationsKey, kRegisteredAppName, &value);
}

bool ScratchSet::IsRegistered(const char* option) const {
  const std::string icon = ToolIcon();
  const std::string command = ToolCommand(option);
  for (int i = 0; i < count_; ++i) {
    const std::string progId = ToolProgId(i);
    std::string value;
    if (!GetClassesString(Ext(i), "", &value) || value != progId) return false;
    if (!GetClassesString(progId, "", &value) || value != ToolTypeName(i)) return false;
    if (!GetClassesString(progId, "backup", &value) || value != Foreign(i)) return false;
    if (!GetClassesString(progId + "\\DefaultIcon", "", &value) || value != icon) return false;
    if (!GetClassesString(progId + "\\shell", "", &value) || !value.empty()) return false;
    if (!GetClassesString(progId + "\\shell\\open\\command", "", &value) || value != command) return false;
    if (!OffersOpenWith(Ext(i), progId)) return false;
    if (!GetMachineString(kFileAssociationsKey, ListExt(i).c_str(), &value) || value != progId)
      return false;
  }
  std::string value;
  return GetMachineString(kCapabilitiesKey, "ApplicationName", &value) && value == kAppName &&
         GetMachineString(kCapabilitiesKey, "ApplicationDescription", &value) &&
         value == kAppDescription && GetMachineString(kCapabilitiesKey, "ApplicationIcon", &value) &&
         value == AppIcon() &&
         GetMachineString(kRegisteredApplicationsKey, kRegisteredAppName, &value) &&
         value == kCapabilitiesKey;
}

int SweepScratchKeys() {
  const std::vector<std::string> found = ScratchSubkeys(HKEY_CLASSES_ROOT);
  for (const std::string& key : found) DeleteClassesTree(key);
  std::vector<std::string> choices;
  HKEY fileExts = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kFileExts, 0, KEY_READ, &fileExts) == ERROR_SUCCESS) {
    choices = ScratchSubkeys(fileExts);
    RegCloseKey(fileExts);
  }
  for (const std::string& ext : choices) RegDeleteTreeA(HKEY_CURRENT_USER, ChoiceKey(ext).c_str());
  return static_cast<int>(found.size() + choices.size()) + SweepDefaultApps();
}

}  // namespace vtbench
