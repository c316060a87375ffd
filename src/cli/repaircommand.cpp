// repair and check: the tool's associations against the player's file where it is now, for a
// portable player or a new install in another folder, and for a fleet's detect-and-remediate pair.
#include <windows.h>

#include <string>
#include <vector>

#include "associnfo.h"
#include "clitexts.h"
#include "commands.h"
#include "playermatch.h"
#include "playerrepair.h"
#include "rowchanges.h"
#include "uitext.h"
#include "usersid.h"
#include "widetext.h"

namespace {


// The player's path and the scope repair and check take, as register takes them (answer: the
// running player's, where it was asked). False after saying why on err, with *code:
// kExitBadRequest for a player missing or that may not stand for the scope insisted on. say:
// whether a scope taken unasked is said (repair's, which writes).
bool PlayerAndScope(const VtCliRequest& request, const PlayerAnswer& answer,
                    const VtStdStream& err, bool say, std::string* exePath, VtScope* scope,
                    int* code) {
  std::wstring why, narrowed;
  *exePath = PlayerPathOf(request, answer, &why);
  *code = kExitBadRequest;
  if (exePath->empty() || !RegisterScopeOf(request, *exePath, scope, &why, &narrowed)) {
    Refuse(err, why);
    return false;
  }
  return !say || SayNarrowed(narrowed, UserSidText(), err) == kExitDone;
}

// The extensions repair looks at: the named ones, else every association of the tool in the
// scope's classes, each key once.
std::vector<std::string> RepairExtensions(const VtCliRequest& request, VtScope scope) {
  if (!request.exts.empty()) return request.exts;
  VtAssocRows rows;
  FillWalked(rows, nullptr, scope);
  std::vector<std::string> exts;
  for (int row = 0; row < rows.Count(); ++row)
    if (rows.FirstOfItsKey(row)) exts.push_back(rows.Entry(row)->ext);
  return exts;
}

// "ext: what", one line of check's problems.
std::wstring Problem(const char* ext, UINT what, const std::string& file = std::string()) {
  return AnsiWide(ShownExtension(ext) + ": ") + VtText(what) + AnsiWide(file) + L"\r\n";
}

std::wstring DriftProblem(const char* ext, VtPlayerMatch match, const std::string& file) {
  const UINT what = match == VtPlayerMatch::kMissing ? IDS_CLI_CHECK_MISSING : IDS_CLI_CHECK_MOVED;
  return Problem(ext, what, file);
}

}  // namespace

int RunRepair(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err) {
  std::string exePath;
  VtScope scope;
  int code;
  const PlayerAnswer answer = request.playerPath.empty() ? AskPlayer() : PlayerAnswer();
  if (!PlayerAndScope(request, answer, err, true, &exePath, &scope, &code)) return code;
  VtChangeReport report;
  // One line per extension and earlier file: both hives that opened one place make one line.
  std::string changed, line;
  {
    VtClasses keys(scope);
    VtChangeLock lock;
    if (const int locked = LockForChange(keys, &lock, err); locked != kExitDone) return locked;
    VtPlayerRepair repair(keys, exePath.c_str());
    for (const std::string& ext : RepairExtensions(request, scope)) {
      for (const VtRepaired& one : repair.Repair(ext.c_str())) {
        if (one.result != ERROR_SUCCESS) report.NotChanged(ext.c_str(), one.result);
        if (!AssociationMade(one.result)) continue;
        const std::string next =
            ShownExtension(ext.c_str()) + "\t" + one.drift.earlier + "\t" + exePath + "\r\n";
        if (next != line) changed += next;
        line = next;
      }
    }
  }
  if (changed.empty()) return ReportFailures(report, err);
  NotifyAssociationsChanged();
  const bool written = out.Write(AnsiWide(changed));
  const int failures = ReportFailures(report, err);
  return written ? failures : kExitSomeNotChanged;
}

int RunCheck(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err) {
  std::string exePath;
  VtScope scope;
  int code;
  // The running player names the player's file, or without extensions the ones it plays.
  const bool ask = request.playerPath.empty() || request.exts.empty();
  const PlayerAnswer answer = ask ? AskPlayer() : PlayerAnswer();
  if (!PlayerAndScope(request, answer, err, false, &exePath, &scope, &code)) return code;
  VtAssocRows rows;
  // Every extension named, else the player's, must be the tool's; any other row only where it is.
  int required = static_cast<int>(request.exts.size());
  if (request.exts.empty()) {
    required = FillWalked(rows, answer.extensions.get(), scope);
  } else {
    for (const std::string& ext : request.exts) AddRow(rows, ext, scope, true);
  }
  VtClasses keys(scope);
  VtPlayerRepair repair(keys, exePath.c_str());
  VtPlayerMatcher matcher(exePath.c_str());
  std::wstring problems;
  int associated = 0;
  for (int row = 0; row < rows.Count(); ++row) {
    if (!rows.FirstOfItsKey(row)) continue;
    const VtAssocInfo& entry = *rows.Entry(row);
    if (entry.associated == 0) {
      if (row < required) problems += Problem(entry.ext, IDS_CLI_CHECK_NOT_TOOL);
      continue;
    }
    ++associated;
    std::string elsewhere;
    const VtPlayerMatch match = matcher.Match(entry.command, entry.icon, &elsewhere);
    if (match != VtPlayerMatch::kCurrent) {
      problems += DriftProblem(entry.ext, match, elsewhere);
      continue;
    }
    // The row shows the machine's; the user's own association of the tool may still drift.
    const std::vector<VtDrift> drifts =
        entry.userAssociated != 0 ? repair.Find(entry.ext) : std::vector<VtDrift>();
    if (!drifts.empty()) problems += DriftProblem(entry.ext, drifts[0].match, drifts[0].earlier);
  }
  if (associated == 0 && problems.empty()) problems = VtText(IDS_CLI_CHECK_NONE) + L"\r\n";
  if (!problems.empty()) {
    err.Write(problems);
    return kExitSomeNotChanged;
  }
  return out.Write(VtText(IDS_CLI_CHECK_OK) + AnsiWide(exePath) + L"\r\n") ? kExitDone
                                                                      : kExitSomeNotChanged;
}
