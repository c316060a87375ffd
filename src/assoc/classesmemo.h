// What the last walk of each classes key found of the tool's ProgIDs. Creating or deleting a key
// directly beneath a key changes that key's last-write time, so while the time stands the names
// beneath it stand too, and a start need not walk a machine's many thousand types again.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "classes.h"

class VtIniFile;

class VtClassesMemo {
 public:
  // The extension of every key directly beneath hive's classes that is named as the tool's ProgID
  // ("vantrel" and an extension that IsExtension accepts), as stored: remembered while the classes
  // key's last-write time is the one remembered, else walked anew and remembered.
  std::vector<std::string> ToolProgIdExtensions(VtScope hive);
  // Both hives walked anew at their next call.
  void Forget();

  // The memo kept in the options file: the machine's for every user of it, the user's under the
  // user's SID. What the file holds is a hint only: whatever does not read back whole is walked.
  void Read(VtIniFile& ini);
  void Write(VtIniFile& ini) const;

 private:
  struct Seen {
    bool known = false;   // exts are what the classes key held at its last-write time written
    bool walked = false;  // by this object: the file's memo is to be replaced
    ULONGLONG written = 0;
    std::vector<std::string> exts;
  };
  Seen seen_[2];
};
