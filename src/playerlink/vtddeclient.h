// A DDE conversation with one service and topic that requests items as CF_TEXT.
#pragma once
#include "vtdde.h"

class VtDDEClient : public VtDDE {
 public:
  // Sets up the instance (see VtDDE) and connects; connected() is false when no server answered.
  VtDDEClient(PFNCALLBACK callback, const char* topic, const char* service);
  // Disconnects, then releases the instance.
  ~VtDDEClient();
  VtDDEClient(const VtDDEClient&) = delete;
  VtDDEClient& operator=(const VtDDEClient&) = delete;

  // Requests item as text, waiting at most timeout ms. True: *out is a new zero-terminated copy of
  // exactly the bytes received, owned by the caller (delete[]). False: *out is null, or untouched
  // when out itself is null. The conversation stays usable after a failed or timed-out request.
  bool Request(char** out, const char* item, DWORD timeout);

  bool connected() const { return conversation_ != nullptr; }
  // The window of the program on the other end, as DDEML knows it; null when not connected or
  // when DDEML cannot tell.
  HWND partner() const;

 private:
  HCONV conversation_;
};
