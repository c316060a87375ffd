#include "playerprobe.h"

#include <windows.h>

#include "handle.h"

bool IsPlayerRunning() {
  if (FindWindowA("TFrmMIDI", nullptr) == nullptr) return false;
  // A window of that class alone could belong to another program; the player also holds its mutex.
  VtHandle mutex(OpenMutexA(MUTEX_ALL_ACCESS, FALSE, "Vantrel Player"));
  return mutex.valid();
}
