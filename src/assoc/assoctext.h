// The texts of an association: the tool's ProgID, the icon location and the open command, and how
// key names compare. Every text made is an owned one (ownedtext.h), null when memory ran out.
#pragma once
#include <string>
#include <vector>

#include "ownedtext.h"

// A key name as the registry compares it: in UTF-16 with every letter in capitals (also double-byte
// letters such as Ａ and ａ). Empty for an empty name or one that does not convert.
std::wstring KeyNameFold(const char* name);
// True when the two names open the same registry key: equal under CompareNoCase or KeyNameFold.
bool SameKeyName(const char* a, const char* b);
// The same for a name read in UTF-16 (registry.h's ReadWide) beside one of the tool's own.
bool SameKeyName(const std::wstring& a, const char* b);
// The pieces of a ";"-separated list of extensions, in order, as NextToken cuts them: an empty
// piece between two ";" is kept, a ";" at the end makes none.
std::vector<std::string> Pieces(std::string text);
// What every ProgID of the tool begins with; the extension follows it.
extern const char kToolProgIdPrefix[];
// kToolProgIdPrefix followed by ext, in ext's own letter case.
VtOwnedText ToolProgId(const char* ext);
// Where the extension begins in name when name is a ProgID of the tool: kToolProgIdPrefix, letter
// case ignored, and then "."; null for any other name.
const char* ToolProgIdExtension(const char* name);
// exePath followed by ",1" for the player's own MIDI-family types, ",0" otherwise; no quotes.
VtOwnedText IconLocation(const char* exePath, const char* ext);
// exePath followed by ",0": the player's icon for Default Apps, whatever the extension.
VtOwnedText AppIconLocation(const char* exePath);
// "exePath" "%1", then a blank and the option when the option is not empty.
VtOwnedText OpenCommand(const char* exePath, const char* option);
// OpenCommand read back: true when command is of that form exactly, with no option or one of the
// player's ("/a", "/na", "/clear"), *option getting it (empty for none). False for a command
// edited by hand, which the tool leaves as it is.
bool ParseOpenCommand(const char* command, std::string* option);
// The program file that a command line starts: its first argument, quoted or not.
std::string ProgramOf(const char* command);
// "shell\<verb>\command"
VtOwnedText VerbCommandKey(const char* verb);
