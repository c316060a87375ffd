// list, register, unregister and scope: the window's fill and commands over the command line's
// rows; and the steps the other commands share with them (the player's path, the scope, the lock).
#include "commands.h"

#include <windows.h>

#include <string>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "changefailure.h"
#include "changelock.h"
#include "clirows.h"
#include "clitexts.h"
#include "inifile.h"
#include "leftovers.h"
#include "library.h"
#include "playeranswer.h"
#include "playermatch.h"
#include "playerpath.h"
#include "playerplace.h"
#include "rowchanges.h"
#include "text.h"
#include "uitext.h"
#include "usersid.h"
#include "widetext.h"

namespace {

const char kHeader[] = "extension\tstate\ttype\tcommand\ticon\twindows\tplayer\r\n";
const char kWindowProgram[] = "vntassoc.exe";
// Why a player's path may not stand in an open command, before the path itself.
UINT PathProblemText(VtPathProblem problem) {
  switch (problem) {
    case VtPathProblem::kNotAbsolute:
      return IDS_CLI_PATH_NOT_ABSOLUTE;
    case VtPathProblem::kBadCharacter:
      return IDS_CLI_PATH_BAD_CHARACTER;
    case VtPathProblem::kNotProgram:
      return IDS_CLI_PATH_NOT_PROGRAM;
    case VtPathProblem::kNoSuchFile:
    case VtPathProblem::kNone:
      break;
  }
  return IDS_CLI_PATH_NO_FILE;
}

// Why a player in place may not stand for every user, before its path.
UINT PlaceText(VtPlayerPlace place) {
  switch (place) {
    case VtPlayerPlace::kPrivateFolder:
      return IDS_CLI_PRIVATE_PLAYER;
    case VtPlayerPlace::kSessionDrive:
      return IDS_CLI_SESSION_PLAYER;
    case VtPlayerPlace::kReplaceable:
    case VtPlayerPlace::kShared:
      break;
  }
  return IDS_CLI_REPLACEABLE_PLAYER;
}


// A registry text in one tab-separated column: its tabs and line ends would start another.
std::string Column(const char* text) {
  std::string column = text != nullptr ? text : "";
  if (!column.empty()) ControlsToSpaces(&column[0]);
  return column;
}
std::wstring Column(const wchar_t* text) {
  std::wstring column = text != nullptr ? text : L"";
  for (wchar_t& c : column)
    if (c == L'\t' || c == L'\r' || c == L'\n') c = L' ';
  return column;
}

// Where a row of the tool's opens the player: current, moved, missing or unknown; empty for
// another program's row or none.
const char* PlayerColumn(const VtAssocInfo& entry, VtPlayerMatcher& matcher) {
  if (entry.associated == 0) return "";
  switch (matcher.Match(entry.command, entry.icon)) {
    case VtPlayerMatch::kCurrent:
      return "current";
    case VtPlayerMatch::kMoved:
      return "moved";
    case VtPlayerMatch::kMissing:
      return "missing";
    case VtPlayerMatch::kUnknown:
      break;
  }
  return "unknown";
}

const char* StateOf(const VtAssocInfo& entry) {
  if (entry.associated != 0) return "tool";
  const bool named = entry.typeName != nullptr || entry.command != nullptr || entry.icon != nullptr;
  return named ? "other" : "none";
}

// The options the window program beside this one keeps, as it left them; the command line's own
// take their place.
VtApplyOptions OptionsFor(const VtCliRequest& request) {
  VtIniFile ini;
  ini.Load(OptionsPath((std::string(exeFolder) + kWindowProgram).c_str()).c_str());
  VtApplyOptions options = ReadApplyOptions(ini);
  options.add = request.add.value_or(options.add);
  options.list = request.list.value_or(options.list);
  return options;
}

// Fills rows with the rows the window shows, whose associations register brings up to the options
// as the window's 適用 does; the pieces it registers: /all's each key once, else the request's.
std::vector<std::string> FillToRegister(const VtCliRequest& request, const PlayerAnswer& answer,
                                        VtScope scope, VtAssocRows* rows) {
  const int players = FillWalked(*rows, answer.extensions.get(), scope);
  if (!request.all) {
    for (const std::string& ext : request.exts) AddRow(*rows, ext, scope, false);
    return request.exts;
  }
  // Each key once: a piece registers every row of its key.
  std::vector<std::string> pieces;
  for (int row = 0; row < players; ++row)
    if (rows->FirstOfItsKey(row)) pieces.push_back(rows->Entry(row)->ext);
  return pieces;
}

}  // namespace

