#include "playerrepair.h"

#include "associnfo.h"
#include "assoctext.h"
#include "playerplace.h"

namespace {

// The hives a change of keys repairs, the machine's first: a user's key may open the machine's
// ProgID, which a repair there brings up to date for both.
std::vector<VtScope> HivesOf(const VtClasses& keys) {
  if (keys.scope() == VtScope::kMachine) return {VtScope::kMachine, VtScope::kUser};
  return {VtScope::kUser};
}

}  // namespace

VtPlayerRepair::VtPlayerRepair(VtClasses& keys, const char* playerPath)
    : keys_(keys), player_(playerPath != nullptr ? playerPath : ""), matcher_(playerPath) {}

bool VtPlayerRepair::FindIn(VtScope hive, const char* ext, VtDrift* drift,
                            std::wstring* typeName, std::string* option) {
  VtAssocInfo entry(ext, hive);
  entry.Load(&In(hive));
  // The machine's association shown to the user's scope is the machine hive's to repair.
  if (entry.associated == 0 || entry.fromMachine != 0) return false;
  std::string earlier;
  const VtPlayerMatch match = matcher_.Match(entry.command, entry.icon, &earlier);
  if (match != VtPlayerMatch::kMoved && match != VtPlayerMatch::kMissing) return false;
  std::string kept;
  *drift = {ext, hive, match, earlier, !ParseOpenCommand(entry.command, &kept)};
  if (typeName != nullptr) *typeName = entry.typeName != nullptr ? entry.typeName : L"";
  if (option != nullptr) *option = kept;
  return true;
}

std::vector<VtDrift> VtPlayerRepair::Find(const char* ext) {
  std::vector<VtDrift> drifts;
  VtDrift drift;
  for (VtScope hive : HivesOf(keys_))
    if (FindIn(hive, ext, &drift, nullptr, nullptr)) drifts.push_back(drift);
  return drifts;
}

std::vector<VtRepaired> VtPlayerRepair::Repair(const char* ext) {
  std::vector<VtRepaired> repaired;
  for (VtScope hive : HivesOf(keys_)) {
    VtDrift drift;
    std::wstring typeName;
    std::string option;
    if (!FindIn(hive, ext, &drift, &typeName, &option)) continue;
    if (drift.handEdited) {
      repaired.push_back({drift, kErrorHandEdited});
      continue;
    }
    // Every user's association names the path every user's session resolves alike.
    const std::string path =
        hive == VtScope::kMachine ? WrittenPlayerPath(player_.c_str()) : player_;
    VtAssocInfo entry(ext, hive);
    repaired.push_back(
        {drift, entry.Register(path.c_str(), typeName.c_str(), option.c_str(), &In(hive))});
  }
  return repaired;
}
