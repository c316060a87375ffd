// What the stand-in player does, from its command line.
#pragma once
#include <windows.h>
#include <string>

struct StubAnswer {
  bool present;      // false: the item is refused (negative ACK)
  std::string text;
};

struct StubConfig {
  StubAnswer exeName;
  StubAnswer supportExt;
  bool sendTerminator;    // false: exactly the text's bytes, so an empty text is 0 bytes
  DWORD delayMs;          // wait before answering a request
  std::string delayItem;  // only this item is delayed; empty: every item
  bool createMutex;
  bool playerWindowClass;  // false: a window of another class, so DDE is served all the same
  DWORD lifetimeMs;        // 0: until the window is closed
};

StubConfig DefaultStubConfig();

// Applies the options in argv[1..argc-1] to config. False for an unknown option or a missing or
// malformed value; config is then partly applied.
bool ParseStubOptions(int argc, char** argv, StubConfig* config);

// ".x1;.x2;...;.xN" (or with another prefix than x): a long extension list of predictable size.
std::string GeneratedExtensions(int count, const std::string& prefix = "x");
