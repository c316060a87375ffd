// The floor: the fewest registry calls that read or produce the same facts as the tool, issued
// directly with fixed buffers and no copies. Each function's comment gives its call count.
#pragma once
#include <string>

#include "classes.h"

namespace vtbench {

enum { kFloorText = 1024 };

// What the tool's Load finds out about one extension.
struct FloorFacts {
  char progId[kFloorText];
  char backup[kFloorText];
  char typeName[kFloorText];
  char icon[kFloorText];
  char command[kFloorText];
  char userChoice[kFloorText];  // what the user's choice opens when it is not progId; empty: none
  bool progIdOpened;  // the ProgID key exists (backup is meaningful)
};

// The lookups of the tool's Load in scope, with both classes keys opened for the extension, as
// the tool opens them once per entry. The machine's scope: open, query and close the machine's
// extension; the choice (below); then the ProgID merged: try the user's key, open the machine's,
// query "backup" and its default; open, query and close "DefaultIcon", "shell" and the verb's
// command key; close the ProgID. The user's scope: the user's extension first (1 call when it is
// missing), then the machine's, the choice without the user's extension, the same ProgID lookup.
// With both classes keys opened and closed: 23 calls when the user has neither the extension nor
// the ProgID nor a choice.
void FloorRead(const char* ext, FloorFacts* facts, VtScope scope = VtScope::kMachine);

// Open the tool's FileAssociations (64-bit view), enumerate its value names one by one, close:
// n + 3 calls for n names. The number of names.
int FloorOwnNames();

// The keys and values that registering one extension leaves behind.
struct Registration {
  std::string ext, progId, typeName, icon, command;
  std::string backup;   // what the scope's own extension named before; empty: nothing to keep
  std::string appIcon;  // Capabilities' ApplicationIcon
};
// In scope's hive, by paths from the hive: create-or-open and set the extension; create the ProgID
// and set its default and "backup" (when there is one); create, set and close "DefaultIcon",
// "shell" and "shell\open\command"; close the ProgID; create, set and close the extension's
// OpenWithProgids and the FileAssociations value: 22 calls (21 without a "backup").
bool FloorRegister(const Registration& r, VtScope scope);
// Once for all extensions, in scope's hive: create Capabilities, set its three values, close;
// create, set and close the RegisteredApplications value: 8 calls.
bool FloorRegisterApp(const std::string& appIcon, VtScope scope);
// r registered at another player's file before, in scope's hive by paths from the hive: open, query
// and close the extension (its ProgID); in the machine's scope, open the user's extension (1 call:
// the sets' users have none); open, query (the option kept, the icon's own drift), set and close
// the ProgID's "shell\open\command" and "DefaultIcon": 11 calls, 12 in the machine's scope. The
// Default Apps icon goes with FloorRegisterApp.
bool FloorRepair(const Registration& r, VtScope scope);
// In scope's hive: open, set and close the extension with the earlier ProgID, or, without one, in
// the user's classes, delete the extension key (it held nothing else); delete the five keys of the
// tool's ProgID, deepest first, and the extension's OpenWithProgids (it holds only the tool's
// entry) first: 9 calls, 7 for a deleted extension. The FileAssociations values go with
// FloorUnregisterApp.
bool FloorUnregister(const Registration& r, VtScope scope);
// Once for all extensions, in scope's hive: open, delete and close the RegisteredApplications
// value; delete the tool's three keys, deepest first: 6 calls.
bool FloorUnregisterApp(VtScope scope);

}  // namespace vtbench
