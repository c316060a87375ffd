// The rows that the tool shows and changes, one VtAssocInfo each: the window's list, or the entries
// of one command line. How they are filled, applied and undone is the same for both.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "applyoptions.h"
#include "classes.h"

class VtAssocInfo;

class VtAssocRows {
 public:
  virtual int Count() const = 0;
  // The row's entry; null for a row without one.
  virtual VtAssocInfo* Entry(int row) const = 0;
  // Adds a row at the end for the loaded entry.
  virtual void Add(std::unique_ptr<VtAssocInfo> entry) = 0;
  // The row's entry was changed or reloaded: result is ERROR_SUCCESS, or why a change was not made.
  virtual void Changed(int row, DWORD result) = 0;

 protected:
  ~VtAssocRows() = default;
};

// The next row after `after` (-1: from the first) whose entry's extension equals ext under
// CompareNoCase, or that has an entry at all for a null ext; -1 when there is none.
int NextRowOf(const VtAssocRows& rows, const char* ext, int after);

// A row for every piece of the player's extension text, with the playlist types appended, in
// capitals as the player's list shows them.
void AddPlayerRows(VtAssocRows& rows, const char* extensions, VtScope scope);
// A row for every extension the tool itself associated (scanClasses: also those found only through
// their ProgID keys) that no row's key holds yet.
void AddOwnRows(VtAssocRows& rows, bool scanClasses, VtScope scope);
// The rows the tool shows for the player's answer (null: the player gave none): the player's, then
// the tool's own, which are looked for in every ProgID key only without an answer. How many of the
// rows added are the player's.
int FillRows(VtAssocRows& rows, const char* extensions, VtScope scope);

// Registers every row of each piece (an extension with its "."): type name typeName, or when that
// is empty the one VtTypeNames gives from folder; then registers every association of the scope's
// own among the rows again, so that all of them open with the options.
void ApplyRows(VtAssocRows& rows, const char* exePath, const std::vector<std::string>& pieces,
               const std::string& typeName, const char* folder, const VtApplyOptions& options,
               VtClasses* keys);
// Unregisters the first row of ext, or every row for a null ext; the other rows of ext are reloaded.
void UnregisterRows(VtAssocRows& rows, const char* ext, VtClasses* keys);

// Tells Explorer, which keeps the old icons and may keep the old handler until the user logs off
// unless it is told; once per command, since each notice makes it reread every association.
void NotifyAssociationsChanged();
