// The rows one command line acts on, and how it names the extensions it could not change.
#pragma once
#include <string>
#include <vector>

#include "assocrows.h"
#include "changereport.h"
#include "classes.h"

// Adds a row for ext unless a row holds its key already. load: with the registry's state read, for
// a command that shows it; else for one that only changes it, as Register and Unregister read what
// they need and leave the fields as the registry shows them afterwards.
void AddRow(VtAssocRows& rows, const std::string& ext, VtScope scope, bool load);
// ext as the command line shows it: with its "." and in small letters.
std::string ShownExtension(const char* ext);
// "ext: reason" for each extension report could not change, in its order. passOverMachine: an
// association of the machine that this scope may not unregister is no failure (unregistering every
// association this user may unregister).
std::vector<std::wstring> FailureLines(const VtChangeReport& report, bool passOverMachine);
