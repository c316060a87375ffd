// The two places where Windows keeps file associations: the machine's classes
// (HKEY_LOCAL_MACHINE\Software\Classes), for every user, and each user's own
// (HKEY_CURRENT_USER\Software\Classes), which Windows reads first. HKEY_CLASSES_ROOT merges them on
// Windows but not under every implementation, and a write through it lands in whichever one the
// system picks; so the tool addresses each one itself.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "defaultappkeys.h"
#include "registry.h"

// The classes key beneath each of the two hives.
inline constexpr char kClassesKey[] = "Software\\Classes";

// One of the two classes hives, with the tool's Default Apps registration beside it. The same
// value says three things by where it stands: a change's scope (the hive it registers in), a
// hive (where a key is read or written), and rights (the widest hive a change may write).
enum class VtScope { kMachine, kUser };

// Both classes hives in the order Windows reads them for this user: the user's, then the machine's.
inline constexpr VtScope kBothHives[] = {VtScope::kUser, VtScope::kMachine};
// 0 for the user's hive, 1 for the machine's: where a pair of per-hive things keeps each.
inline int HiveIndex(VtScope hive) { return hive == VtScope::kUser ? 0 : 1; }
inline VtScope OtherHive(VtScope hive) {
  return hive == VtScope::kUser ? VtScope::kMachine : VtScope::kUser;
}

// HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER: the hive that holds scope's classes, the tool's key
// and RegisteredApplications.
HKEY ScopeHive(VtScope scope);
// The machine's when this process may create keys and set values in the machine's classes (an
// elevated administrator), else the user's.
VtScope WritableScope();
// The names of the keys directly beneath scope's classes, listed in the 64-bit view: a 32-bit
// process lists its own view of the machine's classes under Wine as the redirected keys alone
// (CLSID, Interface, ...), while every key it opens by name is the one both views share. None
// when the key cannot be read; a name too long to address is left out.
std::vector<std::string> ClassesKeyNames(VtScope scope);

// The registry keys one operation shares, each opened when first needed and closed with this
// object: both hives' classes keys and the tool's Default Apps keys; and the scope the operation
// registers in: the one object that carries it.
class VtClasses {
 public:
  // rights: the widest scope the operation may change (Unregister reaches every hive it may write);
  // scope: where it registers, never wider than rights.
  explicit VtClasses(VtScope scope) : VtClasses(scope, scope) {}
  VtClasses(VtScope scope, VtScope rights)
      : scope_(scope), rights_(scope == VtScope::kUser ? rights : VtScope::kMachine) {}
  VtClasses(const VtClasses&) = delete;
  VtClasses& operator=(const VtClasses&) = delete;

  VtScope scope() const { return scope_; }
  // Closes every key it holds; the next use opens them again.
  void Close();
  // The scopes this operation may write: the user's always, the machine's with its rights.
  bool MayWrite(VtScope scope) const {
    return scope == VtScope::kUser || rights_ == VtScope::kMachine;
  }
  // Opens name, directly beneath scope's classes, into key with access; the registry's result
  // (ERROR_FILE_NOT_FOUND for a missing key, ERROR_ACCESS_DENIED for a refused one).
  LONG Open(VtRegistry* key, VtScope scope, const char* name, REGSAM access);
  // Open that creates name when missing; only in a scope this process may write. *created (may be
  // null): this call made name.
  LONG Create(VtRegistry* key, VtScope scope, const char* name, REGSAM access,
              bool* created = nullptr);
  // Opens name for reading as Windows merges the two: the user's key when it exists, else the
  // machine's. *found (may be null) tells which.
  bool OpenMerged(VtRegistry* key, const char* name, VtScope* found = nullptr);
  // VtRegistry::DeleteKnownTree of name beneath scope's classes; ERROR_FILE_NOT_FOUND when the
  // classes key itself is missing.
  LONG DeleteKnownTree(VtScope scope, const char* name, std::initializer_list<const char*> known);

  // The tool's Default Apps FileAssociations keys of the operation.
  VtDefaultAppKeys& defaultApps() { return defaultApps_; }

 private:
  // scope's classes key, opened now if it is not yet; closed (with its error) when it cannot be.
  VtRegistry& Root(VtScope scope, bool create = false);

  VtScope scope_;
  VtScope rights_;
  VtRegistry machine_;
  VtRegistry user_;
  bool machineTried_ = false;
  bool userTried_ = false;
  VtDefaultAppKeys defaultApps_;
};
