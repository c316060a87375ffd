// The window's list as the shared fill, apply and undo see it, and what one command's changes
// share. Private to the window's own files.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "assocrows.h"
#include "classes.h"
#include "mainfrm.h"

class TFrmAssoc::Command {
 public:
  explicit Command(const TFrmAssoc& form) : form_(form), keys_(form.scope_, form.rights_) {}
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // The classes keys every registration of the command shares, opened by the first that needs one.
  VtClasses* keys() { return &keys_; }
  // Notes row's extension as the list shows it, unless error is ERROR_SUCCESS or it is noted.
  void Add(int row, DWORD error);
  // One box with every extension noted; none when nothing was. No key stays open while it shows.
  void ShowFailures();

 private:
  const TFrmAssoc& form_;
  VtClasses keys_;
  std::unordered_set<std::string> noted_;
  std::vector<std::wstring> lines_;
  size_t more_ = 0;
};

class TFrmAssoc::ListRows final : public VtAssocRows {
 public:
  // command: where failures are noted; null outside a command.
  explicit ListRows(TFrmAssoc& form, Command* command = nullptr)
      : form_(form), command_(command) {}

  int Count() const override;
  VtAssocInfo* Entry(int row) const override;
  void Add(std::unique_ptr<VtAssocInfo> entry) override;
  void Changed(int row, DWORD result) override;

 private:
  TFrmAssoc& form_;
  Command* command_;
};
