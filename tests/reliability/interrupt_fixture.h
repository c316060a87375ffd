// Copies of vntassoc.exe killed at random moments while they register 500 extensions (and, in some
// trials, while they unregister them): a fresh start and "すべて解除" must restore the ProgID every
// extension named before and leave nothing of the tool's behind: no ProgID, no Open with entry,
// no Default Apps registration. The same for copies of vntassoc-cli.exe killed in "register /all"
// and "unregister /all", followed by a complete "unregister /all". The extensions are seeded in
// the classes of the hive where the tool is expected to register: the machine's for an
// administrator, the user's for a standard user.
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
 public:
  // The program whose commands the trials run: the window ("適用" on every row, "すべて解除") or the
  // command line ("register /all", "unregister /all").
  enum class Front { kWindow, kCommandLine };

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
  // Extensions that no longer name what they named before the test. The tool's keys and values
  // left behind, in either hive, fail the test too; *left (may be null) counts them.
  int Lost(int* left = nullptr) const;

  // The front's program and its arguments for a registration or for an unregistration.
  std::string Program() const;
  std::string Arguments(bool registers) const;
  // Begins the registration or the unregistration in tool, started with those: the window's rows
  // loaded, every row selected for "適用", the button clicked and confirmed; the command line runs
  // from its start. The moment the command began.
  Clock::time_point Begin(vttest::ToolProcess& tool, bool registers);
  // Waits for the command's end and checks it ended well; the window is closed afterwards. The
  // time since begun.
  double Complete(vttest::ToolProcess& tool, Clock::time_point begun);
  // A registration to the end; the time the command took.
  double RegisterAll();
  // A fresh start and an unregistration to the end; the time the command took.
  double Recover();
  // An uninterrupted registration and unregistration first; the unregistration's time sets the
  // range of its kill moments. Then trials killed at a random moment of the registration, every
  // unregisterEvery-th also at a random moment of the unregistration, each followed by a fresh
  // start and a complete unregistration.
  void RunTrials(unsigned seed, int trials, int unregisterEvery);

  const vttest::HiveClasses at_;
  vttest::ScratchDir dir_;
  Front front_ = Front::kWindow;
  std::string exe_ = dir_.File("vntassoc.exe");
  std::string cli_ = dir_.File("vntassoc-cli.exe");
  std::string player_ = dir_.File("vantrel.exe");
  vttest::StubProcess stub_;
  std::vector<std::string> exts_, others_, owns_, named_;
  std::vector<bool> hadPlaylistKey_;
  std::string expected_;
};

// How the figures and the test names call a front.
const char* FrontName(Interruption::Front front);
inline void PrintTo(Interruption::Front front, std::ostream* out) { *out << FrontName(front); }
