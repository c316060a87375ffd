// The extension list: filled from the player's DDE answers and the tool's own associations, one
// VtAssocInfo per row, and the selection shown in Edit2 and ComboBox1.
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "mainfrm.h"
#include "ownassociations.h"
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
  const int size = CharSize(text);
  return size != 0 ? text + size : "";
}

// What the player answered; either text is null when its request failed or the player does not run.
struct PlayerAnswer {
  std::unique_ptr<char[]> exePath;
  std::unique_ptr<char[]> extensions;
};

PlayerAnswer AskPlayer() {
  PlayerAnswer answer;
  if (!IsPlayerRunning()) return answer;
  VtDDEClient player(nullptr, kPlayerName, kPlayerName);
  char* text = nullptr;
  player.Request(&text, "ExeName", kRequestTimeoutMs);
  answer.exePath.reset(text);
  player.Request(&text, "SupportExt", kRequestTimeoutMs);
  answer.extensions.reset(text);
  return answer;
}

}  // namespace

void TFrmAssoc::btnInfoClick(TControl*) {
  ListView->BeginUpdate();
  ClearList();
  PlayerAnswer answer = AskPlayer();
  Edit1->SetText(answer.exePath != nullptr ? answer.exePath.get() : kNoPlayerText);
  // The playlist types are appended only to an answer: no answer, no rows.
  if (answer.extensions != nullptr) AddPlayerRows(answer.extensions.get());
  // Walking both classes keys reads every key there, too much for every start: it runs only
  // without the player's answer, for associations older than the tool's Default Apps registration.
  AddOwnRows(answer.extensions == nullptr);
  ListView->EndUpdate();
}

void TFrmAssoc::AddPlayerRows(const char* extensions) {
  // A lead byte at the very end has no second byte; left there, it would take the ";" of the
  // playlist types appended below, and with it their row.
  std::string text(extensions, static_cast<size_t>(WholeCharLength(extensions)));
  text += kPlaylistExtensions;
  UpperInPlace(&text[0]);
  char* rest = nullptr;
  for (char* piece = NextToken(&text[0], ";", &rest); piece != nullptr;
       piece = NextToken(rest, ";", &rest)) {
    std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(piece, scope_));
    entry->Load();
    AddRow(std::move(entry));
  }
}

void TFrmAssoc::AddOwnRows(bool scanClasses) {
  std::vector<VtOwnCandidate> candidates = OwnAssociationCandidates(scanClasses);
  if (candidates.empty()) return;
  // Compared as the registry compares key names, so that no row is added for a key a row holds and
  // each candidate is loaded once; a set, since hundreds of candidates may meet hundreds of rows.
  std::unordered_set<std::wstring> held;
  const int count = ListView->Count();
  for (int i = 0; i < count; ++i)
    if (const VtAssocInfo* entry = EntryAt(i)) held.insert(KeyNameFold(entry->ext));
  for (VtOwnCandidate& candidate : candidates) {
    std::string& ext = candidate.ext;
    UpperInPlace(&ext[0]);
    std::wstring key = KeyNameFold(ext.c_str());
    if (held.count(key) != 0) continue;
    std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(ext.c_str(), scope_));
    entry->Load();
    // A candidate passed over here may still come again from the other hive's registration.
    if (entry->associated == 0 && !candidate.registered) continue;
    held.insert(std::move(key));
    AddRow(std::move(entry));
  }
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
