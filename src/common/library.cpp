#include "library.h"

#include "text.h"

VtCharTables CharTables;
char exeFile[kPathSize];
char exeFolder[kPathSize];

namespace {
int startCount = 0;
}

void StartLibrary() {
  if (startCount++ != 0) return;
  for (int b = 0; b < 256; ++b) {
    CharTables.leadByte[b] = IsDBCSLeadByte(static_cast<BYTE>(b)) ? 1 : 0;
    char one[2] = {static_cast<char>(b), 0};
    CharLowerA(one);
    CharTables.lowerMap[b] = static_cast<unsigned char>(one[0]);
    // The upper-case form is taken of the lower-cased byte, so both maps agree on letters.
    CharUpperA(one);
    CharTables.upperMap[b] = static_cast<unsigned char>(one[0]);
  }
  GetModuleFileNameA(nullptr, exeFile, kPathSize);
  FolderOf(exeFolder, kPathSize, exeFile);
}

void StopLibrary() {
  if (--startCount < 0) startCount = 0;
}

VtErrorMode::VtErrorMode() : saved_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}

VtErrorMode::~VtErrorMode() { SetErrorMode(saved_); }
