// What one command's changes share: the classes keys and, at its end, the box with what it could
// not change. Private to the window's own files.
#pragma once
#include <vector>

#include "changelock.h"
#include "changereport.h"
#include "classes.h"
#include "mainfrm.h"

class TFrmAssoc::Command {
 public:
  explicit Command(TFrmAssoc& form) : form_(form), keys_(form.scope_, form.rights_) {}
  Command(const Command&) = delete;
  Command& operator=(const Command&) = delete;

  // Takes the change lock before the command reads the rows for its change, showing the wait
  // cursor while another change runs. False when that one did not end in time or another account
  // holds the lock's name: a box has said so, and the command writes nothing.
  bool Start();
  // The classes keys every registration of the command shares, opened by the first that needs one.
  VtClasses* keys() { return &keys_; }
  // Shows each row report changed, then one box with every extension it could not change (none
  // when it changed all). No key stays open, and no other change waits, while the box shows.
  void Finish(const VtChangeReport& report);

 private:
  // One box with failures, at most 20 of them and how many more, each extension as its row's
  // caption; none when there are none.
  void ShowFailures(const std::vector<VtChangeReport::Failure>& failures);

  TFrmAssoc& form_;
  VtClasses keys_;
  // Held from Start until the change is done (Finish).
  VtChangeLock lock_;
};
