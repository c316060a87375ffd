// Associations of the tool that no longer open the player: found in each classes hive a change may
// write, and pointed at the player's file again as they were, option, type name and "backup" kept.
// The window's question and the command line's repair and check share it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "classes.h"
#include "playermatch.h"
#include "registry.h"

// An association of the tool whose open command someone edited out of the tool's own form: left
// as it is, and named.
const DWORD kErrorHandEdited = 0x20000009;

// One association of the tool, in one hive, whose command or icon names another file than the
// player's.
struct VtDrift {
  VtPlayerMatch match;  // kMoved or kMissing
  std::string earlier;  // the file it opens, or shows as its icon, instead of the player's
  bool handEdited;      // its command is not the tool's form: never rewritten
  // The machine's association that the user's scope shows, where the user has none of their own:
  // only a change in the machine's scope reaches it.
  bool outOfReach;
};

// A drift and what repairing it gave: ERROR_SUCCESS, Register's result, kErrorHandEdited, or
// kErrorMachineAssociation for one out of reach.
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
  // Points ext's association at the player in each hive where it drifted, as found at this moment
  // (the caller holds the change lock): the hive's own ProgID gets the player in its open command
  // and icon, nothing else, and Default Apps follows; a user's extension that opens the machine's
  // ProgID gets one of its own through Register. Every drift found and its result, the machine's
  // first: a hive repaired may have repaired the other's view already.
  std::vector<VtRepaired> Repair(const char* ext);

 private:
  // The classes through which hive is read and written: keys for its own scope.
  VtClasses& In(VtScope hive) { return hive == keys_.scope() ? keys_ : user_; }
  // ext's association of the tool in hive, where it drifted: *drift, and with repaired (may be
  // null: reads only) put right there at once.
  bool Visit(VtScope hive, const char* ext, VtDrift* drift, DWORD* repaired);
  // Visit's repair of the tool's ProgID own in classes' hive, open in *progKey with its icon and
  // command keys (either may be closed): both pointed at the player, then Default Apps. The
  // registry's result, or kErrorNoDefaultApp where only Default Apps failed.
  DWORD Retarget(VtClasses& classes, const char* ext, const char* own, const char* option,
                 VtRegistry* progKey, VtRegistry* iconKey, VtRegistry* commandKey);

  VtClasses& keys_;
  VtClasses user_{VtScope::kUser, VtScope::kMachine};
  std::string player_;
  // The player's path as every user's session resolves it, for the machine's hive.
  std::string written_;
  VtPlayerMatcher matcher_;
};
