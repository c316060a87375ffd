#include "assocrows.h"

// shlobj.h needs windows.h first.
#include <shlobj.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "associnfo.h"
#include "assoctext.h"
#include "extensionrule.h"
#include "ownassociations.h"
#include "text.h"
#include "typenames.h"

namespace {

// Registering a selected row bare and then again with its option ends exactly as registering it
// once with the option does, at twice the registry work; so an apply gives each selected row its
// final option at once and the re-registration passes over it. Had that registration failed, the
// entry would have no typeName and be passed over anyway; one that did nothing (".exe") would do
// nothing again. Not for rows where two may name one key: which of them writes last would then
// depend on the order of the registrations, so such an apply keeps its two passes.
class OnePass {
 public:
  OnePass(const VtAssocRows& rows, const VtApplyOptions& options)
      : options_(options),
        keysDistinct_(KeysFollowExtensions(rows)),
        hasFinalOption_(static_cast<size_t>(rows.Count())) {}

  // The option to register row (of ext) with now: its final one, or the empty text.
  const char* OptionFor(int row, const char* ext) {
    if (!keysDistinct_) return "";
    hasFinalOption_[static_cast<size_t>(row)] = true;
    return PlayerOption(ext, options_);
  }
  // True for a row registered with its final option already.
  bool HasFinalOption(int row) const { return hasFinalOption_[static_cast<size_t>(row)]; }

 private:
  static bool KeysFollowExtensions(const VtAssocRows& rows) {
    for (int row = NextRowOf(rows, nullptr, -1); row >= 0; row = NextRowOf(rows, nullptr, row))
      if (!KeyFollowsCompareNoCase(rows.Entry(row)->ext)) return false;
    return true;
  }

  VtApplyOptions options_;
  bool keysDistinct_;
  std::vector<bool> hasFinalOption_;
};

// The rows of each extension under CompareNoCase, in row order, found at once: an apply of
// thousands of pieces would otherwise compare each with every row.
class RowsByExtension {
 public:
  explicit RowsByExtension(const VtAssocRows& rows) {
    for (int row = NextRowOf(rows, nullptr, -1); row >= 0; row = NextRowOf(rows, nullptr, row))
      rows_[Folded(rows.Entry(row)->ext)].push_back(row);
  }
  const std::vector<int>& Of(const char* ext) const {
    static const std::vector<int> kNone;
    const auto found = rows_.find(Folded(ext));
    return found != rows_.end() ? found->second : kNone;
  }

 private:
  // Equal exactly where CompareNoCase says equal: single-byte letters folded, the rest as is.
  static std::string Folded(const char* ext) {
    std::string folded = ext;
    if (!folded.empty()) LowerInPlace(&folded[0]);
    return folded;
  }
  std::unordered_map<std::string, std::vector<int>> rows_;
};

// The rows of ext all share one option: IsPlaylist ignores letter case as CompareNoCase does.
void RegisterExtension(VtAssocRows& rows, const RowsByExtension& index, const char* exePath,
                       const char* ext, const char* typeName, OnePass& pass, VtClasses* keys) {
  for (int row : index.Of(ext))
    rows.Changed(row, rows.Entry(row)->Register(exePath, typeName, pass.OptionFor(row, ext), keys));
}

void ReregisterWithOptions(VtAssocRows& rows, const char* exePath, const VtApplyOptions& options,
                           const OnePass& pass, VtClasses* keys) {
  for (int row = NextRowOf(rows, nullptr, -1); row >= 0; row = NextRowOf(rows, nullptr, row)) {
    if (pass.HasFinalOption(row)) continue;
    VtAssocInfo* entry = rows.Entry(row);
    if (entry->associated == 0 || entry->typeName == nullptr) continue;
    // The machine's association, shown to the user's scope, is not the user's to bring up to date:
    // registering it would copy it into the user's classes.
    if (entry->fromMachine != 0) continue;
    // One the tool would not make now (an earlier version's) is left for undo, unasked about.
    if (ExtensionProblem(entry->ext) != ERROR_SUCCESS) continue;
    // Register releases the entry's own typeName before it reads the argument.
    const std::string typeName = entry->typeName;
    rows.Changed(row, entry->Register(exePath, typeName.c_str(),
                                      PlayerOption(entry->ext, options), keys));
  }
}

}  // namespace

