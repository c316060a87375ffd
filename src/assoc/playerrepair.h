// Associations of the tool that no longer open the player: found in each classes hive a change may
// write, and registered again at the player's file as they were, option, type name and "backup"
// kept. The window's question and the command line's repair and check share it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "classes.h"
#include "playermatch.h"

// An association of the tool whose open command someone edited out of the tool's own form: left
// as it is, and named.
const DWORD kErrorHandEdited = 0x20000009;

// One association of the tool, in one hive, whose command or icon names another file than the
// player's.
struct VtDrift {
  std::string ext;      // as asked for
  VtScope hive;
  VtPlayerMatch match;  // kMoved or kMissing
  std::string earlier;  // the file it opens, or shows as its icon, instead of the player's
  bool handEdited;      // its command is not the tool's form: never rewritten
};

// A drift and what registering it again gave: ERROR_SUCCESS, Register's result, or
// kErrorHandEdited.
struct VtRepaired {
  VtDrift drift;
  DWORD result;
};

class VtPlayerRepair {
 public:
  // keys: the change's classes. It reaches the machine's hive and the user's where keys register
  // in the machine's (as unregistering does), else the user's alone: a player that may not stand
  // for every user is never written there. playerPath: the player's file, which may stand in an
  // open command.
  VtPlayerRepair(VtClasses& keys, const char* playerPath);
  VtPlayerRepair(const VtPlayerRepair&) = delete;
  VtPlayerRepair& operator=(const VtPlayerRepair&) = delete;

  // ext's drifts, the machine's hive first; reads only.
  std::vector<VtDrift> Find(const char* ext);
  // Registers ext again at the player in each hive where it drifted, read anew at this moment (the
  // caller holds the change lock): a hive repaired may have repaired the other's view already.
  // Every drift found and its result, the machine's first.
  std::vector<VtRepaired> Repair(const char* ext);

 private:
  // The classes through which hive is read and written: keys for its own scope.
  VtClasses& In(VtScope hive) { return hive == keys_.scope() ? keys_ : user_; }
  // ext's drift in hive, if any; *typeName and *option (may be null) get what registering it
  // again keeps.
  bool FindIn(VtScope hive, const char* ext, VtDrift* drift, std::wstring* typeName,
              std::string* option);

  VtClasses& keys_;
  VtClasses user_{VtScope::kUser, VtScope::kMachine};
  std::string player_;
  VtPlayerMatcher matcher_;
};
