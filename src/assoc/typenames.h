// The type name an extension is registered with when the user names none: the one that
// "filetype.ini" gives it, else "<EXT> File".
#pragma once
#include <string>

#include "inifile.h"

// The file, beside the tool's programs.
extern const char kTypeNameFile[];

// Reads the file once, at the first lookup.
class VtTypeNames {
 public:
  // folder: where the file lies, with its trailing backslash.
  explicit VtTypeNames(const char* folder) : folder_(folder) {}
  VtTypeNames(const VtTypeNames&) = delete;
  VtTypeNames& operator=(const VtTypeNames&) = delete;

  // ext with its leading ".".
  std::string For(const char* ext);

 private:
  std::string folder_;
  VtIniFile ini_;
  bool loaded_ = false;
};
