#include "playermatch.h"

#include <windows.h>

#include <string>

#include "assoctext.h"
#include "finalpath.h"
#include "widetext.h"

namespace {

// The file of an icon location ("C:\x.exe,1", quoted or not): the text before its last comma.
std::wstring IconFileOf(const char* icon) {
  std::wstring text = WideFrom(icon, CP_ACP);
  const size_t comma = text.find_last_of(L',');
  if (comma != std::wstring::npos) text.resize(comma);
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"')
    text = text.substr(1, text.size() - 2);
  return text;
}

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

VtPlayerMatch MatchPlayer(const char* command, const char* icon, const char* playerPath) {
  const std::wstring program =
      WideFrom(ProgramOf(command != nullptr ? command : "").c_str(), CP_ACP);
  if (program.empty() || !IsFile(program)) return VtPlayerMatch::kMissing;
  if (playerPath == nullptr || playerPath[0] == 0) return VtPlayerMatch::kUnknown;
  const std::wstring player = WideFrom(playerPath, CP_ACP);
  if (!SameFile(program, player)) return VtPlayerMatch::kMoved;
  const std::wstring iconFile = icon != nullptr ? IconFileOf(icon) : std::wstring();
  return iconFile.empty() || SameFile(iconFile, player) ? VtPlayerMatch::kCurrent
                                                        : VtPlayerMatch::kMoved;
}
