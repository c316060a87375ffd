// One extension's association with the player: what the registry says about it now, and the two
// changes the tool makes there, in the classes of the entry's scope (classes.h). Callers read the
// fields afterwards; the changes also say whether they were made.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "classes.h"
#include "ownedtext.h"

class VtRegistry;

// Unregister's result for a tool's association in the machine's classes that the user's scope may
// not undo: an error code of the application's own (bit 29), never one of the system's.
const DWORD kErrorMachineAssociation = 0x20000001;

class VtAssocInfo {
 public:
  // Copies ext; no registry access. An ext that is empty or lacks the leading "." is never acted on.
  explicit VtAssocInfo(const char* ext, VtScope scope = VtScope::kMachine);
  ~VtAssocInfo();
  VtAssocInfo(const VtAssocInfo&) = delete;
  VtAssocInfo& operator=(const VtAssocInfo&) = delete;

  // Replaces backup, typeName, command, icon, associated, fromMachine and userChoice with the
  // registry's present state: the scope's extension key (the user's scope: the user's, else the
  // machine's), and the ProgID it names as Windows merges the two classes.
  void Load();
  // Writes "vantrel"+ext with the type name, icon, open command and "backup" in the scope's
  // classes, and only when all of it is there points the extension at it; then offers it in "Open with" and
  // Default Apps. Does nothing for ".exe". ERROR_SUCCESS, or the error that left the extension as
  // it was (and removed what this call created). typeName is copied before the entry's own texts
  // are released. keys: the classes keys of the command this call is one of, kept open from one
  // entry to the next (used where its scope is the entry's); null: opened for this call alone.
  DWORD Register(const char* exePath, const char* typeName, const char* option,
                 VtClasses* keys = nullptr);
  // In each classes hive the scope may write whose extension key names the tool's ProgID: gives it
  // back the ProgID in "backup" (an extension key of the user's that held nothing else goes, so
  // the machine's shows again), then takes the ProgID out of "Open with" and Default Apps and
  // deletes its tree once nothing names it. Then reloads. ERROR_SUCCESS, the error that kept an
  // association, or kErrorMachineAssociation for one only an administrator may undo. keys as for
  // Register.
  DWORD Unregister(VtClasses* keys = nullptr);

  // Null means absent, which differs from an empty text.
  char* backup;    // "backup" of the ProgID key named at the last Load; empty if it has none
  char* ext;       // as constructed, leading dot included
  char* typeName;  // ProgID default value
  char* command;   // command line of the default verb
  char* icon;      // DefaultIcon default value
  int32_t associated;  // 1: the extension names the tool's ProgID and that key exists
  // 1 when the user's scope shows the machine's extension key: the user has no association of
  // their own there, and only an administrator may change the one shown.
  int32_t fromMachine;
  VtScope scope;       // as constructed
  // What the user's own choice in Explorer opens, when it names another ProgID than the extension's
  // key does: a name a person recognises. Null when there is no such choice.
  char* userChoice;

 private:
  void ReleaseTypeCommandIcon();
  // Clears every field Load replaces.
  void Clear();
  // Load through classes, whose keys the caller has open already.
  void LoadWith(VtClasses& classes);
  // Load from the point where the extension is known to name progId (null or empty: nothing) on.
  void LoadNamed(VtClasses& classes, const char* progId);
  // Register's ProgID beneath the open progKey: the type name, the "backup" when captured is not
  // null, the icon and the open command, each write checked; icon and command kept in the fields
  // once all are written. The registry's result.
  LONG WriteProgId(VtRegistry& progKey, const char* typeName, const char* captured,
                   const char* exePath, const char* option);
  // A Register that left the extension as it was: the fields show the registry again.
  DWORD Failed(VtClasses& classes, LONG error);
  // Unregister in one classes hive: ERROR_SUCCESS when nothing of the tool's is left in effect
  // there, else the registry's result that kept it. *gaveBack: the extension key there named the
  // tool's ProgID and now names *given (null: nothing).
  LONG UnregisterIn(VtClasses& classes, VtScope hive, bool* gaveBack, VtOwnedText* given);
};
