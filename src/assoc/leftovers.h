// What a change of the tool's that was cut short may leave beside its associations: a ProgID
// written just before its extension would have named it, an "Open with" entry, a Default Apps
// value, the Default Apps registration with nothing listed in it. Unregistering every association
// ends here, so that nothing of the tool's is left where this process may write.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "classes.h"

// A piece of the tool's that could not be removed: the extension it belongs to (a Default Apps
// value's name; kAppKey for the registration itself), and the registry's reason.
struct VtLeftover {
  std::string ext;
  DWORD error;
};

// In each classes hive classes may write, removes every ProgID of the tool (kToolProgIdPrefix and
// "." and the rest, letter case ignored) that no extension key of either hive names (up to its
// first backslash), with this user's choice of it first (a choice Windows keeps keeps the ProgID,
// noted as kErrorUserChoiceKept), each extension's "Open with" entry of its own such ProgID, each
// Default Apps value naming such a ProgID, and then the registration when nothing is listed; last,
// this user's choices of a ProgID of the tool that neither hive holds. A ProgID an extension key
// names is an association, Unregister's to remove: it stays with its "Open with" entry and
// Default Apps value. A Default Apps value naming anything else is not the tool's and stays, and
// with it the registration. What could not be removed; empty when all of it went.
std::vector<VtLeftover> RemoveLeftovers(VtClasses& classes);
