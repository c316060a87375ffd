// The buttons' commands: register the selection, re-register every association with the current
// options, unregister, and open the tool's readme, type-name file and Default Apps.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include <string>
#include <vector>

#include "associnfo.h"
#include "assocrows.h"
#include "changefailure.h"
#include "defaultappslaunch.h"
#include "library.h"
#include "mainfrm_rows.h"
#include "ownedtext.h"
#include "playerpath.h"
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

// Suspends the list's redrawing for the scope.
class UpdateScope {
 public:
  explicit UpdateScope(TListView* list) : list_(list) { list_->BeginUpdate(); }
  ~UpdateScope() { list_->EndUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  TListView* list_;
};

}  // namespace

void TFrmAssoc::Command::Add(int row, DWORD error) {
  if (error == ERROR_SUCCESS) return;
  std::string shown = form_.ListView->ItemText(row, 0);
  if (!noted_.insert(shown).second) return;
  if (lines_.size() == kMaxFailureLines) {
    ++more_;
    return;
  }
  lines_.push_back(ChangeFailureLine(WideFrom(shown.c_str(), CP_ACP), error));
}

void TFrmAssoc::Command::ShowFailures() {
  keys_.Close();
  if (lines_.empty()) return;
  std::wstring text = ChangeFailureHeading() + L"\r\n";
  for (const std::wstring& line : lines_) text += L"\r\n" + line;
  if (more_ != 0)
    text += L"\r\n" + VtText(IDS_MORE_BEFORE) + std::to_wstring(more_) + VtText(IDS_MORE_AFTER);
  Application.MessageBox(text, form_.WideCaption(), MB_OK | MB_ICONWARNING);
}

void TFrmAssoc::btnApplyClick(TControl*) {
  const VtApplyOptions options = CheckedOptions();
  if (!Confirm(IDS_ASK_APPLY)) return;
  const std::string exePath = Edit1->Text();
  std::string selection = Edit2->Text();
  const std::string comboName = ComboBox1->Text();
  if (PlayerPathProblem(exePath.c_str()) != VtPathProblem::kNone || selection.empty()) return;

  Command command(*this);
  {
    UpdateScope update(ListView);
    std::vector<std::string> pieces;
    char* rest = nullptr;
    for (char* piece = NextToken(&selection[0], ";", &rest); piece != nullptr && piece[0] == '.';
         piece = NextToken(rest, ";", &rest))
      pieces.push_back(piece);
    ListRows rows(*this, &command);
    ApplyRows(rows, exePath.c_str(), pieces, comboName, exeFolder, options, command.keys());
  }
  NotifyAssociationsChanged();
  command.ShowFailures();
}

// Asks once, at the first piece whose first row is associated; pieces before it are skipped, and
// after OK that piece and every later one is unregistered.
void TFrmAssoc::btnUnregClick(TControl*) {
  std::string selection = Edit2->Text();
  if (selection.empty()) return;
  Command command(*this);
  {
    UpdateScope update(ListView);
    ListRows rows(*this, &command);
    bool asked = false;
    bool confirmed = false;
    char* rest = nullptr;
    for (char* piece = NextToken(&selection[0], ";", &rest); piece != nullptr;
         piece = NextToken(rest, ";", &rest)) {
      if (!confirmed) {
        const int first = NextRowOf(rows, piece, -1);
        // Also an association of the tool that only the user's own classes hold.
        if (first >= 0 &&
            (EntryAt(first)->associated != 0 || EntryAt(first)->userAssociated != 0)) {
          confirmed = Confirm(IDS_ASK_UNREG);
          asked = true;
        }
      }
      if (asked && !confirmed) break;
      if (confirmed) UnregisterRows(rows, piece, command.keys());
    }
    if (!confirmed) return;
  }
  NotifyAssociationsChanged();
  command.ShowFailures();
}

void TFrmAssoc::btnUnregAllClick(TControl*) {
  if (ListView->Count() == 0) return;
  if (!Confirm(IDS_ASK_UNREGALL)) return;
  Command command(*this);
  {
    UpdateScope update(ListView);
    ListRows rows(*this, &command);
    UnregisterRows(rows, nullptr, command.keys());
  }
  NotifyAssociationsChanged();
  command.ShowFailures();
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
  const std::string path = std::string(exeFolder) + fileName;
  if (!FileExists(path.c_str())) return false;
  ShellExecuteA(Handle(), "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return true;
}
