#include "interrupt_fixture.h"

#include <cctype>
#include <cstdio>
#include <random>

#include "defaultapps.h"
#include "regdump.h"

namespace {

const DWORD kWaitMs = 30000;
const char kRegister[] = "適用";
const char kUnregisterAll[] = "すべて解除";

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

const char* FrontName(Interruption::Front front) {
  return front == Interruption::Front::kWindow ? "window" : "command line";
}

void Interruption::SetUp() {
  ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_VNTASSOC_EXE).c_str(), exe_.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_CLI_EXE).c_str(), cli_.c_str(), FALSE));
  const std::string id = std::to_string(GetCurrentProcessId());
  for (int i = 1; i <= kExtensions; ++i) {
    exts_.push_back(".vtr" + id + "k" + std::to_string(i));
    others_.push_back("VtRelApp." + id + "." + std::to_string(i));
  }
  exts_.push_back(".vnt");
  exts_.push_back(".m3u");
  for (size_t i = 0; i < exts_.size(); ++i) {
    std::string upper = exts_[i];
    for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    owns_.push_back("vantrel" + upper);
  }
  for (const char* key : {".vnt", ".m3u"}) hadPlaylistKey_.push_back(at_.Exists(key));
  Seed(true);
  expected_ = DumpAll();
  RemoveSeeds();
  Seed(false);
  for (const std::string& ext : exts_) named_.push_back(at_.NamedProgId(ext));
  ASSERT_TRUE(StartPlayer(kExtensions));
}

bool Interruption::StartPlayer(int count) {
  return stub_.StartAt(player_, "--lifetime 600000 --ext-count " + std::to_string(count) +
                                    " --ext-prefix vtr" + std::to_string(GetCurrentProcessId()) + "k");
}

void Interruption::TearDown() {
  stub_.Close();
  RemoveSeeds();
  for (const std::string& own : owns_) at_.Delete(own);
  for (const std::string& ext : exts_) vttest::RemoveDefaultApp(ext);
  for (int i = 0; i < 2; ++i)
    if (!hadPlaylistKey_[i]) at_.Delete(exts_[kExtensions + i]);
}

// Most extensions name another program's ProgID with a tree of its own; some have no key, some
// an empty default, some values and subkeys of their own besides. A round trip leaves a key with
// an empty default where the machine's classes had none (Register had to make it), and no key
// where the user's held nothing but an empty default (the machine's association shows again).
void Interruption::Seed(bool roundTripped) {
  const bool machine = at_.hive() == HKEY_LOCAL_MACHINE;
  for (int i = 0; i < kExtensions; ++i) {
    const std::string& ext = exts_[i];
    switch (i % 10) {
      case 0:
        if (roundTripped && machine) at_.PutText(ext, "", "");
        break;
      case 1:
        if (!roundTripped || machine) at_.PutText(ext, "", "");
        break;
      case 2:
        at_.PutText(ext, "Content Type", "audio/x-vtr");
        at_.PutValue(ext + "\\OpenWithProgids", others_[i].c_str(), REG_NONE, "");
        [[fallthrough]];
      default:
        at_.PutText(ext, "", others_[i]);
        at_.PutText(others_[i], "", "Other Type");
        at_.PutText(others_[i] + "\\shell\\open\\command", "", "other.exe \"%1\"");
    }
  }
}

void Interruption::RemoveSeeds() {
  for (int i = 0; i < kExtensions; ++i) {
    at_.Delete(exts_[i]);
    at_.Delete(others_[i]);
  }
}

std::string Interruption::DumpAll() const {
  std::vector<std::string> keys(exts_.begin(), exts_.begin() + kExtensions);
  keys.insert(keys.end(), others_.begin(), others_.end());
  return vttest::DumpTrees(at_.hive(), at_.Paths(keys));
}

int Interruption::NamingTheTool() const {
  int count = 0;
  for (size_t i = 0; i < exts_.size(); ++i)
    if (at_.NamedProgId(exts_[i]) == owns_[i]) ++count;
  return count;
}

int Interruption::Lost(int* left) const {
  int lost = 0, kept = 0;
  auto leftIf = [&kept](bool there) {
    if (there) ++kept;
    return there;
  };
  for (size_t i = 0; i < exts_.size(); ++i) {
    const bool same = at_.NamedProgId(exts_[i]) == named_[i];
    EXPECT_TRUE(same) << exts_[i] << " names " << at_.NamedProgId(exts_[i]);
    if (!same) ++lost;
    EXPECT_FALSE(leftIf(vttest::ValueExists(
        at_.hive(), at_.Path(exts_[i] + "\\OpenWithProgids"), owns_[i].c_str())))
        << exts_[i];
  }
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    const vttest::HiveClasses classes(hive);
    for (const std::string& own : owns_) EXPECT_FALSE(leftIf(classes.Exists(own))) << own;
    EXPECT_FALSE(leftIf(vttest::KeyExists(hive, kAppKey, vttest::kView64)));
    EXPECT_FALSE(leftIf(vttest::ValueExists(hive, kRegisteredApplicationsKey, kRegisteredAppName,
                                            vttest::kView64)));
  }
  if (left != nullptr) *left = kept;
  return lost;
}

