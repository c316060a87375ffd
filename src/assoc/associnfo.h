// One extension's association with the player: what the registry says about it now, and the two
// changes the tool makes there, in the classes of the entry's scope (classes.h). Callers read the
// fields afterwards; the changes also say whether they were made.
#pragma once
#include <windows.h>
#include <stdint.h>

#include <optional>
#include <string>

#include "classes.h"
#include "ownedtext.h"

class VtRegistry;

// Unregister's result for a tool's association in the machine's classes that the user's scope may
// not unregister: an error code of the application's own (bit 29), never one of the system's.
const DWORD kErrorMachineAssociation = 0x20000001;
// Unregister's result where Windows kept this user's own choice of the tool's ProgID: the
// extension's key is restored, the ProgID stays for the choice that still opens it.
const DWORD kErrorUserChoiceKept = 0x20000005;
// Register's results for an association made where the player could not be offered in Default
// Apps, in "Open with", or in either: the association stays, and the caller says what is missing.
const DWORD kErrorNoDefaultApp = 0x20000006;
const DWORD kErrorNoOpenWith = 0x20000007;
const DWORD kErrorOfferedNowhere = 0x20000008;
// True for a Register result that left the extension associated: success, or one of the three.
inline bool AssociationMade(DWORD result) {
  return result == ERROR_SUCCESS || result == kErrorNoDefaultApp || result == kErrorNoOpenWith ||
         result == kErrorOfferedNowhere;
}

class VtAssocInfo {
 public:
  // Copies ext; no registry access. An ext that is empty or lacks the leading "." is never acted on.
  explicit VtAssocInfo(const char* ext, VtScope scope = VtScope::kMachine);
  ~VtAssocInfo();
  VtAssocInfo(const VtAssocInfo&) = delete;
  VtAssocInfo& operator=(const VtAssocInfo&) = delete;

  // Replaces backup, typeName, command, icon, associated, fromMachine, userAssociated and
  // userChoice with the registry's present state: the scope's extension key (the user's scope: the
  // user's, else the machine's), and the ProgID it names: in the machine's scope the machine's key,
  // which every user gets; in the user's as Windows merges the two classes. keys: as for Register.
  void Load(VtClasses* keys = nullptr);
  // Writes "vantrel"+ext with the type name, icon, open command and "backup" in the scope's
  // classes, and only when all of it is there points the extension at it; then offers it in "Open
  // with" and Default Apps. Both hives are read first: the "backup" is what the extension named
  // (an earlier version's association through HKEY_CLASSES_ROOT: the other hive's ProgID's), a
  // ProgID of the tool's the extension does not name is made anew, and one the other hive's
  // extension still opens is copied there before it changes. ERROR_SUCCESS, or the error that
  // left the extension as it was (and removed what this call created); for an extension the tool
  // does not register (extensionrule.h) the rule's code, with nothing changed, not even the
  // fields; for an association made where a piece that offers it failed, kErrorNoDefaultApp,
  // kErrorNoOpenWith or kErrorOfferedNowhere, with the fields showing it made. typeName is copied
  // before the entry's own texts are released, so it may be the entry's own. Afterwards every
  // field is fresh but backup, which keeps what the last Load read.
  // keys: the classes of the command this call is one of, kept open from one entry to the next,
  // whose scope and rights the entry takes; null: the entry's scope, opened for this call alone.
  DWORD Register(const char* exePath, const wchar_t* typeName, const char* option,
                 VtClasses* keys = nullptr);
  // In each classes hive the scope may write whose extension key names the tool's ProgID: restores
  // the ProgID in "backup", read where Windows finds the ProgID for this user when the hive
  // has none (a user's extension key then names nothing and goes where it held nothing else, so
  // the machine's shows again). Only then takes the ProgID out of "Open with" and Default Apps and
  // deletes its tree in each such hive, unless an extension key still needs it. Before the
  // ProgID goes, so does this user's own choice of it in Explorer (choicekeys.h), unless an
  // association is kept. Then reloads. ERROR_SUCCESS, the error that kept an association,
  // kErrorUserChoiceKept where Windows refused to forget the choice (the ProgID and Default Apps'
  // entry stay for it), or kErrorMachineAssociation for one only an administrator may
  // unregister. keys as for Register.
  DWORD Unregister(VtClasses* keys = nullptr);

