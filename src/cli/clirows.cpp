#include "clirows.h"

#include "assoctext.h"
#include "changefailure.h"
#include "text.h"
#include "widetext.h"

std::string ShownExtension(const char* ext) {
  std::string shown = ext;
  LowerInPlace(&shown[0]);
  return shown;
}

void VtCliRows::Changed(int row, DWORD result) {
  if (result == ERROR_SUCCESS) return;
  if (passOverMachine_ && result == kErrorMachineAssociation) return;
  NoteFailure(Entry(row)->ext, result);
}

void VtCliRows::NoteFailure(const char* ext, DWORD result) {
  if (!noted_.insert(KeyNameFold(ext)).second) return;
  failures_.push_back(ChangeFailureLine(WideFrom(ShownExtension(ext).c_str(), CP_ACP), result));
}

void VtCliRows::Add(std::unique_ptr<VtAssocInfo> entry) {
  held_.insert(KeyNameFold(entry->ext));
  entries_.push_back(std::move(entry));
}

void VtCliRows::AddExtension(const std::string& ext, VtScope scope) {
  const int count = Count();
  AddToChange(ext, scope);
  if (Count() > count) entries_.back()->Load();
}

void VtCliRows::AddToChange(const std::string& ext, VtScope scope) {
  if (held_.count(KeyNameFold(ext.c_str())) != 0) return;
  Add(std::unique_ptr<VtAssocInfo>(new VtAssocInfo(ext.c_str(), scope)));
}
