#include <windows.h>

#include "library.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  StartLibrary();
  StopLibrary();
  return 0;
}
