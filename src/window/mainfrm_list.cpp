// The extension list: filled from the player's DDE answers and the tool's own associations, one
// VtAssocInfo per row, and the selection shown in Edit2 and ComboBox1.
#include <string>

#include "associnfo.h"
#include "assocrows.h"
#include "mainfrm.h"
#include "playeranswer.h"
#include "playerpath.h"
#include "text.h"
#include "uitext.h"
#include "windowtexts.h"

const char* TFrmAssoc::RowCaption(const char* ext) {
  const int size = CharSize(ext);
  return size != 0 ? ext + size : "";
}

void TFrmAssoc::btnInfoClick(TControl* Sender) {
  // The start fills through here too, and trusts the memo; a press of the button does not.
  if (Sender != nullptr) classes_.Forget();
  ListView->BeginUpdate();
  ClearList();
  PlayerAnswer answer = AskPlayer();
  const char* exePath = answer.exePath.get();
  // A path that may not stand in an open command counts as none: nothing is ever written with it.
  // An empty answer stays empty.
  if (exePath != nullptr && exePath[0] != 0 && PlayerPathProblem(exePath) != VtPathProblem::kNone)
    exePath = nullptr;
  player_ = exePath != nullptr ? exePath : "";
  matcher_ = VtPlayerMatcher(exePath);
  if (exePath != nullptr)
    Edit1->SetText(exePath);
  else
    Edit1->SetText(VtText(IDS_NO_PLAYER));
  // The rows show the classes the player is registered in.
  SetScope(exePath != nullptr && exePath[0] != 0 ? RegisterScope(rights_, exePath) : rights_);
  FillList(answer.extensions.get(), answer.extensions == nullptr ? &classes_ : nullptr);
  ListView->EndUpdate();
  AskRepairLater();
}

void TFrmAssoc::FillList(const char* extensions, VtClassesMemo* classes) {
  const int first = rows_.Count();
  FillRows(rows_, extensions, scope_, classes);
  ShowRows(first);
}

void TFrmAssoc::ShowRows(int row) {
  for (; row < rows_.Count(); ++row) {
    const VtAssocInfo* entry = rows_.Entry(row);
    const int index = ListView->AddItem(RowCaption(entry->ext), {"", entry->command, entry->icon});
    if (index < 0) {
      rows_.Truncate(row);
      return;
    }
    ListView->SetItemText(index, 1, entry->typeName);
    ListView->SetItemText(index, 4, LastColumn(*entry).c_str());
  }
}

void TFrmAssoc::ClearList() {
  ListView->Clear();
  rows_.Clear();
}

void TFrmAssoc::ListViewSelectItem(TControl*, TListItem, bool) {
  std::string selection;
  int selected = 0;
  int first = -1;
  for (int i = ListView->NextSelected(-1); i >= 0; i = ListView->NextSelected(i)) {
    if (selected++ == 0) {
      first = i;
    } else {
      selection += ';';
    }
    selection += '.';
    selection += ListView->ItemText(i, 0);
  }
  Edit2->SetText(selection.c_str());
  // With several rows selected the type name typed or picked so far stays.
  if (selected == 0) {
    ComboBox1->SetText("");
  } else if (selected == 1) {
    ComboBox1->SetText(ListView->WideItemText(first, 1));
  }
  btnApply->SetEnabled(!selection.empty());
}

void TFrmAssoc::ComboBox1Change(TControl*) { btnUnreg->SetEnabled(!Edit2->Text().empty()); }
