#include "playerprobe.h"

#include <windows.h>

namespace {

// Closes the mutex handle when the probe leaves, whichever way it leaves.
class MutexHandle {
 public:
  explicit MutexHandle(HANDLE handle) : handle_(handle) {}
  ~MutexHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  MutexHandle(const MutexHandle&) = delete;
  MutexHandle& operator=(const MutexHandle&) = delete;

  bool valid() const { return handle_ != nullptr; }

 private:
  HANDLE handle_;
};

}  // namespace

bool IsPlayerRunning() {
  if (FindWindowA("TFrmMIDI", nullptr) == nullptr) return false;
  // A window of that class alone could belong to another program; the player also holds its mutex.
  MutexHandle mutex(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "Vantrel Player"));
  return mutex.valid();
}
