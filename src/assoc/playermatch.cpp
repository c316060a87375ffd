#include "playermatch.h"

#include <windows.h>

#include "assoctext.h"
#include "finalpath.h"
#include "library.h"
#include "text.h"
#include "widetext.h"

namespace {

// The file of an icon location ("C:\x.exe,1", quoted or not): the text before its last comma.
std::string IconFileOf(const char* icon) {
  std::string text = icon != nullptr ? icon : "";
  // A comma is never a trail byte of the code page: the last one found is a character.
  const size_t comma = text.find_last_of(',');
  if (comma != std::string::npos) text.resize(comma);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
    text = text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

VtPlayerMatcher::VtPlayerMatcher(const char* playerPath)
    : player_(playerPath != nullptr ? WideFrom(playerPath, CP_ACP) : std::wstring()) {}

VtPlayerMatcher::FileIs VtPlayerMatcher::Judge(const std::string& file) {
  const auto known = judged_.find(file);
  if (known != judged_.end()) return known->second;
  // A portable player's drive may be empty or gone today: no box asks for a disk.
  VtErrorMode quiet;
  FileIs judged = FileIs::kMissing;
  if (FileExists(file.c_str()))
    judged = !player_.empty() && SameFile(WideFrom(file.c_str(), CP_ACP), player_)
                 ? FileIs::kPlayer
                 : FileIs::kOther;
  judged_.emplace(file, judged);
  return judged;
}

VtPlayerMatch VtPlayerMatcher::Match(const char* command, const char* icon,
                                     std::string* elsewhere) {
  const std::string program = ProgramOf(command != nullptr ? command : "");
  const FileIs opened = Judge(program);
  VtPlayerMatch match = VtPlayerMatch::kCurrent;
  std::string other = program;
  if (opened == FileIs::kMissing) {
    match = VtPlayerMatch::kMissing;
  } else if (player_.empty()) {
    match = VtPlayerMatch::kUnknown;
  } else if (opened == FileIs::kOther) {
    match = VtPlayerMatch::kMoved;
  } else {
    // The command opens the player; an icon left at the old place still shows another file.
    other = IconFileOf(icon);
    if (!other.empty() && Judge(other) != FileIs::kPlayer) match = VtPlayerMatch::kMoved;
  }
  if (elsewhere != nullptr)
    *elsewhere = OpensElsewhere(match) ? other : "";
  return match;
}
