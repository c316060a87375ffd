#include "scratchset.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "defaultapps.h"
#include "scratch.h"
#include "userchoice.h"

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

// The scratch names among names.
std::vector<std::string> ScratchNames(const std::vector<std::string>& names) {
  std::vector<std::string> found;
  for (const std::string& name : names)
    if (IsScratchName(name.c_str())) found.push_back(name);
  return found;
}

const VtScope kScopes[] = {VtScope::kMachine, VtScope::kUser};

// name beneath the classes key, as a path from the hive.
std::string ClassesPath(const std::string& name) { return std::string(kClassesKey) + "\\" + name; }

// The value when it is a REG_SZ, the only type the tool writes; false otherwise.
bool GetSz(HKEY root, const std::string& key, const char* name, std::string* value, REGSAM view = 0) {
  DWORD type = 0;
  std::string bytes;
  if (!vttest::GetValue(root, key, name, &type, &bytes, view) || type != REG_SZ) return false;
  value->assign(bytes.c_str());
  return true;
}

bool GetClassesString(VtScope scope, const std::string& key, const char* name, std::string* value) {
  return GetSz(ScopeHive(scope), ClassesPath(key), name, value);
}

// The Default Apps keys, in the 64-bit view of scope's hive.
bool GetAppString(VtScope scope, const std::string& key, const char* name, std::string* value) {
  return GetSz(ScopeHive(scope), key, name, value, vttest::kView64);
}

bool ClassesKeyExists(VtScope scope, const std::string& key) {
  return vttest::KeyExists(ScopeHive(scope), ClassesPath(key));
}

// True when ext's OpenWithProgids in scope's classes holds progId as an entry without data.
bool OffersOpenWith(VtScope scope, const std::string& ext, const std::string& progId) {
  DWORD type = 0;
  std::string bytes;
  return vttest::GetValue(ScopeHive(scope), ClassesPath(ext + "\\OpenWithProgids"),
                          progId.c_str(), &type, &bytes) &&
         type == REG_NONE && bytes.empty();
}

// True when scope's hive holds nothing of the tool's Default Apps registration.
bool NoDefaultApp(VtScope scope) {
  std::string value;
  return !vttest::KeyExists(ScopeHive(scope), kAppKey, vttest::kView64) &&
         !GetAppString(scope, kRegisteredApplicationsKey, kRegisteredAppName, &value);
}

// Deletes the FileAssociations values with scratch names in both hives; then, in each hive where
// none is left, the tool's registration as the tool's Unregister would. The number of values
// deleted.
int SweepDefaultApps() {
  int deleted = 0;
  for (VtScope scope : kScopes) {
    const HKEY hive = ScopeHive(scope);
    const std::vector<std::string> found =
        ScratchNames(vttest::ValueNames(hive, kFileAssociationsKey, vttest::kView64));
    for (const std::string& value : found)
      vttest::DeleteValue(hive, kFileAssociationsKey, value.c_str(), vttest::kView64);
    deleted += static_cast<int>(found.size());
  }
  vttest::RemoveUnusedDefaultApp();
  return deleted;
}

}  // namespace

ScratchSet::ScratchSet(int count, int first)
    : count_(count), first_(first), pid_(GetCurrentProcessId()) {
  Remove();
}

ScratchSet::~ScratchSet() { Remove(); }

