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
  char* text = nullptr;
  player.Request(&text, "ExeName", kRequestTimeoutMs);
  answer.exePath.reset(text);
  // Any program may answer as the player: its path counts only when it runs that very executable.
  if (text != nullptr && text[0] != 0 && !WindowRunsExecutable(player.partner(), text)) {
    answer.exePath.reset();
    answer.unverified = true;
  }
  player.Request(&text, "SupportExt", kRequestTimeoutMs);
  answer.extensions.reset(text);
  return answer;
}
