// The tool and its command line run by a standard user (every machine key read-only, as Windows
// grants them), killed at random moments while they register and unregister in the user's classes
// (interrupt_fixture.h). The machine's own association of every scratch extension, which a row
// shows where the user has none, must come through byte for byte. Fewer trials than an
// administrator's: locking the machine's keys and unlocking them again take seconds of their own.
#include "interrupt_fixture.h"
#include "readonlytree.h"
#include "regdump.h"

namespace {

class StandardUserInterruption : public Interruption,
                                 public ::testing::WithParamInterface<Interruption::Front> {
 protected:
  StandardUserInterruption() : Interruption(HKEY_CURRENT_USER) {}
  // Every scratch extension also names a ProgID of the machine's, with a tree of its own there.
  void SetUp() override {
    Interruption::SetUp();
    if (HasFatalFailure()) return;
    for (int i = 0; i < kExtensions; ++i) {
      machine_.PutText(exts_[i], "", others_[i]);
      machine_.PutText(others_[i], "", "Machine Type");
      machine_.PutText(others_[i] + "\\shell\\open\\command", "", "machine.exe \"%1\"");
    }
  }
  void TearDown() override {
    Interruption::TearDown();
    for (int i = 0; i < kExtensions; ++i) {
      machine_.Delete(exts_[i]);
      machine_.Delete(others_[i]);
    }
  }
  // The machine's seeded keys, and the tool's ProgIDs, which must not appear there.
  std::string MachineDump() const {
    std::vector<std::string> keys(exts_.begin(), exts_.begin() + kExtensions);
    keys.insert(keys.end(), others_.begin(), others_.end());
    keys.insert(keys.end(), owns_.begin(), owns_.end());
    return vttest::DumpTrees(machine_.hive(), machine_.Paths(keys));
  }

  // RunTrials with the machine's keys read-only, which must come through unchanged.
  void RunTrialsAsStandardUser(unsigned seed, int trials, int unregisterEvery) {
    const std::string machine = MachineDump();
    {
      vttest::ReadOnlyTree standardUser(HKEY_LOCAL_MACHINE, "Software");
      ASSERT_TRUE(standardUser.ok()) << standardUser.failed()[0];
      RunTrials(seed, trials, unregisterEvery);
    }
    EXPECT_EQ(machine, MachineDump());
  }

  const vttest::HiveClasses machine_{HKEY_LOCAL_MACHINE};
};

// The same for the window and the command line, which finds the user's scope by itself, as an
// uninstaller run by this user starts it.
TEST_P(StandardUserInterruption,
       KilledWhileRegisteringAndUnregisteringLosesNoAssociationOfTheUsers) {
  front_ = GetParam();
  RunTrialsAsStandardUser(front_ == Front::kWindow ? 20241207 : 20250612, 5, 2);
}

INSTANTIATE_TEST_SUITE_P(Front, StandardUserInterruption,
                         ::testing::Values(Interruption::Front::kWindow,
                                           Interruption::Front::kCommandLine),
                         [](const ::testing::TestParamInfo<Interruption::Front>& test) {
                           return std::string(
                               test.param == Interruption::Front::kWindow ? "Window" : "CommandLine");
                         });

}  // namespace
