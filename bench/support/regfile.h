// .reg files for "reg import", the way a user or an installer would make the same registry change,
// and the timed import itself (the whole reg.exe process).
#pragma once
#include <string>
#include <vector>

#include "floor.h"

namespace vtbench {

// REGEDIT4 (ANSI) text that registers every entry in scope's hive as the tool does.
std::string RegisterRegFile(const std::vector<Registration>& entries, VtScope scope);
// REGEDIT4 text that gives every extension its earlier ProgID back (in the user's classes, without
// one, deletes the extension key) and deletes the tool's ProgID, in scope's hive.
std::string UnregisterRegFile(const std::vector<Registration>& entries, VtScope scope);
// Runs "reg.exe import path" and waits for it; true when it exits with 0.
bool RegImport(const std::string& path);

}  // namespace vtbench
