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

ReadOnlyTree::~ReadOnlyTree() { Unlock(path_); }

// Children first, so that each key is listed before its own rights change.
void ReadOnlyTree::Lock(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root_, path.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) {
    failed_.push_back(path + " (open)");
    return;
  }
  // Wine's performance-data keys (Perflib) give no DACL to read, and take none; nothing of
  // ours is there.
  DWORD size = 0;
  const bool lockable =
      RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size) ==
          ERROR_INSUFFICIENT_BUFFER &&
      size != 0;
  RegCloseKey(key);
  for (const std::string& name : SubkeyNames(root_, path, kView64)) Lock(path + "\\" + name);
  if (!lockable) return;
  static const Descriptor readOnly(L"D:P(A;CI;KR;;;WD)");
  if (RegOpenKeyExA(root_, path.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) {
    failed_.push_back(path + " (reopen)");
    return;
  }
  if (!SetDacl(key, readOnly.get())) failed_.push_back(path + " (set)");
  RegCloseKey(key);
}

// Wine's keys hold no DACL of their own until one is set, and new keys inherit from what is set:
// the DACL read before (administrators only, not inheritable) would leave every key made later
// beneath it without rights for anyone. Full access for everyone, inherited, is how the keys
// behaved before.
void ReadOnlyTree::Unlock(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root_, path.c_str(), 0, kDaclAccess, &key) != ERROR_SUCCESS) return;
  static const Descriptor fullAccess(L"D:(A;CI;KA;;;WD)");
  SetDacl(key, fullAccess.get());
  RegCloseKey(key);
  for (const std::string& name : SubkeyNames(root_, path, kView64)) Unlock(path + "\\" + name);
}

}  // namespace vttest
