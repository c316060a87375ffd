// The entries one command line acts on, and the extensions it could not change.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "assocrows.h"
#include "associnfo.h"

class VtCliRows final : public VtAssocRows {
 public:
  // passOverMachine: an association of the machine that this scope may not undo is no failure
  // (undoing every association this user may undo).
  explicit VtCliRows(bool passOverMachine = false) : passOverMachine_(passOverMachine) {}

  int Count() const override { return static_cast<int>(entries_.size()); }
  VtAssocInfo* Entry(int row) const override { return entries_[static_cast<size_t>(row)].get(); }
  void Add(std::unique_ptr<VtAssocInfo> entry) override;
  void Changed(int row, DWORD result) override;

  // Adds a loaded row for ext unless a row holds its key already.
  void AddExtension(const std::string& ext, VtScope scope);
  // The same row without loading it, for a command that only changes it: Register and Unregister
  // read what they need and leave the fields as the registry shows them afterwards.
  void AddToChange(const std::string& ext, VtScope scope);
  // Notes that ext (one of the rows' or not) could not be changed, for the reason result.
  void NoteFailure(const char* ext, DWORD result);
  // "ext: reason" for each extension not changed, each once, in the order they failed.
  const std::vector<std::wstring>& failures() const { return failures_; }

 private:
  bool passOverMachine_;
  std::vector<std::unique_ptr<VtAssocInfo>> entries_;
  std::unordered_set<std::wstring> held_;  // every row's key, as the registry compares them
  std::unordered_set<std::wstring> noted_;
  std::vector<std::wstring> failures_;
};

// ext as the command line shows it: with its "." and in small letters.
std::string ShownExtension(const char* ext);
