// VtChangeLock between threads of this process, which contend for a mutex as processes do.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>

#include "changelock.h"
#include "classes.h"
#include "handle.h"
#include "ownedmutex.h"
#include "usersid.h"

namespace {

const DWORD kShortWaitMs = 200;

// On a thread of its own, as a front end would: first without waiting, then (having said that it
// waits: a notice) with the wait. What it got, and how often it was told to wait.
struct Attempt {
  VtLockResult result = VtLockResult::kFailed;
  int notices = 0;
  bool got() const { return result == VtLockResult::kTaken; }
};
Attempt TryOnAnotherThread(VtScope rights, DWORD timeoutMs = kShortWaitMs) {
  Attempt attempt;
  std::thread([&] {
    VtChangeLock lock;
    const VtClasses keys(rights, rights);
    attempt.result = lock.Acquire(keys, 0);
    if (attempt.result != VtLockResult::kBusy) return;
    ++attempt.notices;
    attempt.result = lock.Acquire(keys, timeoutMs);
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
    ASSERT_EQ(first->Acquire(VtClasses(rights, rights), 0), VtLockResult::kTaken);
    EXPECT_TRUE(Taken(user));
    EXPECT_EQ(Taken(ChangeLockName(VtScope::kMachine)), rights == VtScope::kMachine);
    for (VtScope other : {VtScope::kUser, VtScope::kMachine}) {
      const Attempt blocked = TryOnAnotherThread(other);
      EXPECT_EQ(blocked.result, VtLockResult::kBusy);
      EXPECT_EQ(blocked.notices, 1);
    }
    first.reset();
    EXPECT_FALSE(Taken(user));
    const Attempt free = TryOnAnotherThread(rights);
    EXPECT_TRUE(free.got());
    EXPECT_EQ(free.notices, 0);
  }
}

// A change that was ended mid-way leaves its mutexes abandoned: the next one takes them at once.
TEST(ChangeLock, AbandonedMutexesCountAsTaken) {
  HANDLE owned[2] = {nullptr, nullptr};
  // Taken on a thread that ends without letting go, as a killed process would.
  std::thread([&owned] {
    owned[0] = vttest::CreateMutexOwnedBy(ChangeLockName(VtScope::kMachine), "BA", true);
    owned[1] = vttest::CreateMutexOwnedBy(ChangeLockName(VtScope::kUser), UserSidText(), true);
  }).join();
  // Kept open past the thread, so that the mutexes live on, abandoned.
  const VtHandle machine(owned[0]), user(owned[1]);
  ASSERT_TRUE(machine.valid() && user.valid());
  const Attempt next = TryOnAnotherThread(VtScope::kMachine);
  EXPECT_TRUE(next.got());
  EXPECT_EQ(next.notices, 0);
}

// A lock's name that an account other than SYSTEM, the Administrators or this user made first
// (here held, so that a wait would show) is never waited on, and the other hive's lock is let go;
// one of those three is waited on as a change of this tool's.
TEST(ChangeLock, ANameMadeByAnotherAccountIsNotWaitedOn) {
  const struct {
    const char* owner;  // SDDL; empty: this process's user
    VtScope hive;
    VtLockResult expected;
  } kCases[] = {
      {"S-1-5-21-1-2-3-1001", VtScope::kUser, VtLockResult::kForeignOwner},
      {"S-1-5-21-1-2-3-1001", VtScope::kMachine, VtLockResult::kForeignOwner},
      {"WD", VtScope::kUser, VtLockResult::kForeignOwner},
      {"BU", VtScope::kMachine, VtLockResult::kForeignOwner},
      {"SY", VtScope::kUser, VtLockResult::kBusy},
      {"BA", VtScope::kUser, VtLockResult::kBusy},
      {"", VtScope::kUser, VtLockResult::kBusy},
      {"SY", VtScope::kMachine, VtLockResult::kBusy},
      {"", VtScope::kMachine, VtLockResult::kBusy},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.owner) + (c.hive == VtScope::kMachine ? " machine" : " user"));
    const std::string owner = *c.owner != 0 ? c.owner : UserSidText();
    const VtHandle squatter(vttest::CreateMutexOwnedBy(ChangeLockName(c.hive), owner, true));
    ASSERT_TRUE(squatter.valid());
    const DWORD start = GetTickCount();
    const Attempt attempt = TryOnAnotherThread(VtScope::kMachine);
    EXPECT_EQ(attempt.result, c.expected);
    if (c.expected == VtLockResult::kForeignOwner) {
      EXPECT_LT(GetTickCount() - start, kShortWaitMs);
    }
    EXPECT_FALSE(Taken(ChangeLockName(c.hive == VtScope::kUser ? VtScope::kMachine : VtScope::kUser)));
    ReleaseMutex(squatter.get());
  }
  // A name taken by an object of another kind cannot be waited on either.
  const VtHandle event(CreateEventA(nullptr, TRUE, FALSE, ChangeLockName(VtScope::kUser).c_str()));
  ASSERT_TRUE(event.valid());
  EXPECT_EQ(TryOnAnotherThread(VtScope::kUser).result, VtLockResult::kForeignOwner);
}

}  // namespace
