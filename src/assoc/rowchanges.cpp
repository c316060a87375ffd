#include "rowchanges.h"

// shlobj.h needs windows.h first.
#include <windows.h>
#include <shlobj.h>

#include "associnfo.h"
#include "extensionrule.h"
#include "playerplace.h"
#include "typenames.h"

namespace {

// Registering a selected row bare and then again with its option ends exactly as registering it
// once with the option does, at twice the registry work; so RegisterRows gives each selected row
// its final option at once (marked in done) and the re-registration passes over it. Had that
// registration failed, the entry would have no typeName and be passed over anyway; one that did
// nothing (".exe") would do nothing again. Every row of one key is registered by the same piece, so
// the order of the registrations never decides what a key ends with.
void RegisterExtension(VtAssocRows& rows, const char* exePath, const char* ext,
                       const wchar_t* typeName, const VtApplyOptions& options, VtClasses* keys,
                       std::vector<bool>* done, VtChangeReport* report) {
  // The rows of ext all share one option: IsPlaylist ignores letter case as the key names do.
  const char* option = PlayerOption(ext, options);
  for (int row : rows.RowsOf(ext)) {
    VtAssocInfo* entry = rows.Entry(row);
    (*done)[static_cast<size_t>(row)] = true;
    report->Changed(row, entry->ext, entry->Register(exePath, typeName, option, keys));
  }
}

void ReregisterWithOptions(VtAssocRows& rows, const char* exePath, const VtApplyOptions& options,
                           const std::vector<bool>& done, VtClasses* keys,
                           VtChangeReport* report) {
  for (int row = 0; row < rows.Count(); ++row) {
    if (done[static_cast<size_t>(row)]) continue;
    VtAssocInfo* entry = rows.Entry(row);
    if (entry->associated == 0 || entry->typeName == nullptr) continue;
    // The machine's association, shown to the user's scope, is not the user's to bring up to date:
    // registering it would copy it into the user's classes.
    if (entry->fromMachine != 0) continue;
    // One the tool would not make now (an earlier version's) is left to unregister, unasked about.
    if (ExtensionProblem(entry->ext) != ERROR_SUCCESS) continue;
    // Register copies the type name before it releases the entry's own. It is carried as read, in
    // UTF-16: through the code page a name in another script would come back as "?".
    report->Changed(row, entry->ext,
                    entry->Register(exePath, entry->typeName, PlayerOption(entry->ext, options),
                                    keys));
  }
}

}  // namespace

VtChangeReport RegisterRows(VtAssocRows& rows, const char* exePath,
                            const std::vector<std::string>& pieces, const std::wstring& typeName,
                            const char* folder, const VtApplyOptions& options, VtClasses* keys) {
  VtChangeReport report;
  VtTypeNames typeNames(folder);
  std::vector<bool> done(static_cast<size_t>(rows.Count()));
  // For every user the path written is the path judged, whatever spelling this session gave.
  const std::string written = keys != nullptr && keys->scope() == VtScope::kMachine
                                  ? WrittenPlayerPath(exePath)
                                  : std::string(exePath);
  for (const std::string& piece : pieces) {
    const std::wstring name = typeName.empty() ? typeNames.For(piece.c_str()) : typeName;
    RegisterExtension(rows, written.c_str(), piece.c_str(), name.c_str(), options, keys, &done,
                      &report);
  }
  ReregisterWithOptions(rows, written.c_str(), options, done, keys, &report);
  return report;
}

// Only the first row of each ext is unregistered; the other rows of ext are reloaded so that none
// of them keeps showing (and, at the next registration, re-registering) the association just
// removed.
VtChangeReport UnregisterRows(VtAssocRows& rows, const std::vector<std::string>& exts,
                              VtClasses* keys) {
  VtChangeReport report;
  for (const std::string& ext : exts) {
    bool first = true;
    for (int row : rows.RowsOf(ext.c_str())) {
      VtAssocInfo* entry = rows.Entry(row);
      if (first) {
        report.Changed(row, entry->ext, entry->Unregister(keys));
        first = false;
      } else {
        entry->Load();
        report.Changed(row, entry->ext, ERROR_SUCCESS);
      }
    }
  }
  return report;
}

VtChangeReport UnregisterAllRows(VtAssocRows& rows, VtClasses* keys) {
  VtChangeReport report;
  for (int row = 0; row < rows.Count(); ++row) {
    VtAssocInfo* entry = rows.Entry(row);
    report.Changed(row, entry->ext, entry->Unregister(keys));
  }
  return report;
}

void NotifyAssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}
