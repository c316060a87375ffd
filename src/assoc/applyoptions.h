// The two options of an apply, kept in the options file, and the player option that each
// extension's open command gets from them.
#pragma once
#include <string>

class VtIniFile;

struct VtApplyOptions {
  // -1: as the player itself is set; 1: add the file to the playlist ("/a"); 0: do not ("/na").
  int add = -1;
  // For a playlist: 0 adds it to the one open; 1 opens it anew ("/clear").
  int list = 0;
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
