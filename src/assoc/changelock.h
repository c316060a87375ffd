// One change of associations at a time in each classes hive, across every process of the tool (the
// window's and the command line's, elevated or not): a change reads what a key names before it
// writes it, and another change between the two would lose the user's earlier association.
#pragma once
#include <windows.h>

#include <string>

#include "classes.h"
#include "handle.h"
#include "locknamespace.h"

// How long a change waits for another one to end before it gives up and writes nothing.
inline constexpr DWORD kChangeLockWaitMs = 30000;

enum class VtLockResult {
  kTaken,         // held until Release or the end of the lock's scope
  kBusy,          // another change still holds it after the time given
  kForeignOwner,  // an account that may not hold it made an object of its name: never waited on
  kFailed,        // it could not be made or opened
};

// The name of hive's mutex where the system has no private namespaces (Wine): one for the
// machine's, and one per user, named by the SID of this process's user (the same in its elevated
// and its unelevated processes). Empty when the user's SID cannot be read.
std::string ChangeLockName(VtScope hive);

// Holds the mutex of every hive a change may write, from a successful Acquire to its destruction,
// which must happen on the thread that acquired (a mutex belongs to its thread).
class VtChangeLock {
 public:
  VtChangeLock() = default;
  ~VtChangeLock() { Release(); }
  VtChangeLock(const VtChangeLock&) = delete;
  VtChangeLock& operator=(const VtChangeLock&) = delete;

  // Takes the machine's mutex when keys may write the machine's classes, then the user's: always in
  // that order, so two changes never hold one each; waits timeoutMs in all. One abandoned by a
  // holder that was ended counts as taken. Anything but kTaken holds nothing, and it may be
  // called again: a front end asks with 0, shows that it waits on kBusy, then asks with the wait.
  VtLockResult Acquire(const VtClasses& keys, DWORD timeoutMs);
  // Lets go of what it holds before the end of its scope: while a box waits for the user, no other
  // change should wait too.
  void Release();

 private:
  // Index 0 the user's, 1 the machine's (HiveIndex); each null or owned by this thread, inside
  // the namespace of the same index when that is open.
  VtHandle held_[2] = {VtHandle(nullptr), VtHandle(nullptr)};
  VtPrivateNamespace spaces_[2];
};
