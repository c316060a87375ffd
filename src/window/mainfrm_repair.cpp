// Associations that still open the player where it was: named in the list's last column, and after
// a fill one question whether to register them again at the player's file.
#include <windows.h>

#include <string>

#include "associnfo.h"
#include "mainfrm.h"
#include "mainfrm_command.h"
#include "rowrepair.h"
#include "uitext.h"
#include "widetext.h"
#include "windowtexts.h"

namespace {

// Posted to the window after a fill; wParam holds how many extensions the question names.
const UINT kAskRepairMessage = WM_APP + 1;
const UINT kRepairFlags = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;

// text with its first "%d" replaced by count and its first "%s" by path.
std::wstring Filled(std::wstring text, int count, const std::wstring& path) {
  const size_t number = text.find(L"%d");
  if (number != std::wstring::npos) text.replace(number, 2, std::to_wstring(count));
  const size_t place = text.find(L"%s");
  if (place != std::wstring::npos) text.replace(place, 2, path);
  return text;
}

}  // namespace

std::wstring TFrmAssoc::LastColumn(const VtAssocInfo& entry) {
  if (entry.userChoice != nullptr) return WideFrom(entry.userChoice, CP_ACP);
  if (entry.associated == 0) return std::wstring();
  std::string elsewhere;
  switch (matcher_.Match(entry.command, entry.icon, &elsewhere)) {
    case VtPlayerMatch::kMoved:
      return VtText(IDS_EARLIER_LOCATION) + WideFrom(elsewhere.c_str(), CP_ACP);
    case VtPlayerMatch::kMissing:
      return VtText(IDS_NOT_FOUND) + WideFrom(elsewhere.c_str(), CP_ACP);
    case VtPlayerMatch::kCurrent:
    case VtPlayerMatch::kUnknown:
      break;
  }
  return std::wstring();
}

void TFrmAssoc::AskRepairLater() {
  if (player_.empty() || repairPosted_) return;
  VtClasses keys(scope_, rights_);
  const int count = CountRepairable(rows_, player_.c_str(), matcher_, keys);
  if (count > 0 && PostMessageW(Handle(), kAskRepairMessage, static_cast<WPARAM>(count), 0))
    repairPosted_ = true;
}

void TFrmAssoc::AskRepair(int count) {
  repairPosted_ = false;
  // A fill since the post that found no player asks nothing.
  if (player_.empty()) return;
  const std::wstring question =
      Filled(VtText(IDS_ASK_REPAIR), count, WideFrom(player_.c_str(), CP_ACP));
  if (Application.MessageBox(question, VtText(IDS_CONFIRM), kRepairFlags) != IDYES) return;
  Command command(*this);
  if (!command.Start()) return;
  command.Finish(RepairRows(rows_, player_.c_str(), *command.keys()));
}

LRESULT TFrmAssoc::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kAskRepairMessage) {
    AskRepair(static_cast<int>(wParam));
    return 0;
  }
  return TFrmAssocLayout::WndProc(message, wParam, lParam);
}
