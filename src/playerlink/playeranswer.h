// What the running player says of itself over DDE: its executable's path and the extensions it
// plays, as one text of ";"-separated pieces.
#pragma once
#include "ownedtext.h"

struct PlayerAnswer {
  // Null when the request failed, the player does not run, or the path is not the answering
  // program's own executable (then unverified is true). An empty answer stays empty.
  VtOwnedText exePath;
  VtOwnedText extensions;
  // A path came, but the program that answered does not run it, or could not be checked.
  bool unverified = false;
};

// Asks the player when it runs, waiting up to 10 s for each answer.
PlayerAnswer AskPlayer();
