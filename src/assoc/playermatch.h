// Whether an association of the tool still opens the player where it is now: a new install in
// another folder, or a portable player on a drive with another letter today, leaves every open
// command naming the old file.
#pragma once
#include <string>
#include <unordered_map>

enum class VtPlayerMatch {
  kCurrent,  // the command's program and the icon's file are the player's file
  kMoved,    // either names another file; the command's exists
  kMissing,  // the file the command starts does not exist
  kUnknown,  // no player is known, and the command's file exists
};

// True for an association that opens, or shows the icon of, another file than the player's.
inline bool OpensElsewhere(VtPlayerMatch match) {
  return match == VtPlayerMatch::kMoved || match == VtPlayerMatch::kMissing;
}

// Judges the associations of one list or one change against one player file, each distinct file
// once: a list of hundreds of extensions names the same one or two programs.
class VtPlayerMatcher {
 public:
  // playerPath: the player's file, null or empty where it is not known.
  explicit VtPlayerMatcher(const char* playerPath);

  // command and icon as an association of the tool holds them (ANSI code page; null: none). Files
  // are compared as SameFile (finalpath.h) compares them. elsewhere (may be null) gets, for kMoved
  // and kMissing, the file that is not the player's: the command's program, else the icon's.
  VtPlayerMatch Match(const char* command, const char* icon, std::string* elsewhere = nullptr);

 private:
  enum class FileIs { kPlayer, kOther, kMissing };
  FileIs Judge(const std::string& file);

  std::wstring player_;
  std::unordered_map<std::string, FileIs> judged_;  // by the text the registry holds
};
