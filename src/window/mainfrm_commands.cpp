// The buttons' commands: register the selection, re-register every association with the current
// options, unregister, and open the tool's readme, type-name file and Default Apps.
#include <windows.h>

#include <string>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "changefailure.h"
#include "defaultappslaunch.h"
#include "handleropen.h"
#include "library.h"
#include "mainfrm_command.h"
#include "ownedtext.h"
#include "playerpath.h"
#include "rowchanges.h"
#include "text.h"
#include "typenames.h"
#include "uitext.h"
#include "widetext.h"
#include "windowtexts.h"

namespace {

const UINT kConfirmFlags = MB_OKCANCEL | MB_DEFBUTTON2;  // 257: Cancel is the default
// A box taller than the screen shows no OK button: past this many lines the rest are counted.
const size_t kMaxFailureLines = 20;

// question: a text id of windowtexts.h.
bool Confirm(UINT question) {
  return Application.MessageBox(VtText(question), VtText(IDS_CONFIRM), kConfirmFlags) == IDOK;
}

}  // namespace

void TFrmAssoc::Command::ShowFailures(const std::vector<VtChangeReport::Failure>& failures) {
  if (failures.empty()) return;
  std::wstring text = ChangeFailureHeading() + L"\r\n";
  const size_t shown = failures.size() < kMaxFailureLines ? failures.size() : kMaxFailureLines;
  for (size_t i = 0; i < shown; ++i) {
    const VtChangeReport::Failure& failure = failures[i];
    text += L"\r\n" + ChangeFailureLine(WideFrom(RowCaption(failure.ext.c_str()), CP_ACP),
                                          failure.result);
  }
  if (failures.size() > shown)
    text += L"\r\n" + VtText(IDS_MORE_BEFORE) + std::to_wstring(failures.size() - shown) +
            VtText(IDS_MORE_AFTER);
  Application.MessageBox(text, form_.WideCaption(), MB_OK | MB_ICONWARNING);
}

bool TFrmAssoc::Command::Start() {
  VtLockResult result = lock_.Acquire(keys_, 0);
  if (result == VtLockResult::kBusy) {
    const HCURSOR before = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    result = lock_.Acquire(keys_, kChangeLockWaitMs);
    SetCursor(before);
  }
  if (result == VtLockResult::kTaken) return true;
  const UINT why = result == VtLockResult::kForeignOwner ? IDS_CHANGE_LOCK_FOREIGN
                   : result == VtLockResult::kBusy       ? IDS_CHANGE_BUSY
                                                         : IDS_CHANGE_LOCK_FAILED;
  Application.MessageBox(VtText(why), form_.WideCaption(), MB_OK | MB_ICONWARNING);
  return false;
}

void TFrmAssoc::Command::Finish(const VtChangeReport& report) {
  keys_.Close();
  lock_.Release();
  form_.ListView->BeginUpdate();
  for (int row : report.rows()) form_.RefreshRow(row);
  form_.ListView->EndUpdate();
  NotifyAssociationsChanged();
  ShowFailures(report.failures());
}

void TFrmAssoc::btnApplyClick(TControl*) {
  const VtApplyOptions options = CheckedOptions();
  if (!Confirm(IDS_ASK_APPLY)) return;
  const std::string exePath = Edit1->Text();
  const std::string selection = Edit2->Text();
  const std::wstring comboName = ComboBox1->WideText();
  if (PlayerPathProblem(exePath.c_str()) != VtPathProblem::kNone || selection.empty()) return;

  // The selection's pieces up to the first that is no extension.
  std::vector<std::string> pieces = Pieces(selection);
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (pieces[i][0] != '.') {
      pieces.resize(i);
      break;
    }
  }
  Command command(*this);
  if (!command.Start()) return;
  command.Finish(
      RegisterRows(rows_, exePath.c_str(), pieces, comboName, exeFolder, options, command.keys()));
}

// Asks once, at the first piece whose first row is associated; pieces before it are skipped, and
// after OK that piece and every later one is unregistered.
void TFrmAssoc::btnUnregClick(TControl*) {
  const std::string selection = Edit2->Text();
  if (selection.empty()) return;
  std::vector<std::string> pieces = Pieces(selection);
  size_t first = 0;
  for (; first < pieces.size(); ++first) {
    const std::vector<int>& rows = rows_.RowsOf(pieces[first].c_str());
    // Also an association of the tool that only the user's own classes hold.
    if (!rows.empty() &&
        (Entry(rows[0])->associated != 0 || Entry(rows[0])->userAssociated != 0))
      break;
  }
  if (first == pieces.size() || !Confirm(IDS_ASK_UNREG)) return;
  pieces.erase(pieces.begin(), pieces.begin() + static_cast<std::ptrdiff_t>(first));
  Command command(*this);
  if (!command.Start()) return;
  command.Finish(UnregisterRows(rows_, pieces, command.keys()));
}

void TFrmAssoc::btnUnregAllClick(TControl*) {
  if (ListView->Count() == 0) return;
  if (!Confirm(IDS_ASK_UNREGALL)) return;
  Command command(*this);
  if (!command.Start()) return;
  command.Finish(UnregisterAllRows(rows_, command.keys()));
}

void TFrmAssoc::btnCloseClick(TControl*) { Close(); }

// The readme in the window's language where the package has one; the Japanese one otherwise.
void TFrmAssoc::btnRdmeClick(TControl*) {
  const VtOwnedText translated(Narrow(VtText(IDS_README_FILE).c_str(), CP_ACP));
  if (!translated || !OpenInToolFolder(translated.get())) OpenInToolFolder("readme.txt");
}

void TFrmAssoc::Button7Click(TControl*) { OpenInToolFolder(kTypeNameFile); }

// Also with nothing associated yet: the user may want to see where the choice is made.
void TFrmAssoc::btnDefaultAppsClick(TControl*) {
  OpenDefaultApps(Handle(), scope_ == VtScope::kUser);
}

bool TFrmAssoc::OpenInToolFolder(const char* fileName) {
  char path[kPathSize];
  CopyBounded(path, exeFolder, kPathSize);
  // A path cut short would name another file.
  if (AppendBounded(path, fileName, kPathSize) >= kPathSize || !FileExists(path)) return false;
  OpenWithHandler(Handle(), path);
  return true;
}