int NextRowOf(const VtAssocRows& rows, const char* ext, int after) {
  const int count = rows.Count();
  for (int row = after + 1; row < count; ++row) {
    const VtAssocInfo* entry = rows.Entry(row);
    if (entry != nullptr && (ext == nullptr || CompareNoCase(entry->ext, ext) == 0)) return row;
  }
  return -1;
}

void AddPlayerRows(VtAssocRows& rows, const char* extensions, VtScope scope) {
  // A lead byte at the very end has no second byte; left there, it would take the ";" of the
  // playlist types appended below, and with it their row.
  std::string text(extensions, static_cast<size_t>(WholeCharLength(extensions)));
  text += kPlaylistExtensions;
  UpperInPlace(&text[0]);
  char* rest = nullptr;
  for (char* piece = NextToken(&text[0], ";", &rest); piece != nullptr;
       piece = NextToken(rest, ";", &rest)) {
    std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(piece, scope));
    entry->Load();
    rows.Add(std::move(entry));
  }
}

void AddOwnRows(VtAssocRows& rows, bool scanClasses, VtScope scope) {
  std::vector<VtOwnCandidate> candidates = OwnAssociationCandidates(scanClasses);
  if (candidates.empty()) return;
  // Compared as the registry compares key names, so that no row is added for a key a row holds and
  // each candidate is loaded once; a set, since hundreds of candidates may meet hundreds of rows.
  std::unordered_set<std::wstring> held;
  const int count = rows.Count();
  for (int i = 0; i < count; ++i)
    if (const VtAssocInfo* entry = rows.Entry(i)) held.insert(KeyNameFold(entry->ext));
  for (VtOwnCandidate& candidate : candidates) {
    std::string& ext = candidate.ext;
    UpperInPlace(&ext[0]);
    std::wstring key = KeyNameFold(ext.c_str());
    if (held.count(key) != 0) continue;
    std::unique_ptr<VtAssocInfo> entry(new VtAssocInfo(ext.c_str(), scope));
    entry->Load();
    // A candidate passed over here may still come again from the other hive's registration.
    if (entry->associated == 0 && entry->userAssociated == 0 && !candidate.registered) continue;
    held.insert(std::move(key));
    rows.Add(std::move(entry));
  }
}

int FillRows(VtAssocRows& rows, const char* extensions, VtScope scope) {
  const int before = rows.Count();
  // The playlist types are appended only to an answer: no answer, no rows.
  if (extensions != nullptr) AddPlayerRows(rows, extensions, scope);
  const int players = rows.Count() - before;
  // Walking both classes keys reads every key there, too much for every start: it runs only
  // without the player's answer, for associations older than the tool's Default Apps registration.
  AddOwnRows(rows, extensions == nullptr, scope);
  return players;
}

void ApplyRows(VtAssocRows& rows, const char* exePath, const std::vector<std::string>& pieces,
               const std::string& typeName, const char* folder, const VtApplyOptions& options,
               VtClasses* keys) {
  VtTypeNames typeNames(folder);
  OnePass pass(rows, options);
  const RowsByExtension index(rows);
  for (const std::string& piece : pieces) {
    const std::string name = typeName.empty() ? typeNames.For(piece.c_str()) : typeName;
    RegisterExtension(rows, index, exePath, piece.c_str(), name.c_str(), pass, keys);
  }
  ReregisterWithOptions(rows, exePath, options, pass, keys);
}

// Only the first row of ext is unregistered; the other rows of ext are reloaded so that none of
// them keeps showing (and, on the next apply, re-registering) the association just removed.
void UnregisterRows(VtAssocRows& rows, const char* ext, VtClasses* keys) {
  bool first = true;
  for (int row = NextRowOf(rows, ext, -1); row >= 0; row = NextRowOf(rows, ext, row)) {
    VtAssocInfo* entry = rows.Entry(row);
    if (ext == nullptr || first) {
      rows.Changed(row, entry->Unregister(keys));
    } else {
      entry->Load();
      rows.Changed(row, ERROR_SUCCESS);
    }
    first = false;
  }
}

void NotifyAssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
