// The extensions that the tool itself may have associated, found without asking the player: a user
// who removed the player, or whose player no longer names an extension, must still get back the
// program each of them opened before.
#pragma once
#include <string>
#include <vector>

#include "classesmemo.h"

struct VtOwnCandidate {
  std::string ext;  // as stored (letter case kept)
  // The tool's Default Apps registration names the tool's ProgID for ext: worth a row even when
  // that ProgID is gone, so that unregistering can take the registration back.
  bool registered;
};

// Candidates in this order, the user's hive before the machine's in each step: the value names of
// the tool's Default Apps FileAssociations, then, with classes (null: not looked for), the
// extension of every key directly under either classes key named "vantrel" (letter case ignored)
// followed by one. Only texts that IsExtension accepts; one may come more than once. Whether an
// extension is associated is Load's to say.
std::vector<VtOwnCandidate> OwnAssociationCandidates(VtClassesMemo* classes);
