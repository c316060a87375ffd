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
  char userChoice[kFloorText];  // what the user's choice opens when it is not progId; empty: none
  bool progIdOpened;  // the ProgID key exists (backup is meaningful)
};

// Open, query, close the extension; FloorChoice; open the ProgID, query "backup" and its default;
// open, query and close "DefaultIcon", "shell" and the verb's command key; close the ProgID: 17
// calls without a user choice.
void FloorRead(const char* ext, FloorFacts* facts);
// Open Explorer's FileExts\<ext> (1 call when it is missing); open, query and close
// "UserChoiceLatest", and "UserChoice" when that gave no ProgID; close FileExts\<ext>. For a ProgID
// other than progId: open its key, open, query and close "Application", query the key's default
// when that gave no name, close. Names are taken as stored (the benchmark's are not indirect).
void FloorChoice(const char* ext, const char* progId, char* shown);

// Open the tool's FileAssociations (64-bit view), enumerate its value names one by one, close:
// n + 3 calls for n names. The number of names.
int FloorOwnNames();

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
