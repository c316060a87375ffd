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

// The keys and values that registering one extension leaves behind.
struct Registration {
  std::string ext, progId, typeName, backup, icon, command;
};
// Create-or-open and set the extension; create the ProgID and set its default and "backup"; create,
// set and close "DefaultIcon", "shell" and "shell\open\command"; close the ProgID: 16 calls.
bool FloorRegister(const Registration& r);
// Open, set and close the extension with the earlier ProgID; delete the five keys of the tool's
// ProgID, deepest first: 8 calls.
bool FloorUnregister(const Registration& r);

}  // namespace vtbench
