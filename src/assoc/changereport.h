// What one command did to the rows: the rows it changed or reloaded, and the extensions it could
// not change, each once with why. The window and the command line each show it their own way.
#pragma once
#include <windows.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class VtChangeReport {
 public:
  struct Failure {
    std::string ext;  // as the row or the caller holds it, leading dot included
    DWORD result;     // why it was not changed
  };

  // row (of ext) was changed or reloaded; result: ERROR_SUCCESS, or why ext was not changed.
  void Changed(int row, const char* ext, DWORD result);
  // ext, which may be no row's, could not be changed, for the reason result.
  void NotChanged(const char* ext, DWORD result);

  // Every row changed or reloaded, once each, in the order first changed.
  const std::vector<int>& rows() const { return rows_; }
  // Every extension not changed, once each as the registry compares key names, in order; with the
  // first reason noted, unless that was kErrorMachineAssociation and another came after it.
  const std::vector<Failure>& failures() const { return failures_; }

 private:
  std::vector<int> rows_;
  std::unordered_set<int> rowsHeld_;
  std::vector<Failure> failures_;
  std::unordered_map<std::wstring, size_t> failed_;  // where each key's failure is
};
