#include "defaultappkeys.h"

#include "classes.h"
#include "defaultapps.h"

VtRegistry& VtDefaultAppKeys::Open(VtScope hive, bool create) {
  const int index = HiveIndex(hive);
  VtRegistry& key = keys_[index];
  if (key.key() != nullptr || (tried_[index] && !create)) return key;
  tried_[index] = true;
  values_[index] = -1;
  if (create) {
    gone_[index] = false;
    key.Create(ScopeHive(hive), kFileAssociationsKey, KEY_READ | KEY_WRITE);
    return key;
  }
  DWORD subkeys = 0;
  DWORD values = 0;
  if (key.Open(ScopeHive(hive), kFileAssociationsKey, KEY_READ | KEY_WRITE) &&
      key.Counts(&subkeys, &values))
    values_[index] = static_cast<long>(values);
  return key;
}

bool VtDefaultAppKeys::Write(VtScope hive, const char* ext, const char* progId) {
  const int index = HiveIndex(hive);
  // A value set may be a new one or one replaced: the count is no longer known.
  values_[index] = -1;
  return keys_[index].WriteString(ext, progId);
}

bool VtDefaultAppKeys::DeleteLeavingOthers(VtScope hive, const char* ext) {
  const int index = HiveIndex(hive);
  VtRegistry& key = keys_[index];
  if (key.DeleteValue(ext) && values_[index] > 0) --values_[index];
  // Another process may have changed the key meanwhile: where the count says none is left, the
  // registry has the last word, and the registration stays when in doubt.
  return values_[index] > 0 || !key.IsEmpty();
}

void VtDefaultAppKeys::Forget(VtScope hive) {
  keys_[HiveIndex(hive)].Close();
  tried_[HiveIndex(hive)] = false;
}

void VtDefaultAppKeys::Close() {
  for (VtScope hive : kBothHives) Forget(hive);
}

bool VtDefaultAppKeys::Gone(VtScope hive) const { return gone_[HiveIndex(hive)]; }

void VtDefaultAppKeys::SetGone(VtScope hive) {
  gone_[HiveIndex(hive)] = true;
  current_[HiveIndex(hive)] = false;
}

bool VtDefaultAppKeys::Current(VtScope hive) const { return current_[HiveIndex(hive)]; }

void VtDefaultAppKeys::SetCurrent(VtScope hive) { current_[HiveIndex(hive)] = true; }
