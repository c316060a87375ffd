#include "playerpath.h"

#include <windows.h>

#include "playerplace.h"
#include "text.h"

namespace {

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "X:\" or "\\server\share": not a drive-relative "X:name", and not the "\\?\" or "\\.\" device
// names, whose rules differ from a file's.
bool IsAbsolute(const char* path) {
  if (IsDriveLetter(path[0]) && path[1] == ':') return path[2] == '\\' || path[2] == '/';
  return path[0] == '\\' && path[1] == '\\' && path[2] != 0 && path[2] != '\\' &&
         !((path[2] == '?' || path[2] == '.') && path[3] == '\\');
}

bool HasBadCharacter(const char* path) {
  for (const char* c = path; *c != 0;) {
    const int size = CharSize(c);
    if (size == 0) return true;  // a lead byte without its second byte
    const unsigned char b = static_cast<unsigned char>(*c);
    if (size == 1 && (b < 0x20 || b == 0x7F || b == '"' || b == '%' || (b == ':' && c != path + 1)))
      return true;
    c += size;
  }
  return false;
}

bool EndsInExe(const char* path) {
  const char* dot = FindLastChar(path, '.');
  return dot != nullptr && CompareNoCase(dot, ".exe") == 0;
}

}  // namespace

VtPathProblem PlayerPathProblem(const char* path) {
  if (path == nullptr) return VtPathProblem::kNotAbsolute;
  if (HasBadCharacter(path)) return VtPathProblem::kBadCharacter;
  if (!IsAbsolute(path)) return VtPathProblem::kNotAbsolute;
  if (!EndsInExe(path)) return VtPathProblem::kNotProgram;
  // With no ':' left but the drive's, nothing is cut from the path before it is looked up.
  if (!FileExists(path)) return VtPathProblem::kNoSuchFile;
  return VtPathProblem::kNone;
}

VtScope RegisterScope(VtScope rights, const char* exePath) {
  return rights == VtScope::kMachine && PlayerPlace(exePath) == VtPlayerPlace::kShared
             ? VtScope::kMachine
             : VtScope::kUser;
}
