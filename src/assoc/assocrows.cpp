#include "assocrows.h"

#include <utility>

#include "applyoptions.h"
#include "assockeys.h"
#include "assoctext.h"
#include "ownassociations.h"
#include "text.h"

int VtAssocRows::Add(std::unique_ptr<VtAssocInfo> entry) {
  const int row = Count();
  byKey_[KeyNameFold(entry->ext)].push_back(row);
  entries_.push_back(std::move(entry));
  return row;
}

void VtAssocRows::Truncate(int count) {
  while (Count() > count) {
    const auto found = byKey_.find(KeyNameFold(entries_.back()->ext));
    found->second.pop_back();
    if (found->second.empty()) byKey_.erase(found);
    entries_.pop_back();
  }
}

const std::vector<int>& VtAssocRows::RowsOf(const char* ext) const {
  static const std::vector<int> kNone;
  const auto found = byKey_.find(KeyNameFold(ext));
  return found != byKey_.end() ? found->second : kNone;
}

namespace {

void AddPlayerRows(VtAssocRows& rows, const char* extensions, VtScope scope) {
  // A lead byte at the very end has no second byte; left there, it would take the ";" of the
  // playlist types appended below, and with it their row.
  std::string text(extensions, static_cast<size_t>(WholeCharLength(extensions)));
  text += kPlaylistExtensions;
  UpperInPlace(&text[0]);
  for (const std::string& piece : Pieces(text)) {
    std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(piece.c_str(), scope));
    entry->Load();
    rows.Add(std::move(entry));
  }
}

// The scope's extension key names the tool's ProgID while the scope's classes lack that ProgID:
// an earlier version's association through HKEY_CLASSES_ROOT, whose ProgID and "backup" only the
// other hive holds. Load shows it as nothing of the tool's, yet unregistering has something to
// restore.
bool NamesToolProgIdElsewhere(const char* ext, VtScope scope) {
  VtClasses classes(scope);
  const VtOwnedText named(NamedIn(classes, scope, ext));
  const VtOwnedText own(ToolProgId(ext));
  return named && SameKeyName(named.get(), own.get());
}

void AddOwnRows(VtAssocRows& rows, VtClassesMemo* classes, VtScope scope) {
  for (VtOwnCandidate& candidate : OwnAssociationCandidates(classes)) {
    std::string& ext = candidate.ext;
    UpperInPlace(&ext[0]);
    // Each key once: no row for a key a row holds, and each candidate loaded once.
    if (rows.Holds(ext.c_str())) continue;
    std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(ext.c_str(), scope));
    entry->Load();
    // A candidate passed over here may still come again from the other hive's registration.
    if (entry->associated == 0 && entry->userAssociated == 0 && !candidate.registered &&
        !NamesToolProgIdElsewhere(entry->ext, scope))
      continue;
    rows.Add(std::move(entry));
  }
}

}  // namespace

int FillRows(VtAssocRows& rows, const char* extensions, VtScope scope, VtClassesMemo* classes) {
  const int before = rows.Count();
  // The playlist types are appended only to an answer: no answer, no rows.
  if (extensions != nullptr) AddPlayerRows(rows, extensions, scope);
  const int players = rows.Count() - before;
  AddOwnRows(rows, classes, scope);
  return players;
}
