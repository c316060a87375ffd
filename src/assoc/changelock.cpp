#include "changelock.h"

// sddl.h needs windows.h first.
#include <sddl.h>

#include <string>

#include "localmemory.h"
#include "usersid.h"

namespace {

// Global: the same user may run changes from more than one session at once.
const char kMachineName[] = "Global\\vntassoc.change.machine";
const char kUserNamePrefix[] = "Global\\vntassoc.change.user.";
// Waiting and releasing are all a change does with a mutex.
const DWORD kMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

std::string NameOf(VtScope hive, const std::string& sid) {
  return hive == VtScope::kMachine ? kMachineName : kUserNamePrefix + sid;
}

// SYSTEM and the Administrators, and for the user's mutex that user (kMutexAccess), never
// everyone; labelled medium, so that the user's unelevated processes may also take one that an
// elevated process made.
std::string DescriptorText(VtScope hive, const std::string& sid) {
  std::string text = "D:P(A;;GA;;;SY)(A;;GA;;;BA)";
  if (hive == VtScope::kUser) text += "(A;;0x100001;;;" + sid + ")";
  return text + "S:(ML;;NW;;;ME)";
}

// The mutex of hive, made now when no process has it; null when it cannot be had (a name taken
// by an object this user may not open stays so).
HANDLE OpenMutexOf(VtScope hive, const std::string& sid) {
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(DescriptorText(hive, sid).c_str(),
                                                            SDDL_REVISION_1, &made, nullptr))
    return nullptr;
  const VtLocal<void> descriptor(made);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
  return CreateMutexExA(&attributes, NameOf(hive, sid).c_str(), 0, kMutexAccess);
}

// True when this thread now owns mutex; an abandoned one is owned too. Calls waiting (once over
// every call that shares *notified) before it waits at all.
bool Take(HANDLE mutex, DWORD timeoutMs, DWORD start, const std::function<void()>& waiting,
          bool* notified) {
  DWORD rc = WaitForSingleObject(mutex, 0);
  if (rc == WAIT_TIMEOUT) {
    if (!*notified && waiting) waiting();
    *notified = true;
    const DWORD spent = GetTickCount() - start;
    rc = spent < timeoutMs ? WaitForSingleObject(mutex, timeoutMs - spent) : WAIT_TIMEOUT;
  }
  return rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED;
}

}  // namespace

std::string ChangeLockName(VtScope hive) {
  const std::string sid = UserSidText();
  return sid.empty() ? std::string() : NameOf(hive, sid);
}

bool VtChangeLock::Acquire(const VtClasses& keys, const std::function<void()>& waiting,
                           DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  const std::string sid = UserSidText();
  if (sid.empty()) return false;
  bool notified = false;
  // The machine's first, then the user's: one order for every change.
  for (VtScope hive : {VtScope::kMachine, VtScope::kUser}) {
    if (!keys.MayWrite(hive)) continue;
    VtHandle& mutex = held_[HiveIndex(hive)];
    mutex.Reset(OpenMutexOf(hive, sid));
    if (!mutex.valid() || !Take(mutex.get(), timeoutMs, start, waiting, &notified)) {
      mutex.Close();
      Release();
      return false;
    }
  }
  return true;
}

void VtChangeLock::Release() {
  // The reverse of the order taken.
  for (VtScope hive : kBothHives) {
    VtHandle& mutex = held_[HiveIndex(hive)];
    if (mutex.valid()) ReleaseMutex(mutex.get());
    mutex.Close();
  }
}
