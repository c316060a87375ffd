// Library start-up: the code page 932 character tables and the executable's own path, shared by
// every text function. Filled by the first StartLibrary; valid until the process ends.
#pragma once
#include <windows.h>

enum { kPathSize = 520 };  // every path buffer of the tool

struct VtCharTables {
  unsigned char leadByte[256];  // non-zero: the byte starts a double-byte character
  unsigned char lowerMap[256];  // lower-case form of a single byte
  unsigned char upperMap[256];  // upper-case form of lowerMap[b]
};

extern VtCharTables CharTables;
extern char exeFile[kPathSize];    // full path of the running executable
extern char exeFolder[kPathSize];  // exeFile up to and including its last backslash, or empty

// Reference-counted: only the first start fills the tables and paths; StopLibrary never goes below 0
// and leaves the tables in place.
void StartLibrary();
void StopLibrary();

// Suppresses the system's error boxes (missing drive or medium) for its scope.
class VtErrorMode {
 public:
  VtErrorMode();
  ~VtErrorMode();
  VtErrorMode(const VtErrorMode&) = delete;
  VtErrorMode& operator=(const VtErrorMode&) = delete;

 private:
  UINT saved_;
};
