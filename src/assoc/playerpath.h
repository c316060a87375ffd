// The player's path as the tool writes it into every open command, and where that may be written:
// checked before anything is written, whoever gave the path.
#pragma once
#include "classes.h"

enum class VtPathProblem {
  kNone,
  kNotAbsolute,    // no "X:\" or "\\server\" in front: the shell would look for it elsewhere
  kBadCharacter,   // '"', '%', a control character, or ':' other than the drive's
  kNotProgram,     // does not end in ".exe"
  kNoSuchFile,     // no such file, or a folder
};

// Whether path may stand in an open command: absolute, an existing file ending in ".exe", with no
// '"' (it would end the quoted path), no '%' (the shell reads "%1", "%L", ...), no control
// character and no ':' but the drive's (no stream name). Walks by whole characters.
VtPathProblem PlayerPathProblem(const char* path);

// Where a player at exePath is registered for a process that may write rights: the user's classes
// for a player that is not VtPlayerPlace::kShared (playerplace.h), else rights.
VtScope RegisterScope(VtScope rights, const char* exePath);
