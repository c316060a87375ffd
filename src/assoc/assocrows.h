// The rows that the tool shows and changes, one VtAssocInfo each, owned here: the window's list
// shows them and the command line acts on them; how they are filled is the same for both.
#pragma once
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "associnfo.h"
#include "classes.h"
#include "classesmemo.h"

class VtAssocRows {
 public:
  VtAssocRows() = default;
  VtAssocRows(const VtAssocRows&) = delete;
  VtAssocRows& operator=(const VtAssocRows&) = delete;

  int Count() const { return static_cast<int>(entries_.size()); }
  // The row's entry; row is within 0..Count()-1.
  VtAssocInfo* Entry(int row) const { return entries_[static_cast<size_t>(row)].get(); }
  // Adds entry as the last row; its index.
  int Add(std::unique_ptr<VtAssocInfo> entry);
  // Keeps the first count rows only.
  void Truncate(int count);
  void Clear() { Truncate(0); }
  // The rows whose extension opens ext's key (as the registry compares key names), in row order.
  const std::vector<int>& RowsOf(const char* ext) const;
  bool Holds(const char* ext) const { return !RowsOf(ext).empty(); }
  // True for the first row of its key: where a walk takes each key once.
  bool FirstOfItsKey(int row) const { return RowsOf(Entry(row)->ext).front() == row; }

 private:
  std::vector<std::unique_ptr<VtAssocInfo>> entries_;
  std::unordered_map<std::wstring, std::vector<int>> byKey_;
};

// Adds the rows the tool shows for the player's answer (null: the player gave none): one for every
// piece of the player's extension text with the playlist types appended, in capitals as the
// player's list shows them; then one for every extension the tool itself associated that no row's
// key holds yet, looked for among the classes' ProgID keys too with classes (null: not). A walk of
// the classes reads every key of both, too much for every start: callers ask for it only without
// the player's answer, for associations older than the tool's Default Apps registration, and the
// memo spares it while the classes stand. How many rows are the player's.
int FillRows(VtAssocRows& rows, const char* extensions, VtScope scope, VtClassesMemo* classes);
