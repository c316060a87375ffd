// What Windows opens for this user where that is not the extension's association: since Windows 8
// the user's own choice in Explorer, kept per user, overrides the association the tool writes, and
// a user's own classes override the machine's. The list shows it beside the association.
#pragma once

#include "choicekeys.h"
#include "classes.h"
#include "ownedtext.h"

// The program Windows opens for ext (".mp3") for this user, when that is another ProgID than
// namedProgId (empty: the extension names none): the user's choice, else userNamed (in the
// machine's scope, what the user's own extension key names; null for nothing). As a person knows
// it: the ProgID's application name, else its type name, else the ProgID; for
// "Applications\x.exe" the program's friendly name, else its file's description, else its file
// name; null for none. ext must hold no backslash.
VtOwnedText UserChoiceText(VtClasses& classes, const char* ext, const char* namedProgId,
                           const char* userNamed);
