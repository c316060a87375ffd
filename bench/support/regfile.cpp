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

void AddKey(std::string* text, const std::string& key, const char* root = "HKEY_CLASSES_ROOT") {
  *text += std::string("[") + root + "\\" + key + "]\r\n";
}
void AddMachineKey(std::string* text, const std::string& key) { AddKey(text, key, "HKEY_LOCAL_MACHINE"); }

void AddValue(std::string* text, const char* name, const std::string& value) {
  *text += (name[0] ? Quoted(name) : std::string("@")) + "=" + Quoted(value) + "\r\n";
}

}  // namespace

std::string RegisterRegFile(const std::vector<Registration>& entries) {
  std::string text = "REGEDIT4\r\n\r\n";
  for (const Registration& r : entries) {
    AddKey(&text, r.ext);
    AddValue(&text, "", r.progId);
    text += "\r\n";
    AddKey(&text, r.progId);
    AddValue(&text, "", r.typeName);
    AddValue(&text, "backup", r.backup);
    text += "\r\n";
    AddKey(&text, r.progId + "\\DefaultIcon");
    AddValue(&text, "", r.icon);
    text += "\r\n";
    AddKey(&text, r.progId + "\\shell");
    AddValue(&text, "", "");
    text += "\r\n";
    AddKey(&text, r.progId + "\\shell\\open\\command");
    AddValue(&text, "", r.command);
    text += "\r\n";
    AddKey(&text, r.ext + "\\OpenWithProgids");
    text += Quoted(r.progId) + "=hex(0):\r\n\r\n";
  }
  if (entries.empty()) return text;
  AddMachineKey(&text, kCapabilitiesKey);
  AddValue(&text, "ApplicationName", kAppName);
  AddValue(&text, "ApplicationDescription", kAppDescription);
  AddValue(&text, "ApplicationIcon", entries.front().appIcon);
  text += "\r\n";
  AddMachineKey(&text, kFileAssociationsKey);
  for (const Registration& r : entries) AddValue(&text, r.ext.c_str(), r.progId);
  text += "\r\n";
  AddMachineKey(&text, kRegisteredApplicationsKey);
  AddValue(&text, kRegisteredAppName, kCapabilitiesKey);
  return text + "\r\n";
}

std::string UnregisterRegFile(const std::vector<Registration>& entries) {
  std::string text = "REGEDIT4\r\n\r\n";
  for (const Registration& r : entries) {
    AddKey(&text, r.ext);
    AddValue(&text, "", r.backup);
    text += "\r\n[-HKEY_CLASSES_ROOT\\" + r.progId + "]\r\n\r\n";
    text += "[-HKEY_CLASSES_ROOT\\" + r.ext + "\\OpenWithProgids]\r\n\r\n";
  }
  AddMachineKey(&text, kRegisteredApplicationsKey);
  text += Quoted(kRegisteredAppName) + "=-\r\n\r\n";
  return text + "[-HKEY_LOCAL_MACHINE\\" + kAppKey + "]\r\n\r\n";
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
