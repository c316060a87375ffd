#include "locknamespace.h"

// sddl.h needs windows.h first.
#include <sddl.h>

#include <string>

#include "localmemory.h"

void ClosePrivateNamespaceOf(void* space) { ClosePrivateNamespace(space, 0); }

namespace {

void DeleteBoundary(void* boundary) { DeleteBoundaryDescriptor(boundary); }
using VtBoundary = VtOwner<void, DeleteBoundary>;

// One alias per hive: an alias names one namespace within a process.
const char kMachineAlias[] = "vntassoc.machine";
const char kUserAlias[] = "vntassoc.user";
const wchar_t kMachineAliasW[] = L"vntassoc.machine";
const wchar_t kUserAliasW[] = L"vntassoc.user";

// member and the integrity label, SIDs as text ("S-1-5-..."), added to boundary; false when one cannot be.
bool AddToBoundary(HANDLE* boundary, const char* member, const char* label) {
  PSID memberSid = nullptr, labelSid = nullptr;
  if (!ConvertStringSidToSidA(member, &memberSid)) return false;
  const VtLocal<void> ownedMember(memberSid);
  if (!ConvertStringSidToSidA(label, &labelSid)) return false;
  const VtLocal<void> ownedLabel(labelSid);
  return AddSIDToBoundaryDescriptor(boundary, memberSid) &&
         AddIntegrityLabelToBoundaryDescriptor(boundary, labelSid);
}

// Who may open the namespace itself: SYSTEM, the Administrators and, for the user's, that user,
// labelled medium so that the user's unelevated processes may open one an elevated process made.
std::string NamespaceDescriptor(VtScope hive, const std::string& user) {
  std::string text = "D:P(A;;GA;;;SY)(A;;GA;;;BA)";
  if (hive == VtScope::kUser) text += "(A;;GA;;;" + user + ")";
  return text + "S:(ML;;NW;;;ME)";
}

}  // namespace

const char* LockNamespaceAlias(VtScope hive) {
  return hive == VtScope::kMachine ? kMachineAlias : kUserAlias;
}

VtNamespaceResult OpenLockNamespace(VtScope hive, const std::string& user,
                                    VtPrivateNamespace* space) {
  // Wide: Wine 8 returns null here, and aborts the process in the ANSI one and in every other
  // namespace function.
  const wchar_t* alias = hive == VtScope::kMachine ? kMachineAliasW : kUserAliasW;
  VtBoundary boundary(CreateBoundaryDescriptorW(alias, 0));
  if (!boundary) return VtNamespaceResult::kUnavailable;
  HANDLE added = boundary.get();
  const bool machine = hive == VtScope::kMachine;
  // The mandatory labels high and medium.
  const bool built = AddToBoundary(&added, machine ? "S-1-5-32-544" : user.c_str(),
                                   machine ? "S-1-16-12288" : "S-1-16-8192");
  // Adding may move the descriptor.
  boundary.release();
  boundary.reset(added);
  if (!built) return VtNamespaceResult::kFailed;
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(
          NamespaceDescriptor(hive, user).c_str(), SDDL_REVISION_1, &made, nullptr))
    return VtNamespaceResult::kFailed;
  const VtLocal<void> descriptor(made);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
  space->reset(CreatePrivateNamespaceW(&attributes, boundary.get(), alias));
  if (!*space && GetLastError() == ERROR_ALREADY_EXISTS)
    space->reset(OpenPrivateNamespaceW(boundary.get(), alias));
  return *space ? VtNamespaceResult::kOpened : VtNamespaceResult::kFailed;
}
