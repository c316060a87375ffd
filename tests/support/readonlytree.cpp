#include "readonlytree.h"

#include <sddl.h>

#include "regaccess.h"

namespace vttest {
namespace {

const REGSAM kDaclAccess = READ_CONTROL | WRITE_DAC | KEY_ENUMERATE_SUB_KEYS | kView64;

// A security descriptor made from its text form, freed at the end of the scope.
class Descriptor {
 public:
  explicit Descriptor(const wchar_t* text) {
    ConvertStringSecurityDescriptorToSecurityDescriptorW(text, SDDL_REVISION_1, &sd_, nullptr);
  }
  ~Descriptor() { LocalFree(sd_); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  PSECURITY_DESCRIPTOR get() const { return sd_; }

 private:
  PSECURITY_DESCRIPTOR sd_ = nullptr;
};

bool SetDacl(HKEY key, PSECURITY_DESCRIPTOR sd) {
  return sd != nullptr && RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
}

}  // namespace

ReadOnlyTree::ReadOnlyTree(HKEY root, const std::string& path) : root_(root), path_(path) {
  Lock(path);
}

ReadOnlyTree::~ReadOnlyTree() {
  OpenNew(path_);
  for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
    HKEY key;
    if (RegOpenKeyExA(root_, saved->first.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) continue;
    SetDacl(key, saved->second.data());
    RegCloseKey(key);
  }
}

// Children first: a parent that reads only still lets its children be listed, and their DACLs are
// saved before anything above them changes.
void ReadOnlyTree::Lock(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root_, path.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) {
    failed_.push_back(path + " (open)");
    return;
  }
  DWORD size = 0;
  RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
  std::vector<BYTE> saved(size);
  const bool known = size != 0 && RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data(),
                                                    &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  met_.insert(path);
  for (const std::string& name : SubkeyNames(root_, path, kView64)) Lock(path + "\\" + name);
  // Wine's performance-data keys (Perflib) give no DACL to read; nothing of ours is there.
  if (!known) return;
  saved_.emplace_back(path, std::move(saved));
  static const Descriptor readOnly(L"D:P(A;CI;KR;;;WD)");
  if (RegOpenKeyExA(root_, path.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) {
    failed_.push_back(path + " (reopen)");
    return;
  }
  if (!SetDacl(key, readOnly.get())) failed_.push_back(path + " (set)");
  RegCloseKey(key);
}

void ReadOnlyTree::OpenNew(const std::string& path) {
  if (met_.count(path) == 0) {
    HKEY key;
    if (RegOpenKeyExA(root_, path.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) return;
    static const Descriptor fullAccess(L"D:(A;CI;KA;;;WD)");
    SetDacl(key, fullAccess.get());
    RegCloseKey(key);
  }
  for (const std::string& name : SubkeyNames(root_, path, kView64)) OpenNew(path + "\\" + name);
}

}  // namespace vttest
