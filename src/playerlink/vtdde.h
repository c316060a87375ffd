// A DDE instance together with the string handles of one service and one topic.
#pragma once
#include <windows.h>
#include <ddeml.h>

class VtDDE {
 public:
  enum { kNameSize = 64 };

  // Sets up the instance and both handles. Afterwards instance() is non-zero when all of it
  // succeeded, else 0 with nothing held. A null callback answers null to every transaction. The
  // names are copied, cut to 63 bytes at most without splitting a double-byte character.
  VtDDE(PFNCALLBACK callback, const char* topic, const char* service);
  // Frees the service handle, then the topic handle, then the instance.
  ~VtDDE();
  VtDDE(const VtDDE&) = delete;
  VtDDE& operator=(const VtDDE&) = delete;

  DWORD instance() const { return instance_; }
  HSZ serviceHandle() const { return service_; }
  HSZ topicHandle() const { return topic_; }

 private:
  // Frees the service handle, then the topic handle, then the instance; nothing is held afterwards.
  void Free();

  DWORD instance_;  // 0: no instance, and then no handles either
  HSZ service_;
  HSZ topic_;
};
