// The type name an extension is registered with when the user names none: the one that
// "filetype.ini" gives it, else "<EXT> File".
#pragma once
#include <string>
#include <utility>
#include <vector>

// The file, beside the tool's programs.
extern const char kTypeNameFile[];

// Reads the file once, at the first lookup. The file is code page 932 as shipped, or UTF-8 or
// UTF-16 with a byte order mark, and read by the rules of every INI file of the tool (inifile.h).
class VtTypeNames {
 public:
  // folder: where the file lies, with its trailing backslash.
  explicit VtTypeNames(const char* folder) : folder_(folder) {}
  VtTypeNames(const VtTypeNames&) = delete;
  VtTypeNames& operator=(const VtTypeNames&) = delete;

  // ext with its leading ".", in the ANSI code page.
  std::wstring For(const char* ext);

 private:
  std::string folder_;
  std::vector<std::pair<std::wstring, std::wstring>> names_;  // the [filetype] keys, in file order
  bool loaded_ = false;
};
