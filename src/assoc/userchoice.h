// What the user's own choice in Explorer opens for an extension. Since Windows 8 that choice, kept
// per user, overrides the association the tool writes, so the list shows it beside the association.
#pragma once

// The program that the user's choice for ext (".mp3") opens, when that choice names a ProgID other
// than namedProgId (empty: the extension's key names none), as a person knows it: the ProgID's
// application name, else its type name, else the ProgID. An owned text (free), or null without
// such a choice. ext must hold no backslash.
char* UserChoiceText(const char* ext, const char* namedProgId);
