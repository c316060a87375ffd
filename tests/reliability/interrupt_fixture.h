// Copies of vntassoc.exe killed at random moments while they apply 500 associations (and, in some
// trials, while they undo them): a fresh start and "すべて解除" must give every extension back the
// ProgID it named before and leave nothing of the tool's behind: no ProgID, no Open with entry,
// no Default Apps registration. The extensions are seeded in the classes of the hive where the
// tool is expected to register: the machine's for an administrator, the user's for a standard user.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "regaccess.h"
#include "scratch.h"
#include "stubprocess.h"
#include "toolprocess.h"

class Interruption : public ::testing::Test {
 protected:
  using Clock = std::chrono::steady_clock;
  static constexpr int kExtensions = 500;
  static constexpr int kRows = kExtensions + 2;  // and VNT, M3U

  explicit Interruption(HKEY hive = HKEY_LOCAL_MACHINE) : at_(hive) {}
  void SetUp() override;
  void TearDown() override;

  // The player answering the first count scratch extensions.
  bool StartPlayer(int count);
  // What the extensions name before the test, in the classes at_ (seeded), or what a round trip
  // leaves there (roundTripped).
  void Seed(bool roundTripped);
  void RemoveSeeds();
  // The scratch extensions and the other program's ProgIDs in the classes at_ (not .vnt and
  // .m3u, which belong to the prefix: they are checked by what they name).
  std::string DumpAll() const;
  int NamingTheTool() const;
  // Extensions that no longer name what they named before the test; the tool's keys and values
  // left behind, in either hive, fail the test.
  int Lost() const;

  // Starts the tool, selects every row and confirms "適用"; the moment of the confirmation.
  Clock::time_point StartApply(vttest::ToolProcess& tool);
  Clock::time_point StartUnregisterAll(vttest::ToolProcess& tool);
  // A start, "適用" on every row to the end, and a close; the time the command took.
  double ApplyAll();
  // A fresh start and "すべて解除" to the end; the time the command took.
  double Recover();
  // An uninterrupted apply and undo first: they set the range of the kill moments. Then trials
  // killed at a random moment of the apply, every undoEvery-th also at a random moment of the
  // undo, each followed by a fresh start and a complete "すべて解除".
  void RunTrials(unsigned seed, int trials, int undoEvery);

  const vttest::HiveClasses at_;
  vttest::ScratchDir dir_;
  std::string exe_ = dir_.File("vntassoc.exe");
  std::string player_ = dir_.File("vantrel.exe");
  vttest::StubProcess stub_;
  std::vector<std::string> exts_, others_, owns_, named_;
  std::vector<bool> hadPlaylistKey_;
  std::string expected_;
};
