// One extension's association with the player: what HKEY_CLASSES_ROOT says about it now, and the
// two changes the tool makes there. Operations report nothing; callers read the fields afterwards.
#pragma once
#include <stdint.h>

class VtRegistry;

class VtAssocInfo {
 public:
  // Copies ext; no registry access. An ext that is empty or lacks the leading "." is never acted on.
  explicit VtAssocInfo(const char* ext);
  ~VtAssocInfo();
  VtAssocInfo(const VtAssocInfo&) = delete;
  VtAssocInfo& operator=(const VtAssocInfo&) = delete;

  // Replaces backup, typeName, command, icon, associated and userChoice with the registry's present
  // state.
  void Load();
  // Points the extension at "vantrel"+ext with the type name, icon and open command, offers that
  // ProgID in "Open with" and registers it for Default Apps. Does nothing for ".exe". If the ProgID
  // key cannot be created the registry is left as it was. option may be empty; typeName is copied
  // before the entry's own texts are released.
  void Register(const char* exePath, const char* typeName, const char* option);
  // Gives the extension back the ProgID in "backup", takes the tool's ProgID out of "Open with"
  // and Default Apps and deletes its tree; then reloads. When the tool's ProgID key is gone, the
  // extension's key is removed if it holds nothing else, and otherwise only its default value is
  // emptied.
  void Unregister();

  // Null means absent, which differs from an empty text.
  char* backup;    // "backup" of the ProgID key named at the last Load; empty if it has none
  char* ext;       // as constructed, leading dot included
  char* typeName;  // ProgID default value
  char* command;   // command line of the default verb
  char* icon;      // DefaultIcon default value
  int32_t associated;  // 1: the extension names the tool's ProgID and that key exists
  // What the user's own choice in Explorer opens, when it names another ProgID than the extension's
  // key does: a name a person recognises. Null when there is no such choice.
  char* userChoice;

 private:
  void ReleaseTypeCommandIcon();
  // Register's ProgID subkeys beneath the open progKey: the icon and the open command, kept in the
  // fields of the same names.
  void WriteIconAndCommand(const VtRegistry& progKey, const char* exePath, const char* option);
  // Clears every field Load replaces.
  void Clear();
  // Load from the point where the extension is known to name progId (null or empty: nothing) on.
  void LoadNamed(const char* progId);
};
