// Scratch places for tests and benchmarks: registry keys and folders that they own and that are
// removed again. They are set up and checked through the direct registry access of regaccess.h.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "regaccess.h"

namespace vttest {

// A unique name for this process and call, usable as a key or file name ("vttest_<pid>_<n>").
std::string UniqueName(const char* prefix = "vttest");

// Owns a registry key path beneath a root; deletes the whole tree on construction and destruction.
class ScratchKey {
 public:
  ScratchKey(HKEY root, std::string path, REGSAM view = 0);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  HKEY root() const { return root_; }
  const std::string& path() const { return path_; }

 private:
  HKEY root_;
  std::string path_;
  REGSAM view_;
};

// Explorer's record of the user's choices for ext, beneath HKEY_CURRENT_USER.
std::string FileExtsKey(const std::string& ext);

// Explorer's record of the user's choices for one extension, FileExtsKey(ext); deleted on
// construction and destruction, and FileExts with it when this made it and it is empty.
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
  // Refuses (refuseDelete) or allows again deleting the key sub, as Windows' UserChoice
  // Protection Driver refuses it for a few types. True on success.
  bool Protect(const char* sub, bool refuseDelete = true);
  const std::string& path() const { return key_.path(); }

 private:
  bool madeFileExts_;
  std::vector<std::string> protected_;  // allowed again before the record is deleted
  ScratchKey key_;
};

// Takes back what registering ext added to the tool's Default Apps registrations, the machine's
// and the user's (its FileAssociations values) and, once none is left in a hive, the tool's key
// and its RegisteredApplications value there. Every fixture that registers calls it for its
// extensions, so that a run leaves none behind.
void RemoveDefaultApp(const std::string& ext);
// Takes back the tool's key and its RegisteredApplications value in each hive whose
// FileAssociations holds no value or is missing.
void RemoveUnusedDefaultApp();

// Owns a fresh folder beneath parent (when empty: "vttest" under %ProgramData%, outside every
// profile and the temporary folder); removes it with everything in it.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& parent = "");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // Full path with a trailing backslash.
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// The names in folder (given with its trailing backslash) other than "." and "..", sorted.
std::vector<std::string> Listing(const std::string& folder);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// text as a file saved in codePage holds it, without a byte order mark; 1200 and 1201 are UTF-16
// little- and big-endian.
std::string EncodedText(const std::wstring& text, UINT codePage);
bool ReadFileBytes(const std::string& path, std::string* bytes);

}  // namespace vttest