  // Null means absent, which differs from an empty text.
  char* backup;    // "backup" of the ProgID key named at the last Load; empty if it has none
  char* ext;       // as constructed, leading dot included
  // ProgID default value, in UTF-16 as stored: a name in any script survives being registered
  // again on a system whose code page lacks its characters.
  wchar_t* typeName;
  char* command;   // command line of the default verb
  char* icon;      // DefaultIcon default value
  int32_t associated;  // 1: the extension names the tool's ProgID and that key exists
  // 1 when the user's scope shows the machine's extension key: the user has no association of
  // their own there, and only an administrator may change the one shown.
  int32_t fromMachine;
  // 1 when, in the machine's scope, the user's own extension key names the tool's ProgID and that
  // ProgID opens for this user: an association of the tool that Unregister removes as well, though
  // the fields show the machine's.
  int32_t userAssociated;
  // As constructed; a Register or Unregister given a command's classes takes their scope.
  VtScope scope;
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
  // userNamed: in the machine's scope, what the user's own extension key names when that is known
  // already (null inside: nothing); without it the key is read.
  void LoadNamed(VtClasses& classes, const char* progId,
                 std::optional<const char*> userNamed = std::nullopt);
  // What Register writes into the ProgID.
  struct ProgIdTexts {
    const wchar_t* typeName;
    const std::wstring* captured;  // the "backup"; null: the one there stays
    const char* exePath;
    const char* option;
  };
  // Register's ProgID beneath the open progKey: the type name, the "backup" when captured is not
  // null, the icon and the open command, each write checked; icon and command kept in the fields
  // once all are written. The registry's result.
  LONG WriteProgId(VtRegistry& progKey, const ProgIdTexts& texts);
  // Register's ProgID key of the scope, open in *progKey, is one that the scope's extension does
  // not name: left by another run, its "backup" was captured for nothing being made now. It is
  // deleted and created again (*created), after the other hive, where its extension (otherNamed)
  // still opens this ProgID for its "backup", got a copy of its own. The registry's result.
  LONG MakeAnew(VtClasses& classes, const char* own, const std::wstring& otherNamed,
                VtRegistry* progKey, bool* created);
  // Copies the other hive's ProgID tree own, "backup" and all, into hive. The registry's result;
  // on a failure nothing of it is left.
  LONG CarryTo(VtClasses& classes, VtScope hive, const char* own);
  // Register's last step that the association needs: points the extension's key (extKey where it
  // is open for writing, else created, and left open) at own; on a failure removes a key it
  // created.
  LONG NameProgId(VtClasses& classes, const char* own, VtRegistry& extKey);
  // A Register that left the extension as it was: the fields show the registry again.
  DWORD Failed(VtClasses& classes, LONG error);
  // What unregistering did in one classes hive.
  struct HiveUnregistration {
    LONG result = ERROR_SUCCESS;  // the error that kept the tool's association there
    bool names = false;           // the extension key still names the tool's ProgID
    bool restored = false;        // it named the tool's ProgID and was restored
    bool known = false;           // named holds what the extension key names now
    VtOwnedText named;            // null: nothing, or no key
  };
  // Unregister's first step in hive: the extension key there, where it names own, gets back what
  // it named before.
  void RestoreIn(VtClasses& classes, VtScope hive, const char* own, HiveUnregistration* unreg);
  // Its second, where the first succeeded: Default Apps' entry and own's tree in hive go, unless
  // an extension key of the other hive still opens that tree (read into unreg where this process
  // may not write that hive). The registry's result.
  LONG RemoveProgIdIn(VtClasses& classes, VtScope hive, const char* own,
                      HiveUnregistration (&unreg)[2]);
  // Unregister's last step: the fields as the registry shows them now, from what unreg knows.
  void Reload(VtClasses& classes, const HiveUnregistration (&unreg)[2]);
};
