#include "scratchset.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "defaultapps.h"
#include "scratch.h"

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

// The value when it is a REG_SZ, the only type the tool writes; false otherwise.
bool GetSz(HKEY root, const std::string& key, const char* name, std::string* value, REGSAM view = 0) {
  DWORD type = 0;
  std::string bytes;
  if (!vttest::GetValue(root, key, name, &type, &bytes, view) || type != REG_SZ) return false;
  value->assign(bytes.c_str());
  return true;
}

bool GetClassesString(const std::string& key, const char* name, std::string* value) {
  return GetSz(HKEY_CLASSES_ROOT, key, name, value);
}

bool GetMachineString(const std::string& key, const char* name, std::string* value) {
  return GetSz(HKEY_LOCAL_MACHINE, key, name, value, vttest::kView64);
}

bool ClassesKeyExists(const std::string& key) { return vttest::KeyExists(HKEY_CLASSES_ROOT, key); }

bool MachineKeyExists(const std::string& key) {
  return vttest::KeyExists(HKEY_LOCAL_MACHINE, key, vttest::kView64);
}

// True when ext's OpenWithProgids holds progId as an entry without data.
bool OffersOpenWith(const std::string& ext, const std::string& progId) {
  DWORD type = 0;
  std::string bytes;
  return vttest::GetValue(HKEY_CLASSES_ROOT, ext + "\\OpenWithProgids", progId.c_str(), &type, &bytes) &&
         type == REG_NONE && bytes.empty();
}

// Deletes the FileAssociations values with scratch names; then, when none is left, the tool's
// registration as the tool's Unregister would. The number of values deleted.
int SweepDefaultApps() {
  const std::vector<std::string> found =
      ScratchNames(vttest::ValueNames(HKEY_LOCAL_MACHINE, kFileAssociationsKey, vttest::kView64));
  for (const std::string& value : found)
    vttest::DeleteValue(HKEY_LOCAL_MACHINE, kFileAssociationsKey, value.c_str(), vttest::kView64);
  vttest::RemoveUnusedDefaultApp();
  return static_cast<int>(found.size());
}

}  // namespace

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
    for (const std::string& key : {Ext(i), Foreign(i), ToolProgId(i)})
      vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, key);
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
  const std::vector<std::string> classes = ScratchNames(vttest::SubkeyNames(HKEY_CLASSES_ROOT, ""));
  for (const std::string& key : classes) vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, key);
  const std::vector<std::string> choices =
      ScratchNames(vttest::SubkeyNames(HKEY_CURRENT_USER, vttest::kFileExts));
  for (const std::string& ext : choices)
    vttest::DeleteKeyTree(HKEY_CURRENT_USER, vttest::FileExtsKey(ext));
  return static_cast<int>(classes.size() + choices.size()) + SweepDefaultApps();
}

}  // namespace vtbench
