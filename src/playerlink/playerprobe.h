// Whether the player runs: its main window and its named mutex must both exist.
#pragma once

// True only when a top-level window of class "TFrmMIDI" exists and the mutex "Vantrel Player" can be
// opened with full access. The window is looked up first; no handle stays open.
bool IsPlayerRunning();
