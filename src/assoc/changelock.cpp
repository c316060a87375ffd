#include "changelock.h"

#include <aclapi.h>
// sddl.h needs windows.h first.
#include <sddl.h>

#include <string>

#include "localmemory.h"
#include "usersid.h"

namespace {

// Global: the same user may run changes from more than one session at once.
const char kMachineName[] = "Global\\vntassoc.change.machine";
const char kUserNamePrefix[] = "Global\\vntassoc.change.user.";
// Waiting and releasing are all a change does with a mutex, and reading its owner before that.
const DWORD kMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE | READ_CONTROL;

std::string NameOf(VtScope hive, const std::string& sid) {
  return hive == VtScope::kMachine ? kMachineName : kUserNamePrefix + sid;
}

// Owned by the Administrators (the machine's) or the user (the user's), whom IsRightful accepts
// in every process that takes it; SYSTEM and the Administrators, and for the user's mutex that
// user (kMutexAccess), never everyone; labelled medium, so that the user's unelevated processes
// may also take one that an elevated process made.
std::string DescriptorText(VtScope hive, const std::string& sid) {
  std::string text = hive == VtScope::kMachine ? "O:BA" : "O:" + sid;
  text += "D:P(A;;GA;;;SY)(A;;GA;;;BA)";
  if (hive == VtScope::kUser) text += "(A;;0x120001;;;" + sid + ")";
  return text + "S:(ML;;NW;;;ME)";
}

// SYSTEM, the Administrators or this process's user (who, for the machine's mutex, is then an
// administrator: only one takes it) may have made a mutex; anyone else could hold it for ever.
bool IsRightful(PSID owner, const std::string& sid) {
  if (owner == nullptr || !IsValidSid(owner)) return false;
  if (IsWellKnownSid(owner, WinLocalSystemSid) || IsWellKnownSid(owner, WinBuiltinAdministratorsSid))
    return true;
  PSID user = nullptr;
  if (!ConvertStringSidToSidA(sid.c_str(), &user)) return false;
  const VtLocal<void> owned(user);
  return EqualSid(owner, user) != FALSE;
}

bool HasRightfulOwner(HANDLE mutex, const std::string& sid) {
  PSID owner = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                      nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
    return false;
  const VtLocal<void> owned(descriptor);
  return IsRightful(owner, sid);
}

// Opens hive's mutex into *mutex, made now when no process has it, inside hive's private
// namespace (*space) where the system has them: kTaken once it is open and made by a rightful
// owner, not yet waited on.
VtLockResult OpenMutexOf(VtScope hive, const std::string& sid, VtPrivateNamespace* space,
                         VtHandle* mutex) {
  std::string name;
  switch (OpenLockNamespace(hive, sid, space)) {
    case VtNamespaceResult::kOpened:
      name = std::string(LockNamespaceAlias(hive)) + "\\change";
      break;
    case VtNamespaceResult::kUnavailable:
      name = NameOf(hive, sid);
      break;
    case VtNamespaceResult::kFailed:
      return VtLockResult::kFailed;
  }
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(DescriptorText(hive, sid).c_str(),
                                                            SDDL_REVISION_1, &made, nullptr))
    return VtLockResult::kFailed;
  const VtLocal<void> descriptor(made);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
  mutex->Reset(CreateMutexExA(&attributes, name.c_str(), 0, kMutexAccess));
  if (!mutex->valid()) {
    // Our own mutexes let this user in: a name this user may not open, or one taken by an
    // object of another kind, was made by someone else.
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_INVALID_HANDLE
               ? VtLockResult::kForeignOwner
               : VtLockResult::kFailed;
  }
  return HasRightfulOwner(mutex->get(), sid) ? VtLockResult::kTaken : VtLockResult::kForeignOwner;
}

// kTaken when this thread now owns mutex (an abandoned one too), else kBusy after what is left of
// timeoutMs since start.
VtLockResult Take(HANDLE mutex, DWORD timeoutMs, DWORD start) {
  const DWORD spent = GetTickCount() - start;
  const DWORD rc = WaitForSingleObject(mutex, spent < timeoutMs ? timeoutMs - spent : 0);
  if (rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED) return VtLockResult::kTaken;
  return rc == WAIT_TIMEOUT ? VtLockResult::kBusy : VtLockResult::kFailed;
}

}  // namespace

std::string ChangeLockName(VtScope hive) {
  const std::string sid = UserSidText();
  return sid.empty() ? std::string() : NameOf(hive, sid);
}

VtLockResult VtChangeLock::Acquire(const VtClasses& keys, DWORD timeoutMs) {
  Release();
  const DWORD start = GetTickCount();
  const std::string sid = UserSidText();
  if (sid.empty()) return VtLockResult::kFailed;
  // The machine's first, then the user's: one order for every change.
  for (VtScope hive : {VtScope::kMachine, VtScope::kUser}) {
    if (!keys.MayWrite(hive)) continue;
    const int index = HiveIndex(hive);
    VtLockResult result = OpenMutexOf(hive, sid, &spaces_[index], &held_[index]);
    if (result == VtLockResult::kTaken) result = Take(held_[index].get(), timeoutMs, start);
    if (result != VtLockResult::kTaken) {
      held_[index].Close();
      Release();
      return result;
    }
  }
  return VtLockResult::kTaken;
}

void VtChangeLock::Release() {
  // The reverse of the order taken; each mutex before the namespace it lies in.
  for (VtScope hive : kBothHives) {
    const int index = HiveIndex(hive);
    VtHandle& mutex = held_[index];
    if (mutex.valid()) ReleaseMutex(mutex.get());
    mutex.Close();
    spaces_[index].reset();
  }
}
