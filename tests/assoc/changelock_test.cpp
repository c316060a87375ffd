// VtChangeLock between threads of this process, which contend for a mutex as processes do.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "changelock.h"
#include "classes.h"
#include "handle.h"

namespace {

const DWORD kShortWaitMs = 200;

// On a thread of its own, as another change would: whether it got the lock, and how often it was
// told to wait.
struct Attempt {
  bool got = false;
  int notices = 0;
};
Attempt TryOnAnotherThread(VtScope rights, DWORD timeoutMs = kShortWaitMs) {
  Attempt attempt;
  std::thread([&] {
    VtChangeLock lock;
    attempt.got = lock.Acquire(VtClasses(rights, rights), [&] { ++attempt.notices; }, timeoutMs);
  }).join();
  return attempt;
}

// True when the mutex of that name is taken by someone else (another thread asks it).
bool Taken(const std::string& name) {
  bool taken = false;
  std::thread([&] {
    const VtHandle mutex(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
    if (!mutex.valid()) return;
    taken = WaitForSingleObject(mutex.get(), 0) == WAIT_TIMEOUT;
    if (!taken) ReleaseMutex(mutex.get());
  }).join();
  return taken;
}

// Each kind of change holds the user's mutex, an administrator's the machine's too; either waits
// for either, is told once that it waits, and goes on once the first one ends.
TEST(ChangeLock, AnotherChangeWaitsWhileOneHoldsItsHivesAndProceedsAfter) {
  const std::string user = ChangeLockName(VtScope::kUser);
  ASSERT_EQ(user.rfind("Global\\vntassoc.change.user.S-1-", 0), 0u) << user;
  for (VtScope rights : {VtScope::kUser, VtScope::kMachine}) {
    SCOPED_TRACE(rights == VtScope::kMachine ? "machine" : "user");
    std::optional<VtChangeLock> first(std::in_place);
    int notices = 0;
    ASSERT_TRUE(first->Acquire(VtClasses(rights, rights), [&] { ++notices; }, kShortWaitMs));
    EXPECT_EQ(notices, 0);
    EXPECT_TRUE(Taken(user));
    EXPECT_EQ(Taken(ChangeLockName(VtScope::kMachine)), rights == VtScope::kMachine);
    for (VtScope other : {VtScope::kUser, VtScope::kMachine}) {
      const Attempt blocked = TryOnAnotherThread(other);
      EXPECT_FALSE(blocked.got);
      EXPECT_EQ(blocked.notices, 1);
    }
    first.reset();
    EXPECT_FALSE(Taken(user));
    const Attempt free = TryOnAnotherThread(rights);
    EXPECT_TRUE(free.got);
    EXPECT_EQ(free.notices, 0);
  }
}

// A change that was ended mid-way leaves its mutexes abandoned: the next one takes them at once.
TEST(ChangeLock, AbandonedMutexesCountAsTaken) {
  HANDLE owned[2] = {nullptr, nullptr};
  // Taken on a thread that ends without letting go, as a killed process would.
  std::thread([&owned] {
    owned[0] = CreateMutexA(nullptr, TRUE, ChangeLockName(VtScope::kMachine).c_str());
    owned[1] = CreateMutexA(nullptr, TRUE, ChangeLockName(VtScope::kUser).c_str());
  }).join();
  // Kept open past the thread, so that the mutexes live on, abandoned.
  const VtHandle machine(owned[0]), user(owned[1]);
  ASSERT_TRUE(machine.valid() && user.valid());
  const Attempt next = TryOnAnotherThread(VtScope::kMachine);
  EXPECT_TRUE(next.got);
  EXPECT_EQ(next.notices, 0);
}

}  // namespace
