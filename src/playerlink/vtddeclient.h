// A DDE conversation with one service and topic that requests items as CF_TEXT.
#pragma once
#include "ownedtext.h"
#include "vtdde.h"

class VtDDEClient : public VtDDE {
 public:
  // Sets up the instance (see VtDDE) and connects; connected() is false when no server answered.
  VtDDEClient(PFNCALLBACK callback, const char* topic, const char* service);
  // Disconnects, then releases the instance.
  ~VtDDEClient();
  VtDDEClient(const VtDDEClient&) = delete;
  VtDDEClient& operator=(const VtDDEClient&) = delete;

  // Requests item as text, waiting at most timeout ms: a zero-terminated copy of exactly the bytes
  // received, null when the request failed or timed out. The conversation stays usable afterwards.
  VtOwnedText Request(const char* item, DWORD timeout);

  bool connected() const { return conversation_ != nullptr; }
  // The window of the program on the other end, as DDEML knows it; null when not connected or
  // when DDEML cannot tell.
  HWND partner() const;

 private:
  HCONV conversation_;
};
