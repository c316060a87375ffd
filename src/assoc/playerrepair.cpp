#include "playerrepair.h"

#include "associnfo.h"
#include "assockeys.h"
#include "assoctext.h"
#include "defaultapps.h"
#include "playerplace.h"
#include "registry.h"

namespace {

// The hives a change of keys repairs, the machine's first: a user's key may open the machine's
// ProgID, which a repair there brings up to date for both.
std::vector<VtScope> HivesOf(const VtClasses& keys) {
  if (keys.scope() == VtScope::kMachine) return {VtScope::kMachine, VtScope::kUser};
  return {VtScope::kUser};
}

// Sets the open key's default value to text; the registry's result.
LONG WriteDefault(VtRegistry& key, const VtOwnedText& text) {
  if (!text) return ERROR_NOT_ENOUGH_MEMORY;
  return key.WriteString("", text.get()) ? ERROR_SUCCESS : key.error();
}

}  // namespace

VtPlayerRepair::VtPlayerRepair(VtClasses& keys, const char* playerPath)
    : keys_(keys),
      player_(playerPath != nullptr ? playerPath : ""),
      written_(keys.scope() == VtScope::kMachine ? WrittenPlayerPath(player_.c_str()) : player_),
      matcher_(playerPath) {}

bool VtPlayerRepair::Visit(VtScope hive, const char* ext, VtDrift* drift, DWORD* repaired) {
  VtClasses& classes = In(hive);
  const VtOwnedText own(ToolProgId(ext));
  if (!own) return false;
  VtOwnedText named(NamedIn(classes, hive, ext));
  // Where the user names nothing, the machine's association is what opens for them.
  const bool outOfReach = !named && hive == VtScope::kUser && keys_.scope() == VtScope::kUser;
  if (outOfReach) named = NamedIn(classes, VtScope::kMachine, ext);
  if (!named || !SameKeyName(named.get(), own.get())) return false;
  // The ProgID Windows opens for it: the hive's own, else (for the user's) the machine's.
  const VtScope found = outOfReach ? VtScope::kMachine : hive;
  const REGSAM access = repaired != nullptr && !outOfReach ? kReadWrite : KEY_READ;
  VtRegistry progKey;
  LONG rc = classes.Open(&progKey, found, own.get(), access);
  if (rc == ERROR_ACCESS_DENIED && access != KEY_READ)
    rc = classes.Open(&progKey, found, own.get(), KEY_READ);
  const bool ownKey = rc == ERROR_SUCCESS;
  if (!ownKey && (found != VtScope::kUser ||
                  classes.Open(&progKey, VtScope::kMachine, own.get(), KEY_READ) != ERROR_SUCCESS))
    return false;
  VtRegistry iconKey, commandKey;
  OpenIconAndCommand(progKey, ownKey ? access : KEY_READ, &iconKey, &commandKey);
  const VtOwnedText command(
      commandKey.key() != nullptr ? CopyIfNotEmpty(commandKey.ReadString("")) : nullptr);
  const VtOwnedText icon(iconKey.key() != nullptr ? CopyIfNotEmpty(iconKey.ReadString(""))
                                                  : nullptr);
  std::string earlier, option;
  const VtPlayerMatch match = matcher_.Match(command.get(), icon.get(), &earlier);
  if (!OpensElsewhere(match)) return false;
  *drift = {match, earlier, !ParseOpenCommand(command.get(), &option), outOfReach};
  if (repaired == nullptr) return true;
  if (outOfReach) {
    *repaired = kErrorMachineAssociation;
  } else if (drift->handEdited) {
    *repaired = kErrorHandEdited;
  } else if (!ownKey) {
    // The machine's ProgID opens for this user's extension: the user's classes get their own,
    // its "backup" carried over, as registering does.
    const std::wstring typeName = progKey.ReadWide("");
    progKey.Close();
    VtAssocInfo entry(ext, hive);
    *repaired = entry.Register(player_.c_str(), typeName.c_str(), option.c_str(), &classes);
  } else {
    *repaired = Retarget(classes, ext, own.get(), option.c_str(), &progKey, &iconKey, &commandKey);
  }
  return true;
}

DWORD VtPlayerRepair::Retarget(VtClasses& classes, const char* ext, const char* own,
                               const char* option, VtRegistry* progKey, VtRegistry* iconKey,
                               VtRegistry* commandKey) {
  const std::string& path = classes.scope() == VtScope::kMachine ? written_ : player_;
  // The command first: it decides what opens. A ProgID of the tool's form holds one.
  LONG rc = commandKey->key() != nullptr
                ? WriteDefault(*commandKey, OpenCommand(path.c_str(), option))
                : ERROR_FILE_NOT_FOUND;
  if (rc == ERROR_SUCCESS && iconKey->key() == nullptr &&
      !iconKey->Create(progKey->key(), "DefaultIcon", KEY_WRITE))
    rc = iconKey->error();
  if (rc == ERROR_SUCCESS) rc = WriteDefault(*iconKey, IconLocation(path.c_str(), ext));
  if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
  // Default Apps shows the player's icon from its path; the association stands without it.
  return RegisterDefaultApp(classes, ext, own, path.c_str()) == ERROR_SUCCESS ? ERROR_SUCCESS
                                                                              : kErrorNoDefaultApp;
}

std::vector<VtDrift> VtPlayerRepair::Find(const char* ext) {
  std::vector<VtDrift> drifts;
  VtDrift drift;
  for (VtScope hive : HivesOf(keys_))
    if (Visit(hive, ext, &drift, nullptr)) drifts.push_back(drift);
  return drifts;
}

std::vector<VtRepaired> VtPlayerRepair::Repair(const char* ext) {
  std::vector<VtRepaired> repaired;
  VtDrift drift;
  DWORD result = ERROR_SUCCESS;
  for (VtScope hive : HivesOf(keys_))
    if (Visit(hive, ext, &drift, &result)) repaired.push_back({drift, result});
  return repaired;
}
