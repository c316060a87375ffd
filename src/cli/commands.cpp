// list, register and unregister: the window's fill, apply and undo over the command line's rows.
#include "commands.h"

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "changefailure.h"
#include "clirows.h"
#include "inifile.h"
#include "library.h"
#include "playeranswer.h"
#include "playerpath.h"
#include "text.h"

namespace {

const char kHeader[] = "extension\tstate\ttype\tcommand\ticon\twindows\r\n";
const char kOptionsFile[] = "vntassoc.ini";
const char kNoPlayer[] =
    "Vantrel Player が起動していません。起動するか、/player で実行ファイルを指定してください。";
const char kNoPlayerExtensions[] =
    "Vantrel Player が起動していないため、再生する拡張子がわかりません。拡張子を指定してください。";
const char kPlayerUnverified[] =
    "Vantrel Player として応答したプログラムは、ExeName が示す実行ファイルではありません。"
    "/player で実行ファイルを指定してください。";

// Why a player's path may not stand in an open command, before the path itself.
const char* PathProblemText(VtPathProblem problem) {
  switch (problem) {
    case VtPathProblem::kNotAbsolute:
      return "Vantrel Player の実行ファイルは、ドライブか \\\\ から始まる完全なパスで指定してください: ";
    case VtPathProblem::kBadCharacter:
      return "Vantrel Player のパスに、開くコマンドに書けない文字 (\" % : 制御文字) があります: ";
    case VtPathProblem::kNotProgram:
      return "Vantrel Player の実行ファイル (.exe) ではありません: ";
    case VtPathProblem::kNoSuchFile:
    case VtPathProblem::kNone:
      break;
  }
  return "Vantrel Player の実行ファイルが見つかりません: ";
}

// A registry text in one tab-separated column: its tabs and line ends would start another.
std::string Column(const char* text) {
  std::string column = text != nullptr ? text : "";
  if (!column.empty()) ControlsToSpaces(&column[0]);
  return column;
}

const char* StateOf(const VtAssocInfo& entry) {
  if (entry.associated != 0) return "tool";
  const bool named = entry.typeName != nullptr || entry.command != nullptr || entry.icon != nullptr;
  return named ? "other" : "none";
}

int ReportFailures(const VtCliRows& rows, const VtStdStream& err) {
  if (rows.failures().empty()) return kExitDone;
  std::string text = std::string(kChangeFailureHeading) + "\r\n";
  for (const std::string& line : rows.failures()) text += line + "\r\n";
  err.Write(text);
  return kExitSomeNotChanged;
}

// The options of vntassoc.ini beside the program, as the window left them; the command line's
// own take their place.
VtApplyOptions OptionsFor(const VtCliRequest& request) {
  VtIniFile ini;
  ini.Load((std::string(exeFolder) + kOptionsFile).c_str());
  VtApplyOptions options = ReadApplyOptions(ini);
  if (request.add != -2) options.add = request.add;
  if (request.list != -1) options.list = request.list;
  return options;
}

}  // namespace

int Refuse(const VtStdStream& err, const std::string& why) {
  err.Write(why + "\r\n\r\n" + kUsage);
  return kExitBadRequest;
}

VtScope ScopeOf(const VtCliRequest& request) {
  return request.user ? VtScope::kUser : WritableScope();
}

void AddRequestedRows(const VtCliRequest& request, VtCliRows* rows) {
  const VtScope scope = ScopeOf(request);
  if (!request.exts.empty()) {
    for (const std::string& ext : request.exts) rows->AddExtension(ext, scope);
    return;
  }
  const PlayerAnswer answer = AskPlayer();
  FillRows(*rows, answer.extensions.get(), scope);
}

int RunList(const VtCliRequest& request, const VtStdStream& out) {
  VtCliRows rows;
  AddRequestedRows(request, &rows);
  std::string text = kHeader;
  for (int row = 0; row < rows.Count(); ++row) {
    const VtAssocInfo& entry = *rows.Entry(row);
    text += ShownExtension(entry.ext) + "\t" + StateOf(entry) + "\t" + Column(entry.typeName) +
            "\t" + Column(entry.command) + "\t" + Column(entry.icon) + "\t" +
            Column(entry.userChoice) + "\r\n";
  }
  return out.Write(text) ? kExitDone : kExitSomeNotChanged;
}

int RunRegister(const VtCliRequest& request, const VtStdStream& err) {
  // Everything is checked before the first change: a script learns of a wrong player at once.
  const PlayerAnswer answer = AskPlayer();
  std::string exePath = request.playerPath;
  if (exePath.empty()) {
    if (answer.unverified) return Refuse(err, kPlayerUnverified);
    if (answer.exePath == nullptr) return Refuse(err, kNoPlayer);
    exePath = answer.exePath.get();
  }
  const VtPathProblem problem = PlayerPathProblem(exePath.c_str());
  if (problem != VtPathProblem::kNone) return Refuse(err, PathProblemText(problem) + exePath);
  if (request.all && answer.extensions == nullptr) return Refuse(err, kNoPlayerExtensions);

  const VtScope scope = RegisterScope(ScopeOf(request), exePath.c_str());
  VtCliRows rows;
  // The rows the window shows: their associations are brought up to the options as its apply does.
  const int players = FillRows(rows, answer.extensions.get(), scope);
  std::vector<std::string> pieces;
  if (request.all) {
    std::unordered_set<std::wstring> held;
    for (int row = 0; row < players; ++row)
      if (held.insert(KeyNameFold(rows.Entry(row)->ext)).second)
        pieces.push_back(rows.Entry(row)->ext);
  } else {
    for (const std::string& ext : request.exts) rows.AddToChange(ext, scope);
    pieces = request.exts;
  }
  {
    VtClasses keys(scope);
    ApplyRows(rows, exePath.c_str(), pieces, request.typeName, exeFolder, OptionsFor(request),
              &keys);
  }
  NotifyAssociationsChanged();
  return ReportFailures(rows, err);
}

int RunUnregister(const VtCliRequest& request, const VtStdStream& err) {
  const VtScope scope = ScopeOf(request);
  VtCliRows rows(request.all);
  {
    VtClasses keys(scope);
    if (request.all) {
      // Every association of the tool, found through its ProgID keys too, the player's or not.
      AddOwnRows(rows, true, scope);
      UnregisterRows(rows, nullptr, &keys);
    } else {
      for (const std::string& ext : request.exts) {
        rows.AddToChange(ext, scope);
        UnregisterRows(rows, ext.c_str(), &keys);
      }
    }
  }
  NotifyAssociationsChanged();
  return ReportFailures(rows, err);
}
