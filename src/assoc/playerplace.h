// Where the player's file really lies, judged by its final path (links, junctions, short names and
// shares to this machine resolved): whether an open command for every user may point at it.
#pragma once

enum class VtPlayerPlace {
  kShared,         // outside every user's folder; only its owner and administrators may change it
  kPrivateFolder,  // inside the profiles folder or the temporary folder: a place of one user's
  kReplaceable,    // other users may change the file or a folder above it, or that cannot be read
};

// The place of the existing file at exePath (ANSI code page); kReplaceable when it cannot be
// opened. Opens the file and each folder up to its volume's root.
VtPlayerPlace PlayerPlace(const char* exePath);
