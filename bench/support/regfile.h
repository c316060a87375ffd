// .reg files for "reg import", the way a user or an installer would make the same registry change,
// and the timed import itself (the whole reg.exe process).
#pragma once
#include <string>
#include <vector>

#include "floor.h"

namespace vtbench {

// REGEDIT4 (ANSI) text that registers every entry as the tool does.
std::string RegisterRegFile(const std::vector<Registration>& entries);
// REGEDIT4 text that gives every extension its earlier ProgID back and deletes the tool's ProgID.
std::string UnregisterRegFile(const std::vector<Registration>& entries);
bool WriteTextFile(const std::string& path, const std::string& text);
// Runs "reg.exe import path" and waits for it; true when it exits with 0.
bool RegImport(const std::string& path);

// A fresh folder under the temporary folder, removed with its files on destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& path() const { return path_; }  // with a trailing backslash
  std::string File(const char* name) const { return path_ + name; }

 private:
  std::string path_;
};

}  // namespace vtbench
