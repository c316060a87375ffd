// The two options of a registration, kept in the options file, and the player option that each
// extension's open command gets from them.
#pragma once
#include <string>

class VtIniFile;

// What opening a file from Explorer does to the player's playlist: what the player itself is set
// to, add it ("/a"), or not ("/na"). The numbers are the options file's.
enum class VtAddOption : int { kAsPlayer = -1, kNo = 0, kYes = 1 };
// What opening a playlist does: add it to the one open, or open it anew ("/clear"). The numbers
// are the options file's.
enum class VtPlaylistOption : int { kAdd = 0, kNew = 1 };

struct VtApplyOptions {
  VtAddOption add = VtAddOption::kAsPlayer;
  VtPlaylistOption list = VtPlaylistOption::kAdd;
};

// The playlist types, which the player plays but does not name: appended to its extension text.
extern const char kPlaylistExtensions[];

// ".vnt" and ".m3u", as the registry compares key names.
bool IsPlaylist(const char* ext);
// The option for ext's open command; "" for none.
const char* PlayerOption(const char* ext, const VtApplyOptions& options);

// The options file of the window program at windowExe: its path with ".ini" for the extension
// (vntassoc.ini beside vntassoc.exe); empty when that would not fit in a path.
std::string OptionsPath(const char* windowExe);
// The options in ini (loaded already); a value out of its range reads as the default.
VtApplyOptions ReadApplyOptions(const VtIniFile& ini);
// Sets both in ini, leaving everything else there; the caller saves.
void WriteApplyOptions(VtIniFile& ini, const VtApplyOptions& options);