int Refuse(const VtStdStream& err, const std::wstring& why) {
  err.Write(why + L"\r\n\r\n" + VtText(IDS_CLI_USAGE));
  return kExitBadRequest;
}

bool ScopeOf(const VtCliRequest& request, VtScope* scope, std::wstring* why,
             std::wstring* narrowed) {
  const VtScope rights = WritableScope();
  *scope = request.scope.value_or(rights);
  if (*scope == VtScope::kMachine && rights != VtScope::kMachine) {
    *why = VtText(IDS_CLI_MACHINE_REFUSED);
    return false;
  }
  if (narrowed != nullptr)
    *narrowed = !request.scope && rights == VtScope::kUser ? VtText(IDS_CLI_MACHINE_REFUSED) : L"";
  return true;
}

int SayNarrowed(const std::wstring& narrowed, const std::string& userSid, const VtStdStream& err) {
  if (narrowed.empty()) return kExitDone;
  if (IsServiceAccountSid(userSid))
    return Refuse(err, VtText(IDS_CLI_SERVICE_ACCOUNT) + L"\r\n" + narrowed);
  err.Write(VtText(IDS_CLI_NARROWED) + narrowed + L"\r\n");
  return kExitDone;
}

bool AddRequestedRows(const VtCliRequest& request, VtScope scope, VtAssocRows* rows,
                      std::string* playerPath) {
  if (!request.exts.empty()) {
    for (const std::string& ext : request.exts) AddRow(*rows, ext, scope, true);
    return true;
  }
  const PlayerAnswer answer = AskPlayer();
  if (playerPath != nullptr && answer.exePath &&
      PlayerPathProblem(answer.exePath.get()) == VtPathProblem::kNone)
    *playerPath = answer.exePath.get();
  FillWalked(*rows, answer.extensions.get(), scope);
  return static_cast<bool>(answer.extensions);
}

int ReportFailures(const VtChangeReport& report, const VtStdStream& err, bool passOverMachine) {
  const std::vector<std::wstring> lines = FailureLines(report, passOverMachine);
  if (lines.empty()) return kExitDone;
  std::wstring text = ChangeFailureHeading() + L"\r\n";
  for (const std::wstring& line : lines) text += line + L"\r\n";
  err.Write(text);
  return kExitSomeNotChanged;
}

std::string PlayerPathOf(const VtCliRequest& request, const PlayerAnswer& answer,
                         std::wstring* why) {
  std::string exePath = request.playerPath;
  if (exePath.empty()) {
    if (answer.unverified) {
      *why = VtText(IDS_CLI_PLAYER_UNVERIFIED);
      return std::string();
    }
    if (answer.exePath == nullptr) {
      *why = VtText(IDS_CLI_NO_PLAYER);
      return std::string();
    }
    exePath = answer.exePath.get();
  }
  const VtPathProblem problem = PlayerPathProblem(exePath.c_str());
  if (problem == VtPathProblem::kNone) return exePath;
  *why = VtText(PathProblemText(problem)) + AnsiWide(exePath);
  return std::string();
}

bool RegisterScopeOf(const VtCliRequest& request, const std::string& exePath, VtScope* scope,
                     std::wstring* why, std::wstring* narrowed) {
  if (!ScopeOf(request, scope, why, narrowed)) return false;
  if (exePath.empty() || *scope != VtScope::kMachine) return true;
  const VtPlayerPlace place = PlayerPlace(exePath.c_str());
  if (place == VtPlayerPlace::kShared) return true;
  *scope = VtScope::kUser;
  const std::wstring reason = VtText(PlaceText(place)) + AnsiWide(exePath);
  if (request.scope != VtScope::kMachine) {
    if (narrowed != nullptr) *narrowed = reason;
    return true;
  }
  *why = reason;
  return false;
}

int FillWalked(VtAssocRows& rows, const char* extensions, VtScope scope) {
  VtClassesMemo classes;
  return FillRows(rows, extensions, scope, extensions == nullptr ? &classes : nullptr);
}

int LockForChange(const VtClasses& keys, VtChangeLock* lock, const VtStdStream& err) {
  VtLockResult result = lock->Acquire(keys, 0);
  if (result == VtLockResult::kBusy) {
    err.Write(VtText(IDS_CLI_WAITING) + L"\r\n");
    result = lock->Acquire(keys, kChangeLockWaitMs);
  }
  if (result == VtLockResult::kTaken) return kExitDone;
  const UINT why = result == VtLockResult::kForeignOwner ? IDS_CLI_LOCK_FOREIGN
                   : result == VtLockResult::kBusy       ? IDS_CLI_BUSY
                                                         : IDS_CLI_LOCK_FAILED;
  err.Write(VtText(why) + L"\r\n");
  return result == VtLockResult::kBusy ? kExitBusy : kExitSomeNotChanged;
}

