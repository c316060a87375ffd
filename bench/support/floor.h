// The floor: the fewest registry calls that read or produce the same facts as the tool, issued
// directly with fixed buffers and no copies. Each function's comment gives its call count.
#pragma once
#include <string>

namespace vtbench {

enum { kFloorText = 1024 };

// What the tool's Load finds out about one extension.
struct FloorFacts {
  char progId[kFloorText];
  char backup[kFloorText];
  char typeName[kFloorText];
  char icon[kFloorText];
  char command[kFloorText];
  bool progIdOpened;  // the ProgID key exists (backup is meaningful)
};

// Open, query, close the extension; open the ProgID, query "backup" and its default; open, query and
// close "DefaultIcon", "shell" and the verb's command key; close the ProgID: 16 calls.
void FloorRead(const char* ext, FloorFacts* facts);

// The keys and values that registering one extension leaves behind.
struct Registration {
  std::string ext, progId, typeName, backup, icon, command;
  std::string appIcon;  // Capabilities' ApplicationIcon
};
// Create-or-open and set the extension; create the ProgID and set its default and "backup"; create,
// set and close "DefaultIcon", "shell" and "shell\open\command"; close the ProgID; create, set and
// close the extension's OpenWithProgids and the FileAssociations value: 22 calls.
bool FloorRegister(const Registration& r);
// Once for all extensions: create Capabilities, set its three values, close; create, set and close
// the RegisteredApplications value: 8 calls.
bool FloorRegisterApp(const std::string& appIcon);
// Open, set and close the extension with the earlier ProgID; delete the five keys of the tool's
// ProgID, deepest first, and the extension's OpenWithProgids (it holds only the tool's entry): 9
// calls. The FileAssociations values go with FloorUnregisterApp.
bool FloorUnregister(const Registration& r);
// Once for all extensions: open, delete and close the RegisteredApplications value; delete the
// tool's three keys, deepest first: 6 calls.
bool FloorUnregisterApp();

}  // namespace vtbench
