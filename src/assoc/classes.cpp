#include "classes.h"

HKEY ScopeHive(VtScope scope) {
  return scope == VtScope::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

VtScope WritableScope() {
  VtRegistry probe;
  return probe.Open(HKEY_LOCAL_MACHINE, kClassesKey, KEY_CREATE_SUB_KEY | KEY_SET_VALUE)
             ? VtScope::kMachine
             : VtScope::kUser;
}

std::vector<std::string> ClassesKeyNames(VtScope scope) {
  std::vector<std::string> names;
  VtRegistry classes(KEY_WOW64_64KEY);
  if (!classes.Open(ScopeHive(scope), kClassesKey, KEY_READ)) return names;
  VtRegistry::NameBuffer name;
  for (DWORD index = 0; classes.SubkeyName(index, name); ++index)
    if (name[0] != 0) names.push_back(name);
  return names;
}

VtRegistry& VtClasses::Root(VtScope scope, bool create) {
  const bool machine = scope == VtScope::kMachine;
  VtRegistry& root = machine ? machine_ : user_;
  bool& tried = machine ? machineTried_ : userTried_;
  // A user's classes key found missing by a read may still be created for a write.
  if (root.key() != nullptr || (tried && !(create && !machine))) return root;
  tried = true;
  const REGSAM access = MayWrite(scope) ? KEY_READ | KEY_WRITE : KEY_READ;
  // Each user has a classes key; it is created only for a write, never to read.
  if (create && !machine) {
    root.Create(HKEY_CURRENT_USER, kClassesKey, access);
  } else if (!root.Open(ScopeHive(scope), kClassesKey, access) && access != KEY_READ &&
             root.error() == ERROR_ACCESS_DENIED) {
    // Without the right to write, reading still works; the writes are then refused one by one.
    root.Open(ScopeHive(scope), kClassesKey, KEY_READ);
  }
  return root;
}

void VtClasses::Close() {
  machine_.Close();
  user_.Close();
  machineTried_ = false;
  userTried_ = false;
  defaultApps_.Close();
}

LONG VtClasses::Open(VtRegistry* key, VtScope scope, const char* name, REGSAM access) {
  const VtRegistry& root = Root(scope);
  if (root.key() == nullptr) {
    key->Close();
    return root.error();
  }
  key->Open(root.key(), name, access);
  return key->error();
}

LONG VtClasses::Create(VtRegistry* key, VtScope scope, const char* name, REGSAM access,
                       bool* created) {
  key->Close();
  if (created != nullptr) *created = false;
  if (!MayWrite(scope)) return ERROR_ACCESS_DENIED;
  const VtRegistry& root = Root(scope, true);
  if (root.key() == nullptr) return root.error();
  key->Create(root.key(), name, access, created);
  return key->error();
}

bool VtClasses::OpenMerged(VtRegistry* key, const char* name, VtScope* found) {
  for (VtScope scope : kBothHives) {
    if (Open(key, scope, name, KEY_READ) != ERROR_SUCCESS) continue;
    if (found != nullptr) *found = scope;
    return true;
  }
  return false;
}

LONG VtClasses::DeleteKnownTree(VtScope scope, const char* name,
                                std::initializer_list<const char*> known) {
  VtRegistry& root = Root(scope);
  if (root.key() == nullptr) return ERROR_FILE_NOT_FOUND;
  return root.DeleteKnownTree(name, known) ? ERROR_SUCCESS : root.error();
}
