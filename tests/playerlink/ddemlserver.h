// A DDEML server on its own thread of the test process, answering every CF_TEXT request with the
// same bytes. DdeCreateDataHandle keeps the exact size, which a raw server's GlobalAlloc block does
// not; Wine's DDEML server spoils a second request on a conversation, so use one request each.
#pragma once
#include <windows.h>
#include <ddeml.h>
#include <string>

namespace vttest {

class DdemlServer {
 public:
  // Serves service and topic `name`. ready() tells whether the service was registered.
  DdemlServer(const std::string& name, const std::string& answer);
  // Unregisters the service and ends the thread.
  ~DdemlServer();
  DdemlServer(const DdemlServer&) = delete;
  DdemlServer& operator=(const DdemlServer&) = delete;

  bool ready() const { return ready_; }
  LONG requests() const { return requests_; }

 private:
  static DWORD WINAPI ThreadMain(void* self);
  static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conversation, HSZ topic, HSZ item,
                                    HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2);
  void Serve();

  std::string name_;
  std::string answer_;
  DWORD instance_;
  HSZ nameHandle_;
  HANDLE started_;
  HANDLE thread_;
  DWORD threadId_;
  bool ready_;
  volatile LONG requests_;
};

}  // namespace vttest
