// What the running player says of itself over DDE: its executable's path and the extensions it
// plays, as one text of ";"-separated pieces.
#pragma once
#include <memory>

struct PlayerAnswer {
  // Null when the request failed or the player does not run.
  std::unique_ptr<char[]> exePath;
  std::unique_ptr<char[]> extensions;
};

// Asks the player when it runs, waiting up to 10 s for each answer.
PlayerAnswer AskPlayer();
