// policy: the default associations configuration file for the extensions the tool registered in
// the machine's classes. Windows applies it to every user at logon, so an association of one
// user's classes, whose ProgID the others lack, is left out and named.
#include <windows.h>

#include <string>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "changefailure.h"
#include "clirows.h"
#include "clitexts.h"
#include "commands.h"
#include "defaultapps.h"
#include "extensionrule.h"
#include "ownedtext.h"
#include "policytext.h"
#include "spellednames.h"
#include "uitext.h"
#include "wholefile.h"
#include "widetext.h"

namespace {

// The tool's ProgID of ext as the machine's classes spell its key; as the tool names it where
// there is no such key.
std::wstring MachineProgId(const VtSpelledNames& classes, const char* ext) {
  const VtOwnedText own(ToolProgId(ext));
  return classes.Spelled(WideFrom(own.get(), CP_ACP));
}

// The associations of the rows the file names, each key once; *leftOut gets "ext: why" for each
// row left out. named: the caller named the extensions; otherwise the rows of the player's other
// types are no association at all, and go unmentioned.
std::vector<VtPolicyAssociation> MachineAssociations(const VtAssocRows& rows, bool named,
                                                     std::vector<std::wstring>* leftOut) {
  // Listed in the 64-bit view, where a 32-bit process sees every key of the machine's classes.
  const VtSpelledNames classes(HKEY_LOCAL_MACHINE, L"Software\\Classes", KEY_WOW64_64KEY, false);
  std::vector<VtPolicyAssociation> associations;
  for (int row = 0; row < rows.Count(); ++row) {
    if (!rows.FirstOfItsKey(row)) continue;
    const VtAssocInfo& entry = *rows.Entry(row);
    const std::wstring shown = WideFrom(ShownExtension(entry.ext).c_str(), CP_ACP);
    UINT why = 0;
    // What register refuses now, an earlier version may have written: never handed to every user.
    if (const DWORD problem = ExtensionProblem(entry.ext);
        entry.associated != 0 && problem != ERROR_SUCCESS) {
      leftOut->push_back(shown + L": " + ChangeFailureReason(problem));
      continue;
    }
    if (entry.associated != 0) {
      const std::wstring progId = MachineProgId(classes, entry.ext);
      if (XmlHolds(shown) && XmlHolds(progId)) associations.push_back({shown, progId});
      else why = IDS_CLI_POLICY_NOT_XML;
    } else if (entry.userAssociated != 0) {
      why = IDS_CLI_POLICY_USER_ONLY;
    } else if (named) {
      why = IDS_CLI_POLICY_NOT_REGISTERED;
    }
    if (why != 0) leftOut->push_back(shown + L": " + VtText(why));
  }
  return associations;
}

}  // namespace

int RunPolicy(const VtCliRequest& request, const VtStdStream& err) {
  // The rows list shows for the machine's scope, in its order: there the fields tell whether the
  // machine's classes hold the association, and the user's own separately.
  VtAssocRows rows;
  AddRequestedRows(request, VtScope::kMachine, &rows);
  std::vector<std::wstring> leftOut;
  const std::vector<VtPolicyAssociation> associations =
      MachineAssociations(rows, !request.exts.empty(), &leftOut);

  std::wstring report;
  if (!leftOut.empty()) {
    report = VtText(IDS_CLI_POLICY_LEFT_OUT) + L"\r\n";
    for (const std::wstring& line : leftOut) report += line + L"\r\n";
  }
  if (associations.empty()) {
    err.Write(report + VtText(IDS_CLI_POLICY_NONE) + L"\r\n");
    return kExitSomeNotChanged;
  }
  // Suggested associations are applied once per version, so they need one.
  const int version = request.version == 0 && request.suggested ? 1 : request.version;
  std::string text = PolicyXml(associations, OwnText(kAppName), version, request.suggested);
  if (request.base64) text = Base64(text);
  // The XML is never empty, so neither is its encoding unless the system could not make it.
  const DWORD result = text.empty() ? ERROR_OUTOFMEMORY
                                    : WriteWholeFile(request.file.c_str(), text.data(),
                                                     static_cast<DWORD>(text.size()));
  if (result != ERROR_SUCCESS)
    report += VtText(IDS_CLI_EXPORT_FAILED) + L"\r\n" + ChangeFailureLine(request.file, result) +
              L"\r\n";
  if (report.empty()) return kExitDone;
  err.Write(report);
  return kExitSomeNotChanged;
}
