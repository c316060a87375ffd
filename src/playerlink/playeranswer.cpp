#include "playeranswer.h"

#include <windows.h>

#include "playeridentity.h"
#include "playerprobe.h"
#include "vtddeclient.h"

namespace {

const char kPlayerName[] = "Vantrel Player";  // DDE service and topic
const DWORD kRequestTimeoutMs = 10000;

}  // namespace

PlayerAnswer AskPlayer() {
  PlayerAnswer answer;
  if (!IsPlayerRunning()) return answer;
  VtDDEClient player(nullptr, kPlayerName, kPlayerName);
  answer.exePath = player.Request("ExeName", kRequestTimeoutMs);
  const char* path = answer.exePath.get();
  // Any program may answer as the player: its path counts only when it runs that very executable.
  if (path != nullptr && path[0] != 0 && !WindowRunsExecutable(player.partner(), path)) {
    answer.exePath.reset();
    answer.unverified = true;
  }
  answer.extensions = player.Request("SupportExt", kRequestTimeoutMs);
  return answer;
}
