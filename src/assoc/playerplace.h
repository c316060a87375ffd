// Where the player's file really lies, judged by its final path (links, junctions, short names and
// shares to this machine resolved): whether an open command for every user may point at it.
#pragma once
#include <string>

enum class VtPlayerPlace {
  kShared,         // outside every user's folder; only its owner and administrators may change it
  kPrivateFolder,  // inside the profiles folder or the temporary folder: a place of one user's
  kReplaceable,    // other users may change the file or a folder above it, or that cannot be read
  // on a drive of this session alone (a subst or a mapped network drive), or not on a local fixed
  // disk: other users would find another file there, or none
  kSessionDrive,
};

// The place of the existing file at exePath (ANSI code page); kReplaceable when it cannot be
// opened. Opens the file and each folder up to its volume's root.
VtPlayerPlace PlayerPlace(const char* exePath);

// Whether dosDevice, what QueryDosDevice gives for a drive ("X:"), is a subst's: a path
// ("\??\C:\Tools"), where a disk's is a device ("\Device\HarddiskVolume2").
bool IsSubstTarget(const wchar_t* dosDevice);

// The path an open command for every user names: the file's final path in its long form ("C:\..."),
// the one PlayerPlace judged, never the spelling of this session (a drive letter of its own, a
// short name a reinstall changes). exePath itself where that path cannot be had or spelled
// exactly in the ANSI code page.
std::string WrittenPlayerPath(const char* exePath);
