// Whether an association of the tool still opens the player where it is now: a new install in
// another folder, or a portable player on a drive with another letter today, leaves every open
// command naming the old file.
#pragma once

enum class VtPlayerMatch {
  kCurrent,  // the command's program and the icon's file are the player's file
  kMoved,    // either names another file; the command's exists
  kMissing,  // the file the command starts does not exist
  kUnknown,  // no player is known, and the command's file exists
};

// command and icon as an association of the tool holds them (ANSI code page; null: none);
// playerPath: the player's file, null or empty where it is not known. Files are compared as
// SameFile (finalpath.h) compares them.
VtPlayerMatch MatchPlayer(const char* command, const char* icon, const char* playerPath);
