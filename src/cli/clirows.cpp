#include "clirows.h"

#include <memory>
#include <utility>

#include "associnfo.h"
#include "changefailure.h"
#include "text.h"
#include "widetext.h"

void AddRow(VtAssocRows& rows, const std::string& ext, VtScope scope, bool load) {
  if (rows.Holds(ext.c_str())) return;
  std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(ext.c_str(), scope));
  if (load) entry->Load();
  rows.Add(std::move(entry));
}

std::string ShownExtension(const char* ext) {
  std::string shown = ext;
  LowerInPlace(&shown[0]);
  return shown;
}

std::vector<std::wstring> FailureLines(const VtChangeReport& report, bool passOverMachine) {
  std::vector<std::wstring> lines;
  for (const VtChangeReport::Failure& failure : report.failures()) {
    if (passOverMachine && failure.result == kErrorMachineAssociation) continue;
    lines.push_back(ChangeFailureLine(WideFrom(ShownExtension(failure.ext.c_str()).c_str(), CP_ACP),
                                      failure.result));
  }
  return lines;
}
