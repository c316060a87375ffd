#include "changereport.h"

#include "associnfo.h"
#include "assoctext.h"

void VtChangeReport::Changed(int row, const char* ext, DWORD result) {
  if (rowsHeld_.insert(row).second) rows_.push_back(row);
  NotChanged(ext, result);
}

void VtChangeReport::NotChanged(const char* ext, DWORD result) {
  if (result == ERROR_SUCCESS) return;
  const auto noted = failed_.emplace(KeyNameFold(ext), failures_.size());
  if (noted.second) {
    failures_.push_back({ext, result});
    return;
  }
  // A caller may pass over the machine's association it may not unregister, never a later failure.
  Failure& first = failures_[noted.first->second];
  if (first.result == kErrorMachineAssociation) first.result = result;
}
