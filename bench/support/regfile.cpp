#include "regfile.h"

#include <windows.h>

#include "defaultapps.h"
#include "process.h"

namespace vtbench {

namespace {

// A .reg string: backslashes and double quotes escaped.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The hive as a .reg file names it, and its classes key.
std::string HiveName(VtScope scope) {
  return scope == VtScope::kMachine ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}
std::string ClassesName(VtScope scope) { return HiveName(scope) + "\\" + kClassesKey; }

void AddKey(std::string* text, const std::string& root, const std::string& key) {
  *text += "[" + root + "\\" + key + "]\r\n";
}

void DeleteKey(std::string* text, const std::string& root, const std::string& key) {
  *text += "[-" + root + "\\" + key + "]\r\n\r\n";
}

void AddValue(std::string* text, const char* name, const std::string& value) {
  *text += (name[0] ? Quoted(name) : std::string("@")) + "=" + Quoted(value) + "\r\n";
}

}  // namespace

std::string RegisterRegFile(const std::vector<Registration>& entries, VtScope scope) {
  const std::string classes = ClassesName(scope);
  std::string text = "REGEDIT4\r\n\r\n";
  for (const Registration& r : entries) {
    AddKey(&text, classes, r.ext);
    AddValue(&text, "", r.progId);
    text += "\r\n";
    AddKey(&text, classes, r.progId);
    AddValue(&text, "", r.typeName);
    if (!r.backup.empty()) AddValue(&text, "backup", r.backup);
    text += "\r\n";
    AddKey(&text, classes, r.progId + "\\DefaultIcon");
    AddValue(&text, "", r.icon);
    text += "\r\n";
    AddKey(&text, classes, r.progId + "\\shell");
    AddValue(&text, "", "");
    text += "\r\n";
    AddKey(&text, classes, r.progId + "\\shell\\open\\command");
    AddValue(&text, "", r.command);
    text += "\r\n";
    AddKey(&text, classes, r.ext + "\\OpenWithProgids");
    text += Quoted(r.progId) + "=hex(0):\r\n\r\n";
  }
  if (entries.empty()) return text;
  const std::string hive = HiveName(scope);
  AddKey(&text, hive, kCapabilitiesKey);
  AddValue(&text, "ApplicationName", kAppName);
  AddValue(&text, "ApplicationDescription", kAppDescription);
  AddValue(&text, "ApplicationIcon", entries.front().appIcon);
  text += "\r\n";
  AddKey(&text, hive, kFileAssociationsKey);
  for (const Registration& r : entries) AddValue(&text, r.ext.c_str(), r.progId);
  text += "\r\n";
  AddKey(&text, hive, kRegisteredApplicationsKey);
  AddValue(&text, kRegisteredAppName, kCapabilitiesKey);
  return text + "\r\n";
}

std::string UnregisterRegFile(const std::vector<Registration>& entries, VtScope scope) {
  const std::string classes = ClassesName(scope);
  std::string text = "REGEDIT4\r\n\r\n";
  for (const Registration& r : entries) {
    if (r.backup.empty() && scope == VtScope::kUser) {
      DeleteKey(&text, classes, r.ext);
    } else {
      AddKey(&text, classes, r.ext);
      AddValue(&text, "", r.backup);
      text += "\r\n";
      DeleteKey(&text, classes, r.ext + "\\OpenWithProgids");
    }
    DeleteKey(&text, classes, r.progId);
  }
  const std::string hive = HiveName(scope);
  AddKey(&text, hive, kRegisteredApplicationsKey);
  text += Quoted(kRegisteredAppName) + "=-\r\n\r\n";
  DeleteKey(&text, hive, kAppKey);
  return text;
}

// The 64-bit reg.exe where there is one, as a user of 64-bit Windows runs it: the tool's Default
// Apps keys are in the 64-bit view (classes are shared by both), and Wine's 32-bit reg.exe deletes a
// "[-key]" in its own view even with /reg:64.
std::string RegExe() {
  char windows[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return "reg.exe";
  const std::string native = std::string(windows) + "\\sysnative\\reg.exe";
  return GetFileAttributesA(native.c_str()) != INVALID_FILE_ATTRIBUTES ? native : "reg.exe";
}

bool RegImport(const std::string& path) {
  vttest::ChildProcess reg;
  if (!reg.Start("\"" + RegExe() + "\" import \"" + path + "\"", nullptr, true)) return false;
  return reg.WaitForExit(60000) == 0;
}

}  // namespace vtbench
