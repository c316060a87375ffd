// Registering and unregistering the rows' associations: the window's commands, which the command
// line's register and unregister share. Each returns what it did; neither calls back into the
// program that shows the rows.
#pragma once
#include <string>
#include <vector>

#include "applyoptions.h"
#include "assocrows.h"
#include "changereport.h"
#include "classes.h"

// Registers every row of each piece (an extension with its "."): type name typeName, or when that
// is empty the one VtTypeNames gives from folder; then registers every association of the scope's
// own among the rows again, so that all of them open with the options.
VtChangeReport RegisterRows(VtAssocRows& rows, const char* exePath,
                            const std::vector<std::string>& pieces, const std::wstring& typeName,
                            const char* folder, const VtApplyOptions& options, VtClasses* keys);
// For each of exts in turn: unregisters the first row of ext; the other rows of ext are reloaded.
VtChangeReport UnregisterRows(VtAssocRows& rows, const std::vector<std::string>& exts,
                              VtClasses* keys);
// Unregisters every row.
VtChangeReport UnregisterAllRows(VtAssocRows& rows, VtClasses* keys);

// Tells Explorer, which keeps the old icons and may keep the old handler until the user logs off
// unless it is told; once per command, since each notice makes it reread every association.
void NotifyAssociationsChanged();