int RunList(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err) {
  VtScope scope;
  std::wstring why;
  if (!ScopeOf(request, &scope, &why)) return Refuse(err, why);
  VtAssocRows rows;
  // The player's file: /player's, else the running player's where list asks it anyway.
  std::string player = request.playerPath;
  AddRequestedRows(request, scope, &rows, player.empty() ? &player : nullptr);
  VtPlayerMatcher matcher(player.c_str());
  std::wstring text = AnsiWide(kHeader);
  for (int row = 0; row < rows.Count(); ++row) {
    const VtAssocInfo& entry = *rows.Entry(row);
    // The type name is UTF-16 already, and may hold what the ANSI code page lacks.
    text += AnsiWide(ShownExtension(entry.ext) + "\t" + StateOf(entry) + "\t") +
            Column(entry.typeName) +
            AnsiWide("\t" + Column(entry.command) + "\t" + Column(entry.icon) + "\t" +
                 Column(entry.userChoice) + "\t" + PlayerColumn(entry, matcher) + "\r\n");
  }
  return out.Write(text) ? kExitDone : kExitSomeNotChanged;
}

int RunRegister(const VtCliRequest& request, const VtStdStream& err) {
  // Everything is checked before the first change: a script learns of a wrong player at once.
  const PlayerAnswer answer = AskPlayer();
  std::wstring why;
  const std::string exePath = PlayerPathOf(request, answer, &why);
  if (exePath.empty()) return Refuse(err, why);
  if (request.all && answer.extensions == nullptr)
    return Refuse(err, VtText(IDS_CLI_NO_PLAYER_EXTENSIONS));
  VtScope scope;
  std::wstring narrowed;
  if (!RegisterScopeOf(request, exePath, &scope, &why, &narrowed)) return Refuse(err, why);
  if (SayNarrowed(narrowed, UserSidText(), err) != kExitDone) return kExitBadRequest;

  VtChangeReport report;
  {
    VtClasses keys(scope);
    // From the first read of the rows to the last write.
    VtChangeLock lock;
    if (const int locked = LockForChange(keys, &lock, err); locked != kExitDone) return locked;
    VtAssocRows rows;
    const std::vector<std::string> pieces = FillToRegister(request, answer, scope, &rows);
    report = RegisterRows(rows, exePath.c_str(), pieces, request.typeName, exeFolder,
                          OptionsFor(request), &keys);
  }
  NotifyAssociationsChanged();
  return ReportFailures(report, err);
}

int RunUnregister(const VtCliRequest& request, const VtStdStream& err) {
  VtScope scope;
  std::wstring why, narrowed;
  if (!ScopeOf(request, &scope, &why, &narrowed)) return Refuse(err, why);
  if (SayNarrowed(narrowed, UserSidText(), err) != kExitDone) return kExitBadRequest;
  VtAssocRows rows;
  VtChangeReport report;
  {
    VtClasses keys(scope);
    VtChangeLock lock;
    if (const int locked = LockForChange(keys, &lock, err); locked != kExitDone) return locked;
    if (request.all) {
      // Every association of the tool, found through its ProgID keys too, the player's or not;
      // then what changes cut short left that no extension names.
      FillWalked(rows, nullptr, scope);
      report = UnregisterAllRows(rows, &keys);
      for (const VtLeftover& left : RemoveLeftovers(keys))
        report.NotChanged(left.ext.c_str(), left.error);
    } else {
      // One row per extension's key: unregistering every row unregisters each once.
      for (const std::string& ext : request.exts) AddRow(rows, ext, scope, false);
      report = UnregisterAllRows(rows, &keys);
    }
  }
  NotifyAssociationsChanged();
  return ReportFailures(report, err, request.all);
}

int RunScope(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err) {
  // register's own checks, in its order: a scope printed is one register then takes.
  std::wstring why;
  const std::string exePath =
      PlayerPathOf(request, request.playerPath.empty() ? AskPlayer() : PlayerAnswer(), &why);
  if (exePath.empty()) return Refuse(err, why);
  VtScope scope;
  if (!RegisterScopeOf(request, exePath, &scope, &why)) return Refuse(err, why);
  return out.Write(scope == VtScope::kMachine ? L"machine\r\n" : L"user\r\n")
             ? kExitDone
             : kExitSomeNotChanged;
}
