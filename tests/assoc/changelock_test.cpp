// VtChangeLock between threads of this process, which contend for a mutex as processes do.
#include <gtest/gtest.h>

#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <thread>

#include "changelock.h"
#include "classes.h"
#include "handle.h"

namespace {

const DWORD kShortWaitMs = 200;

struct Rights {
  VtScope rights;
  bool machineHeld;  // the machine's mutex is taken besides the user's
};
const Rights kRights[] = {{VtScope::kUser, false}, {VtScope::kMachine, true}};

// On a thread of its own, as another change would: whether it got the lock, and how often it was
// told to wait.
struct Attempt {
  bool got = false;
  int notices = 0;
};
Attempt TryOnAnotherThread(VtScope rights, DWORD timeoutMs) {
  Attempt attempt;
  std::thread([&] {
    const VtClasses keys(rights, rights);
    VtChangeLock lock;
    attempt.got = lock.Acquire(keys, [&] { ++attempt.notices; }, timeoutMs);
  }).join();
  return attempt;
}

// True when the mutex of that name is taken by someone else (another thread asks it).
bool Taken(const std::string& name) {
  bool taken = false;
  std::thread([&] {
    const VtHandle mutex(OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
    if (!mutex.valid()) return;
    const DWORD rc = WaitForSingleObject(mutex.get(), 0);
    taken = rc == WAIT_TIMEOUT;
    if (!taken) ReleaseMutex(mutex.get());
  }).join();
  return taken;
}

TEST(ChangeLock, AnotherChangeWaitsWhileOneHoldsItsHivesAndProceedsAfter) {
  const std::string user = ChangeLockName(VtScope::kUser);
  ASSERT_EQ(user.rfind("Global\\vntassoc.change.user.S-1-", 0), 0u) << user;
  for (const Rights& row : kRights) {
    SCOPED_TRACE(row.machineHeld ? "machine" : "user");
    const VtClasses keys(row.rights, row.rights);
    std::optional<VtChangeLock> first(std::in_place);
    int notices = 0;
    ASSERT_TRUE(first->Acquire(keys, [&] { ++notices; }, kShortWaitMs));
    EXPECT_EQ(notices, 0);
    EXPECT_TRUE(Taken(user));
    EXPECT_EQ(Taken(ChangeLockName(VtScope::kMachine)), row.machineHeld);

    // Either kind of change waits for either: each holds the user's mutex.
    for (const Rights& other : kRights) {
      const Attempt blocked = TryOnAnotherThread(other.rights, kShortWaitMs);
      EXPECT_FALSE(blocked.got);
      EXPECT_EQ(blocked.notices, 1);
    }
    first.reset();
    EXPECT_FALSE(Taken(user));
    const Attempt free = TryOnAnotherThread(row.rights, kShortWaitMs);
    EXPECT_TRUE(free.got);
    EXPECT_EQ(free.notices, 0);
  }
}

// Holds each named mutex on a thread of its own, taken in the order given, and lets them go one
// by one pauseMs apart; abandon: the thread ends without letting go.
class Holder {
 public:
  Holder(std::initializer_list<VtScope> hives, DWORD pauseMs, bool abandon)
      : taken_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        go_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    for (VtScope hive : hives)
      mutexes_.emplace_back(CreateMutexA(nullptr, FALSE, ChangeLockName(hive).c_str()));
    thread_ = std::thread([this, pauseMs, abandon] {
      for (const auto& mutex : mutexes_) WaitForSingleObject(mutex.get(), INFINITE);
      SetEvent(taken_.get());
      if (abandon) return;
      WaitForSingleObject(go_.get(), INFINITE);
      for (const auto& mutex : mutexes_) {
        Sleep(pauseMs);
        ReleaseMutex(mutex.get());
      }
    });
    WaitForSingleObject(taken_.get(), INFINITE);
  }
  ~Holder() { Join(); }
  void Go() { SetEvent(go_.get()); }
  void Join() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  VtHandle taken_;
  VtHandle go_;
  std::deque<VtHandle> mutexes_;  // a VtHandle never moves
  std::thread thread_;
};

TEST(ChangeLock, ToldOnceWhenItWaitsForBothHivesAndAbandonedMutexesCountAsTaken) {
  const VtClasses machine(VtScope::kMachine, VtScope::kMachine);
  {
    Holder holder({VtScope::kMachine, VtScope::kUser}, 150, false);
    holder.Go();
    VtChangeLock lock;
    int notices = 0;
    const DWORD start = GetTickCount();
    EXPECT_TRUE(lock.Acquire(machine, [&] { ++notices; }, 10000));
    EXPECT_GE(GetTickCount() - start, 250u);
    EXPECT_EQ(notices, 1);
  }
  // A holder that was ended leaves its mutexes abandoned: taken at once, without a notice.
  Holder killed({VtScope::kMachine, VtScope::kUser}, 0, true);
  killed.Join();
  VtChangeLock lock;
  int notices = 0;
  EXPECT_TRUE(lock.Acquire(machine, [&] { ++notices; }, kShortWaitMs));
  EXPECT_EQ(notices, 0);
}

}  // namespace
