// The extension list: filled from the player's DDE answers and the tool's own associations, one
// VtAssocInfo per row, and the selection shown in Edit2 and ComboBox1.
#include <memory>
#include <string>
#include <utility>

#include "associnfo.h"
#include "assocrows.h"
#include "mainfrm_rows.h"
#include "playeranswer.h"
#include "playerpath.h"
#include "text.h"
#include "uitext.h"
#include "windowtexts.h"

namespace {

// The text after its first whole character; the empty text for a text of fewer than two characters.
const char* AfterFirstChar(const char* text) {
  const int size = CharSize(text);
  return size != 0 ? text + size : "";
}

}  // namespace

int TFrmAssoc::ListRows::Count() const { return form_.ListView->Count(); }

VtAssocInfo* TFrmAssoc::ListRows::Entry(int row) const { return form_.EntryAt(row); }

void TFrmAssoc::ListRows::Add(std::unique_ptr<VtAssocInfo> entry) { form_.AddRow(std::move(entry)); }

void TFrmAssoc::ListRows::Changed(int row, DWORD result) {
  if (command_ != nullptr) command_->Add(row, result);
  form_.RefreshRow(row);
}

void TFrmAssoc::btnInfoClick(TControl*) {
  ListView->BeginUpdate();
  ClearList();
  PlayerAnswer answer = AskPlayer();
  const char* exePath = answer.exePath.get();
  // A path that may not stand in an open command counts as none: nothing is ever written with it.
  // An empty answer stays empty.
  if (exePath != nullptr && exePath[0] != 0 && PlayerPathProblem(exePath) != VtPathProblem::kNone)
    exePath = nullptr;
  if (exePath != nullptr)
    Edit1->SetText(exePath);
  else
    Edit1->SetText(VtText(IDS_NO_PLAYER));
  // The rows show the classes the player is registered in.
  SetScope(exePath != nullptr && exePath[0] != 0 ? RegisterScope(rights_, exePath) : rights_);
  ListRows rows(*this);
  FillRows(rows, answer.extensions.get(), scope_);
  ListView->EndUpdate();
}

void TFrmAssoc::AddPlayerRows(const char* extensions) {
  ListRows rows(*this);
  ::AddPlayerRows(rows, extensions, scope_);
}

void TFrmAssoc::AddOwnRows(bool scanClasses) {
  ListRows rows(*this);
  ::AddOwnRows(rows, scanClasses, scope_);
}

void TFrmAssoc::AddRow(std::unique_ptr<VtAssocInfo> entry) {
  const int row = ListView->AddItem(
      AfterFirstChar(entry->ext), {entry->typeName, entry->command, entry->icon, entry->userChoice},
      entry.get());
  if (row >= 0) entry.release();
}

void TFrmAssoc::ClearList() {
  ListView->BeginUpdate();
  const int count = ListView->Count();
  for (int i = 0; i < count; ++i) {
    delete EntryAt(i);
    ListView->SetItemData(i, nullptr);
  }
  ListView->Clear();
  ListView->EndUpdate();
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
    ComboBox1->SetText(ListView->ItemText(first, 1).c_str());
  }
  btnApply->SetEnabled(!selection.empty());
}

void TFrmAssoc::ComboBox1Change(TControl*) { btnUnreg->SetEnabled(!Edit2->Text().empty()); }
