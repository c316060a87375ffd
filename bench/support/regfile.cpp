#include "regfile.h"

#include <windows.h>

#include <cstdio>

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

void AddKey(std::string* text, const std::string& key) { *text += "[HKEY_CLASSES_ROOT\\" + key + "]\r\n"; }

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
  }
  return text;
}

std::string UnregisterRegFile(const std::vector<Registration>& entries) {
  std::string text = "REGEDIT4\r\n\r\n";
  for (const Registration& r : entries) {
    AddKey(&text, r.ext);
    AddValue(&text, "", r.backup);
    text += "\r\n[-HKEY_CLASSES_ROOT\\" + r.progId + "]\r\n\r\n";
  }
  return text;
}

bool WriteTextFile(const std::string& path, const std::string& text) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

bool RegImport(const std::string& path) {
  ChildProcess reg;
  if (!reg.Start("reg.exe import \"" + path + "\"", nullptr, true)) return false;
  return reg.WaitForExit(60000) == 0;
}

ScratchFolder::ScratchFolder() {
  char temp[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp, length) + "vtbench" + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA((path_ + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

}  // namespace vtbench
