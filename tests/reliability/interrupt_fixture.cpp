#include "interrupt_fixture.h"

#include <cctype>
#include <cstdio>
#include <random>

#include "regdump.h"

namespace {

const DWORD kWaitMs = 30000;
const char kApply[] = "適用";
const char kUnregisterAll[] = "すべて解除";

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace

void Interruption::SetUp() {
  std::string built = VT_VNTASSOC_EXE;
  ASSERT_TRUE(CopyFileA(vttest::WinePath(built).c_str(), exe_.c_str(), FALSE));
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

int Interruption::Lost() const {
  int lost = 0;
  for (size_t i = 0; i < exts_.size(); ++i) {
    const bool same = at_.NamedProgId(exts_[i]) == named_[i];
    EXPECT_TRUE(same) << exts_[i] << " names " << at_.NamedProgId(exts_[i]);
    if (!same) ++lost;
    EXPECT_FALSE(vttest::ValueExists(at_.hive(), at_.Path(exts_[i] + "\\OpenWithProgids"),
                                     owns_[i].c_str()))
        << exts_[i];
  }
  for (const std::string& own : owns_) EXPECT_FALSE(at_.Exists(own)) << own;
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    EXPECT_FALSE(vttest::KeyExists(hive, "Software\\vntassoc", vttest::kView64));
    EXPECT_FALSE(vttest::ValueExists(hive, "Software\\RegisteredApplications",
                                     "Vantrel Player (vntassoc)", vttest::kView64));
  }
  return lost;
}

Interruption::Clock::time_point Interruption::StartApply(vttest::ToolProcess& tool) {
  EXPECT_TRUE(tool.WaitForRows(kRows, kWaitMs));
  EXPECT_EQ(kRows, tool.SelectAll());
  EXPECT_TRUE(tool.ButtonEnabled(kApply));
  EXPECT_TRUE(tool.Click(kApply));
  EXPECT_TRUE(tool.AnswerOk(kWaitMs));
  return Clock::now();
}

Interruption::Clock::time_point Interruption::StartUnregisterAll(vttest::ToolProcess& tool) {
  EXPECT_TRUE(tool.WaitForRows(kRows, kWaitMs));
  EXPECT_TRUE(tool.Click(kUnregisterAll));
  EXPECT_TRUE(tool.AnswerOk(kWaitMs));
  return Clock::now();
}

double Interruption::ApplyAll() {
  vttest::ToolProcess tool(exe_);
  const Clock::time_point start = StartApply(tool);
  EXPECT_TRUE(tool.WaitUntilIdle(kWaitMs));
  const double ms = MsSince(start);
  EXPECT_EQ(kExtensions + 2, NamingTheTool());
  EXPECT_EQ(0, tool.Close(kWaitMs));
  return ms;
}

double Interruption::Recover() {
  vttest::ToolProcess tool(exe_);
  const Clock::time_point start = StartUnregisterAll(tool);
  EXPECT_TRUE(tool.WaitUntilIdle(kWaitMs));
  const double ms = MsSince(start);
  EXPECT_EQ(0, tool.Close(kWaitMs));
  return ms;
}

void Interruption::RunTrials(unsigned seed, int trials, int undoEvery) {
  const double applyMs = ApplyAll();
  ASSERT_FALSE(HasFailure());
  const double undoMs = Recover();
  ASSERT_EQ(0, Lost());
  EXPECT_EQ(expected_, DumpAll());

  std::mt19937 random(seed);
  int lost = 0, midway = 0, undoKills = 0;
  std::string spread;
  for (int trial = 0; trial < trials; ++trial) {
    SCOPED_TRACE("trial " + std::to_string(trial));
    const double killAfter = std::uniform_real_distribution<double>(0, applyMs * 1.1)(random);
    {
      vttest::ToolProcess tool(exe_);
      const Clock::time_point start = StartApply(tool);
      while (MsSince(start) < killAfter) Sleep(1);
      tool.Kill();
    }
    const int done = NamingTheTool();
    spread += " " + std::to_string(done);
    if (done > 0 && done < kExtensions + 2) ++midway;
    if (undoEvery > 0 && trial % undoEvery == undoEvery - 1) {
      const double undoKill = std::uniform_real_distribution<double>(0, undoMs)(random);
      vttest::ToolProcess tool(exe_);
      const Clock::time_point start = StartUnregisterAll(tool);
      while (MsSince(start) < undoKill) Sleep(1);
      tool.Kill();
      ++undoKills;
    }
    Recover();
    lost += Lost();
  }
  EXPECT_EQ(0, lost);
  EXPECT_GE(midway, trials / 2);  // most kills landed inside the apply, not before or after it
  EXPECT_EQ(expected_, DumpAll());
  std::printf(
      "[ figure   ] apply of %d rows %.0f ms, undo %.0f ms; %d trials (%d also killed while "
      "undoing), %d killed midway; associations lost: %d\n[ figure   ] rows naming the "
      "tool at the kill:%s\n",
      kRows, applyMs, undoMs, trials, undoKills, midway, lost, spread.c_str());
  RecordProperty("lost", lost);
}
