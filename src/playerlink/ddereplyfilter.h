// Lets a player at a lower integrity level answer an elevated tool over DDE, which is window
// messages that Windows would otherwise drop on their way up. What the replies carry stays untrusted.
#pragma once
#include <windows.h>

// While it lives, each window this thread creates takes WM_DDE_ACK, WM_DDE_DATA and WM_DDE_TERMINATE
// from any integrity level (Windows 7 and later): DDEML makes the client's conversation window
// inside DdeConnect and asks the servers from it at once. Where that per-window filter is missing
// (Vista), the three messages are let into the whole process instead, and stay so.
class VtDdeReplyFilter {
 public:
  VtDdeReplyFilter();
  // Removes the hook; the windows made meanwhile keep their filter.
  ~VtDdeReplyFilter();
  VtDdeReplyFilter(const VtDdeReplyFilter&) = delete;
  VtDdeReplyFilter& operator=(const VtDdeReplyFilter&) = delete;

 private:
  HHOOK hook_;  // null where the process-wide filter was used or the hook could not be set
};