std::string ScratchSet::Name(const char* prefix, int i) const {
  return prefix + std::to_string(pid_) + "_" + std::to_string(first_ + i + 1);
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
std::string ScratchSet::ToolIcon(const char* player) const { return std::string(player) + ",0"; }
std::string ScratchSet::AppIcon(const char* player) const { return std::string(player) + ",0"; }
std::string ScratchSet::ToolCommand(const char* option, const char* player) const {
  std::string command = "\"" + std::string(player) + "\" \"%1\"";
  if (option[0] != 0) command += std::string(" ") + option;
  return command;
}

std::string ScratchSet::Backup(int i, VtScope scope) const {
  return scope == VtScope::kMachine ? Foreign(i) : std::string();
}

bool ScratchSet::Seed() const {
  // A fresh Wine prefix lacks it; without it the tool's lookups in the user's classes end early.
  if (!vttest::CreateKey(HKEY_CURRENT_USER, kClassesKey)) {
    std::fprintf(stderr, "bench: could not create the user's classes key\n");
    return false;
  }
  for (int i = 0; i < count_; ++i) {
    const std::string progId = Foreign(i);
    if (!vttest::PutText(Ext(i), "", progId) || !vttest::PutText(progId, "", ForeignType(i)) ||
        !vttest::PutText(progId + "\\DefaultIcon", "", ForeignIcon(i)) ||
        !vttest::PutText(progId + "\\shell\\open\\command", "", ForeignCommand(i))) {
      std::fprintf(stderr, "bench: could not write the scratch associations\n");
      return false;
    }
  }
  return true;
}

bool ScratchSet::SeedChoices() const {
  for (int i = 0; i < count_; ++i) {
    if (!vttest::SetString(HKEY_CURRENT_USER, vttest::FileExtsKey(Ext(i)) + "\\UserChoice", "ProgId",
                           Foreign((i + 1) % count_)))
      return false;
  }
  return true;
}

void ScratchSet::Remove() const {
  for (int i = 0; i < count_; ++i) {
    vttest::DeleteKeyTree(HKEY_CURRENT_USER, vttest::FileExtsKey(Ext(i)));
    for (VtScope scope : kScopes)
      for (const std::string& key : {Ext(i), Foreign(i), ToolProgId(i)})
        vttest::DeleteKeyTree(ScopeHive(scope), ClassesPath(key));
  }
  SweepDefaultApps();
}

bool ScratchSet::IsOriginal() const {
  const VtScope machine = VtScope::kMachine;
  for (int i = 0; i < count_; ++i) {
    std::string value;
    if (!GetClassesString(machine, Ext(i), "", &value) || value != Foreign(i)) return false;
    if (ClassesKeyExists(machine, ToolProgId(i)) || ClassesKeyExists(VtScope::kUser, ToolProgId(i)))
      return false;
    if (ClassesKeyExists(machine, Ext(i) + "\\OpenWithProgids")) return false;
    if (ClassesKeyExists(VtScope::kUser, Ext(i))) return false;
    if (!GetClassesString(machine, Foreign(i), "", &value) || value != ForeignType(i)) return false;
  }
  return NoDefaultApp(machine) && NoDefaultApp(VtScope::kUser);
}

bool ScratchSet::IsRegistered(const char* option, VtScope scope, const char* player) const {
  const std::string icon = ToolIcon(player);
  const std::string command = ToolCommand(option, player);
  for (int i = 0; i < count_; ++i) {
    const std::string progId = ToolProgId(i);
    const std::string backup = Backup(i, scope);
    std::string value;
    if (!GetClassesString(scope, Ext(i), "", &value) || value != progId) return false;
    if (!GetClassesString(scope, progId, "", &value) || value != ToolTypeName(i)) return false;
    if (backup.empty() ? vttest::ValueExists(ScopeHive(scope), ClassesPath(progId), "backup")
                       : !GetClassesString(scope, progId, "backup", &value) || value != backup)
      return false;
    if (!GetClassesString(scope, progId + "\\DefaultIcon", "", &value) || value != icon)
      return false;
    if (!GetClassesString(scope, progId + "\\shell", "", &value) || !value.empty()) return false;
    if (!GetClassesString(scope, progId + "\\shell\\open\\command", "", &value) ||
        value != command)
      return false;
    if (!OffersOpenWith(scope, Ext(i), progId)) return false;
    if (!GetAppString(scope, kFileAssociationsKey, ListExt(i).c_str(), &value) || value != progId)
      return false;
  }
  std::string value;
  return GetAppString(scope, kCapabilitiesKey, "ApplicationName", &value) && value == kAppName &&
         GetAppString(scope, kCapabilitiesKey, "ApplicationDescription", &value) &&
         value == kAppDescription &&
         GetAppString(scope, kCapabilitiesKey, "ApplicationIcon", &value) &&
         value == AppIcon(player) &&
         GetAppString(scope, kRegisteredApplicationsKey, kRegisteredAppName, &value) &&
         value == kCapabilitiesKey;
}

int SweepScratchKeys() {
  int removed = 0;
  for (VtScope scope : kScopes) {
    const HKEY hive = ScopeHive(scope);
    const std::vector<std::string> classes = ScratchNames(vttest::SubkeyNames(hive, kClassesKey));
    for (const std::string& key : classes) vttest::DeleteKeyTree(hive, ClassesPath(key));
    removed += static_cast<int>(classes.size());
  }
  const std::vector<std::string> choices =
      ScratchNames(vttest::SubkeyNames(HKEY_CURRENT_USER, kFileExtsKey));
  for (const std::string& ext : choices)
    vttest::DeleteKeyTree(HKEY_CURRENT_USER, vttest::FileExtsKey(ext));
  return removed + static_cast<int>(choices.size()) + SweepDefaultApps();
}

}  // namespace vtbench
