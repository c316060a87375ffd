// The extension list: filled from the player's DDE answers, one VtAssocInfo per row, and the
// selection shown in Edit2 and ComboBox1.
#include <memory>
#include <string>

#include "associnfo.h"
#include "library.h"
#include "mainfrm.h"
#include "playerprobe.h"
#include "text.h"
#include "vtddeclient.h"

namespace {

const char kPlayerName[] = "Vantrel Player";  // DDE service and topic
const DWORD kRequestTimeoutMs = 10000;
const char kNoPlayerText[] = "Vantrel Player を起動後、「情報取得」をクリックして下さい";
const char kPlaylistExtensions[] = ";.vnt;.m3u";

// The text after its first whole character; the empty text for a text of fewer than two characters.
const char* AfterFirstChar(const char* text) {
  if (*text == 0) return text;
  const unsigned char first = static_cast<unsigned char>(*text);
  if (CharTables.leadByte[first] != 0 && text[1] != 0) return text + 2;
  return text + 1;
}

}  // namespace

void TFrmAssoc::btnInfoClick(TControl*) {
  ListView->BeginUpdate();
  ClearList();

  std::unique_ptr<char[]> exePath;
  std::unique_ptr<char[]> extensions;
  if (IsPlayerRunning()) {
    VtDDEClient player(nullptr, kPlayerName, kPlayerName);
    char* answer = nullptr;
    player.Request(&answer, "ExeName", kRequestTimeoutMs);
    exePath.reset(answer);
    player.Request(&answer, "SupportExt", kRequestTimeoutMs);
    extensions.reset(answer);
  }
  Edit1->SetText(exePath != nullptr ? exePath.get() : kNoPlayerText);
  exePath.reset();

  // The playlist types are appended only to an answer: no answer, no rows.
  if (extensions != nullptr) {
    // A lead byte at the very end has no second byte; left there, it would take the ";" of the
    // playlist types appended below, and with it their row.
    std::string text(extensions.get(), static_cast<size_t>(WholeCharLength(extensions.get())));
    extensions.reset();
    text += kPlaylistExtensions;
    UpperInPlace(&text[0]);
    char* rest = nullptr;
    for (char* piece = NextToken(&text[0], ";", &rest); piece != nullptr;
         piece = NextToken(rest, ";", &rest)) {
      std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(piece));
      entry->Load();
      const int row = ListView->AddItem(
          AfterFirstChar(piece), {entry->typeName, entry->command, entry->icon, entry->userChoice},
          entry.get());
      if (row >= 0) entry.release();
    }
  }
  ListView->EndUpdate();
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
