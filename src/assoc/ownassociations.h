// The extensions that the tool itself may have associated, found without asking the player: a user
// who removed the player, or whose player no longer names an extension, must still get back the
// program each of them opened before.
#pragma once
#include <string>
#include <vector>

// Candidates in this order, each as stored (letter case kept): the value names of the tool's
// Default Apps FileAssociations, then, with scanClasses, the extension of every key directly under
// HKEY_CLASSES_ROOT named "vantrel" (letter case ignored) followed by one. Only texts that
// IsExtension accepts; one may come twice. Whether an extension is associated is Load's to say.
std::vector<std::string> OwnAssociationCandidates(bool scanClasses);
