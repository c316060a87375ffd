// The tool's Default Apps FileAssociations keys of both hives (defaultapps.h) for one operation:
// each opened at its first use and kept with the number of values it holds, so that registering or
// unregistering hundreds of extensions opens it once, and unregistering asks the registry whether
// the key is empty only where the last value may have gone. Its calls answer as VtRegistry's do:
// whether they did it, with the registry's result in Open(hive).error().
#pragma once
#include <windows.h>

#include "registry.h"

enum class VtScope;

class VtDefaultAppKeys {
 public:
  VtDefaultAppKeys() = default;
  VtDefaultAppKeys(const VtDefaultAppKeys&) = delete;
  VtDefaultAppKeys& operator=(const VtDefaultAppKeys&) = delete;

  // hive's key, opened for reading and writing at the first use and then kept; closed, with
  // error() saying why, where it is missing or refused. create: made where it is missing.
  VtRegistry& Open(VtScope hive, bool create = false);
  // Sets ext's value naming progId in the open key; false when it was not written.
  bool Write(VtScope hive, const char* ext, const char* progId);
  // Deletes ext's value from the open key; true when a value is left there (as counted, else as
  // the registry says), false when none is or that cannot be told.
  bool DeleteLeavingOthers(VtScope hive, const char* ext);
  // Closes hive's key (deleted, or to be looked at again).
  void Forget(VtScope hive);
  // Closes both.
  void Close();

  // Whether hive is known to hold nothing of the tool's Default Apps registration, so that the
  // operation's later unregistrations need not look again; Open with create forgets it.
  bool Gone(VtScope hive) const;
  void SetGone(VtScope hive);
  // Whether this operation found (or made) hive's registration whole: name, description, icon
  // and the RegisteredApplications value; SetGone forgets it.
  bool Current(VtScope hive) const;
  void SetCurrent(VtScope hive);

 private:
  // Each of these per hive: the user's, then the machine's.
  VtRegistry keys_[2] = {VtRegistry(KEY_WOW64_64KEY), VtRegistry(KEY_WOW64_64KEY)};
  bool tried_[2] = {false, false};
  long values_[2] = {-1, -1};  // values the open key holds; -1: not known
  bool gone_[2] = {false, false};
  bool current_[2] = {false, false};
};
