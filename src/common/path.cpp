// Path helpers built on the text functions, so a trail byte 0x5C is never taken for a backslash.
#include <cstring>
#include <string>

#include "library.h"
#include "text.h"

namespace {

// dest = head[0, headLen) + tail[0, tailLen), or the empty text when that does not fit in size:
// a path cut short would name a different file. Moves, so dest may be the path itself.
char* JoinOrEmpty(char* dest, int size, const char* head, int headLen, const char* tail, int tailLen) {
  if (size <= 0) return dest;
  if (headLen + tailLen >= size) {
    dest[0] = 0;
    return dest;
  }
  std::memmove(dest, head, static_cast<size_t>(headLen));
  std::memmove(dest + headLen, tail, static_cast<size_t>(tailLen));
  dest[headLen + tailLen] = 0;
  return dest;
}

}  // namespace

bool FileExists(const char* path) {
  if (path == nullptr) return false;
  VtErrorMode quiet;
  std::string name(path);
  // Whatever follows "::" is not part of the file's name.
  if (const char* cut = FindText(name.c_str(), "::")) name.resize(cut - name.c_str());
  const DWORD attributes = GetFileAttributesA(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

char* FolderOf(char* dest, int size, const char* path) {
  if (dest == nullptr) return nullptr;
  if (path == nullptr) path = "";
  const char* slash = FindLastChar(path, '\\');
  const int len = slash != nullptr ? static_cast<int>(slash - path) + 1 : 0;
  return JoinOrEmpty(dest, size, path, len, "", 0);
}

char* ChangeExtension(char* dest, int size, const char* path, const char* ext) {
  if (dest == nullptr) return nullptr;
  if (ext == nullptr) ext = "";
  const int extLen = WholeCharLength(ext);
  if (path == nullptr) return JoinOrEmpty(dest, size, "", 0, ext, extLen);
  const char* dot = FindLastChar(path, '.');
  const char* slash = FindLastChar(path, '\\');
  // A period before the last backslash belongs to a folder name, not to the file's extension.
  const bool hasExtension = dot != nullptr && (slash == nullptr || slash < dot);
  const int baseLen = hasExtension ? static_cast<int>(dot - path) : WholeCharLength(path);
  return JoinOrEmpty(dest, size, path, baseLen, ext, extLen);
}
