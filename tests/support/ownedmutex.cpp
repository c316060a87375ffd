#include "ownedmutex.h"

// sddl.h needs windows.h first.
#include <sddl.h>

#include "localmemory.h"

namespace vttest {

HANDLE CreateMutexOwnedBy(const std::string& name, const std::string& owner, bool take) {
  PSECURITY_DESCRIPTOR made = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(("O:" + owner + "D:(A;;GA;;;WD)").c_str(),
                                                            SDDL_REVISION_1, &made, nullptr))
    return nullptr;
  const VtLocal<void> descriptor(made);
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor.get(), FALSE};
  return CreateMutexA(&attributes, take, name.c_str());
}

}  // namespace vttest
