#include "rowrepair.h"

#include <string>

#include "associnfo.h"
#include "assoctext.h"

int CountRepairable(const VtAssocRows& rows, const char* exePath, VtPlayerMatcher& matcher,
                    VtClasses& keys) {
  VtPlayerRepair repair(keys, exePath);
  int count = 0;
  for (int row = 0; row < rows.Count(); ++row) {
    if (!rows.FirstOfItsKey(row)) continue;
    const VtAssocInfo& entry = *rows.Entry(row);
    std::string option;
    if (entry.userAssociated != 0) {
      // In the machine's scope the row shows the machine's; the user's own is read for itself.
      for (const VtDrift& drift : repair.Find(entry.ext)) {
        if (!drift.handEdited) {
          ++count;
          break;
        }
      }
    } else if (entry.associated != 0 && entry.fromMachine == 0 &&
               ParseOpenCommand(entry.command, &option)) {
      if (OpensElsewhere(matcher.Match(entry.command, entry.icon))) ++count;
    }
  }
  return count;
}

VtChangeReport RepairRows(VtAssocRows& rows, const char* exePath, VtClasses& keys) {
  VtChangeReport report;
  VtPlayerRepair repair(keys, exePath);
  for (int row = 0; row < rows.Count(); ++row) {
    if (!rows.FirstOfItsKey(row)) continue;
    bool changed = false;
    DWORD result = ERROR_SUCCESS;
    for (const VtRepaired& one : repair.Repair(rows.Entry(row)->ext)) {
      // What only an administrator's change reaches is no change the rows asked for.
      if (one.drift.outOfReach) continue;
      changed = true;
      if (result == ERROR_SUCCESS) result = one.result;
    }
    if (!changed) continue;
    for (int same : rows.RowsOf(rows.Entry(row)->ext)) {
      rows.Entry(same)->Load(&keys);
      report.Changed(same, rows.Entry(same)->ext, result);
    }
  }
  return report;
}