std::string Interruption::Program() const {
  return front_ == Front::kWindow ? exe_ : cli_;
}

std::string Interruption::Arguments(bool registers) const {
  if (front_ == Front::kWindow) return "";
  return registers ? "register /all" : "unregister /all";
}

Interruption::Clock::time_point Interruption::Begin(vttest::ToolProcess& tool, bool registers) {
  if (front_ == Front::kCommandLine) return Clock::now();
  EXPECT_TRUE(tool.WaitForRows(kRows, kWaitMs));
  if (registers) {
    EXPECT_EQ(kRows, tool.SelectAll());
    EXPECT_TRUE(tool.ButtonEnabled(kRegister));
  }
  EXPECT_TRUE(tool.Click(registers ? kRegister : kUnregisterAll));
  EXPECT_TRUE(tool.AnswerOk(kWaitMs));
  return Clock::now();
}

double Interruption::Complete(vttest::ToolProcess& tool, Clock::time_point begun) {
  if (front_ == Front::kCommandLine) {
    EXPECT_EQ(0, tool.WaitForExit(kWaitMs));
    return MsSince(begun);
  }
  EXPECT_TRUE(tool.WaitUntilIdle(kWaitMs));
  const double ms = MsSince(begun);
  EXPECT_EQ(0, tool.Close(kWaitMs));
  return ms;
}

double Interruption::RegisterAll() {
  vttest::ToolProcess tool(Program(), Arguments(true));
  const double ms = Complete(tool, Begin(tool, true));
  EXPECT_EQ(kExtensions + 2, NamingTheTool());
  return ms;
}

double Interruption::Recover() {
  vttest::ToolProcess tool(Program(), Arguments(false));
  return Complete(tool, Begin(tool, false));
}

void Interruption::RunTrials(unsigned seed, int trials, int unregisterEvery) {
  const double registerMs = RegisterAll();
  ASSERT_FALSE(HasFailure());
  const double unregisterMs = Recover();
  ASSERT_EQ(0, Lost());
  EXPECT_EQ(expected_, DumpAll());

  std::mt19937 random(seed);
  int lost = 0, left = 0, midway = 0, unregisterKills = 0;
  std::string spread;
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    // Killed as soon as a random row's ProgID appears: the moments spread over the whole
    // registration however fast this machine runs it now, and the command line's reading before its
    // first change takes none of them.
    const std::string& killAt = owns_[std::uniform_int_distribution<size_t>(0, kRows - 1)(random)];
    {
      vttest::ToolProcess tool(Program(), Arguments(true));
      const Clock::time_point start = Begin(tool, true);
      while (!at_.Exists(killAt) && tool.running() && MsSince(start) < kWaitMs) Sleep(1);
      tool.Kill();
    }
    const int done = NamingTheTool();
    spread += " " + std::to_string(done);
    if (done > 0 && done < kExtensions + 2) ++midway;
    if (unregisterEvery > 0 && trial % unregisterEvery == unregisterEvery - 1) {
      const double unregisterKill = std::uniform_real_distribution<double>(0, unregisterMs)(random);
      vttest::ToolProcess tool(Program(), Arguments(false));
      const Clock::time_point start = Begin(tool, false);
      while (MsSince(start) < unregisterKill) Sleep(1);
      tool.Kill();
      ++unregisterKills;
    }
    Recover();
    int kept = 0;
    lost += Lost(&kept);
    left += kept;
  }
  EXPECT_EQ(0, lost);
  EXPECT_EQ(0, left);
  EXPECT_GE(midway, trials / 2);  // most kills landed inside the registration, not after it
  EXPECT_EQ(expected_, DumpAll());
  std::printf(
      "[ figure   ] %s: registration of %d rows %.0f ms, unregistration %.0f ms; %d trials (%d "
      "also killed while unregistering), %d killed midway; associations lost: %d, keys and values "
      "of the tool left: %d\n[ figure   ] rows naming the tool at the kill:%s\n",
      FrontName(front_), kRows, registerMs, unregisterMs, trials,
      unregisterKills, midway, lost, left, spread.c_str());
  RecordProperty("lost", lost);
  RecordProperty("left", left);
}
