// The rows' associations that no longer open the player (playerrepair.h): counted for the window's
// question, and registered again at the player's file for its Yes and the command line's repair.
#pragma once
#include <vector>

#include "assocrows.h"
#include "changereport.h"
#include "classes.h"
#include "playerrepair.h"

// How many of the rows' keys hold an association of the tool, in a hive keys repairs, that opens
// another file than the player's at exePath and is of the tool's own form. Judged from what the
// rows read already, through matcher (of exePath), which may have judged their files before; only
// a key whose user's own association the rows do not show is read again.
int CountRepairable(const VtAssocRows& rows, const char* exePath, VtPlayerMatcher& matcher,
                    VtClasses& keys);
// For each of the rows' keys, once: VtPlayerRepair::Repair; the rows of a key it changed are
// reloaded, and one it could not change (also one edited by hand) goes in the report with the
// first reason; one out of reach is passed over.
VtChangeReport RepairRows(VtAssocRows& rows, const char* exePath, VtClasses& keys);
