// The tool and its command line, run as an administrator, killed at random moments while they
// register and unregister in the machine's classes (interrupt_fixture.h). Fixed seeds; the kill
// moments spread over the whole length of an uninterrupted registration, measured first.
#include "interrupt_fixture.h"

namespace {

// The way back never depends on the player. After a registration the player stops, or names one
// extension fewer, or the registration is what the tool wrote before it registered for Default Apps
// and "Open with" (the ProgID and the extension's key only): a fresh start and "すべて解除" still
// unregister every extension.
TEST_F(Interruption, WithoutThePlayerEveryExtensionIsUnregistered) {
  const struct {
    const char* state;
    bool dropOne;   // the player, started again, no longer names the last extension
    bool oldStyle;  // no Default Apps registration and no "Open with" entries
  } cases[] = {{"player stopped", false, false},
               {"extension dropped", true, false},
               {"old style", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    ASSERT_TRUE(StartPlayer(kExtensions));
    RegisterAll();
    stub_.Close();
    if (c.dropOne) {
      ASSERT_TRUE(StartPlayer(kExtensions - 1));
    }
    for (size_t i = 0; c.oldStyle && i < exts_.size(); ++i) {
      vttest::DeleteValue(at_.hive(), at_.Path(exts_[i] + "\\OpenWithProgids"), owns_[i].c_str());
      vttest::RemoveDefaultApp(exts_[i]);
    }
    Recover();
    EXPECT_EQ(0, Lost());
    EXPECT_EQ(expected_, DumpAll());
  }
}

TEST_F(Interruption, KilledWhileRegisteringLosesNoAssociation) { RunTrials(20240907, 12, 0); }

TEST_F(Interruption, KilledWhileRegisteringAndAgainWhileUnregisteringLosesNoAssociation) {
  RunTrials(7, 10, 2);
}

// An uninstaller's "unregister /all" walks no player's rows: it finds by itself what a killed
// "register /all" or "unregister /all" left, ProgIDs that no extension names yet included.
TEST_F(Interruption, CommandLineKilledWhileRegisteringAndUnregisteringLeavesNothing) {
  front_ = Front::kCommandLine;
  RunTrials(20250611, 10, 2);
}

}  // namespace
