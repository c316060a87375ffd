// Scratch places for tests: a registry key and a folder that a test owns and that are removed again.
#pragma once
#include <windows.h>
#include <string>

namespace vttest {

// A unique name for this process and call, usable as a key or file name ("vttest_<pid>_<n>").
std::string UniqueName(const char* prefix = "vttest");

// Owns a registry key path beneath a root; deletes the whole tree on construction and destruction.
class ScratchKey {
 public:
  ScratchKey(HKEY root, std::string path);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  HKEY root() const { return root_; }
  const std::string& path() const { return path_; }

 private:
  HKEY root_;
  std::string path_;
};

// Explorer's record of the user's choices for one extension, HKEY_CURRENT_USER "...\\FileExts\\<ext>";
// deleted on construction and destruction, and FileExts with it when this made it and it is empty.
class ScratchChoice {
 public:
  explicit ScratchChoice(const std::string& ext);
  ~ScratchChoice();
  ScratchChoice(const ScratchChoice&) = delete;
  ScratchChoice& operator=(const ScratchChoice&) = delete;

  // Replaces the key sub ("UserChoice") by one holding the value name (none for a null name), as
  // Windows keeps it: anyone may read and delete it, nobody may set its values. True on success.
  bool Set(const char* sub, const char* name, DWORD type, const std::string& bytes);
  bool Set(const char* sub, const std::string& progId, const char* name = "ProgId");
  const std::string& path() const { return key_.path(); }

 private:
  bool madeFileExts_;
  ScratchKey key_;
};

// Removes a key tree beneath root without using the code under test. True when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::string& path);

// Creates (or opens) a key and sets a value of any type; true on success.
bool SetRawValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                 DWORD size);
bool SetString(HKEY root, const std::string& path, const char* name, const std::string& value);
// Reads a string value; false when the key or value is missing.
bool GetString(HKEY root, const std::string& path, const char* name, std::string* out);
bool KeyExists(HKEY root, const std::string& path);

// Owns a fresh folder under the temporary folder; removes it with everything in it.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Full path with a trailing backslash.
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

bool WriteFileBytes(const std::string& path, const std::string& bytes);
bool ReadFileBytes(const std::string& path, std::string* bytes);

}  // namespace vttest
