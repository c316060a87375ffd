// 2,000 extensions: the list filled, all registered, all unregistered, the window answering after
// each step; then a start without the player among their keys. The times are printed, not
// asserted; the registry is checked after each command.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "regdump.h"
#include "scratch.h"
#include "stubprocess.h"
#include "toolprocess.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Clicks the button, confirms its question and waits for the command's end, after which the window
// must answer. *ms: the time from the confirmation to that end.
void RunConfirmed(vttest::ToolProcess& tool, const char* button, DWORD waitMs, double* ms) {
  ASSERT_TRUE(tool.Click(button));
  ASSERT_TRUE(tool.AnswerOk(waitMs));
  const Clock::time_point start = Clock::now();
  ASSERT_TRUE(tool.WaitUntilIdle(waitMs));
  *ms = MsSince(start);
  EXPECT_TRUE(tool.Answers(5000));
}

TEST(Load, TwoThousandExtensionsFilledRegisteredAndUnregistered) {
  const int kExtensions = 2000;
  const int kRows = kExtensions + 2;
  const DWORD kWaitMs = 60000;
  vttest::ScratchDir dir;
  const std::string exe = dir.File("vntassoc.exe");
  const std::string player = dir.File("vantrel.exe");
  ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_VNTASSOC_EXE).c_str(), exe.c_str(), FALSE));
  const std::string prefix = "vtr" + std::to_string(GetCurrentProcessId()) + "l";
  std::vector<std::string> exts = {".vnt", ".m3u"};
  for (int i = 1; i <= kExtensions; ++i) exts.push_back("." + prefix + std::to_string(i));
  const bool hadPlaylists[] = {vttest::KeyExists(HKEY_CLASSES_ROOT, ".vnt"),
                               vttest::KeyExists(HKEY_CLASSES_ROOT, ".m3u")};
  std::vector<std::string> named;
  for (const std::string& ext : exts) named.push_back(vttest::NamedProgId(ext));
  auto toolProgId = [](std::string ext) {
    for (char& c : ext) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return "vantrel" + ext;
  };
  auto countNamingTool = [&]() {
    int count = 0;
    for (const std::string& ext : exts)
      if (vttest::NamedProgId(ext) == toolProgId(ext)) ++count;
    return count;
  };

  vttest::StubProcess stub;
  ASSERT_TRUE(stub.StartAt(player, "--lifetime 600000 --ext-count " + std::to_string(kExtensions) +
                                       " --ext-prefix " + prefix));
  double fillMs = 0, selectMs = 0, registerMs = 0, unregisterMs = 0, closeMs = 0;
  {
    Clock::time_point start = Clock::now();
    vttest::ToolProcess tool(exe);
    ASSERT_TRUE(tool.WaitForRows(kRows, kWaitMs));
    fillMs = MsSince(start);
    EXPECT_TRUE(tool.Answers(5000));

    start = Clock::now();
    ASSERT_EQ(kRows, tool.SelectAll());
    selectMs = MsSince(start);
    ASSERT_NO_FATAL_FAILURE(RunConfirmed(tool, "適用", kWaitMs, &registerMs));
    EXPECT_EQ(kRows, countNamingTool());

    ASSERT_NO_FATAL_FAILURE(RunConfirmed(tool, "すべて解除", kWaitMs, &unregisterMs));
    start = Clock::now();
    EXPECT_EQ(0, tool.Close(kWaitMs));
    closeMs = MsSince(start);
  }
  for (size_t i = 0; i < exts.size(); ++i) {
    EXPECT_EQ(named[i], vttest::NamedProgId(exts[i])) << exts[i];
    EXPECT_FALSE(vttest::KeyExists(HKEY_CLASSES_ROOT, toolProgId(exts[i]))) << exts[i];
  }
  std::printf(
      "[ figure   ] %d rows: fill %.0f ms, select all %.0f ms, register %.0f ms, unregister "
      "all %.0f ms, close %.0f ms\n",
      kRows, fillMs, selectMs, registerMs, unregisterMs, closeMs);
  RecordProperty("register_ms", static_cast<int>(registerMs));

  // Without the player the tool walks HKEY_CLASSES_ROOT for its own ProgIDs: among the thousands of
  // keys left, only the one association made as the tool made them before Default Apps is listed.
  stub.Close();
  const std::string oldStyle = toolProgId(exts[2]);
  ASSERT_TRUE(vttest::PutText(exts[2], "", oldStyle) && vttest::PutText(oldStyle, "", "Old Style"));
  {
    const Clock::time_point start = Clock::now();
    vttest::ToolProcess tool(exe);
    EXPECT_TRUE(tool.WaitForRows(1, 10000));
    std::printf("[ figure   ] without the player, among the keys left: 1 row in %.0f ms\n",
                MsSince(start));
    EXPECT_TRUE(tool.Answers(5000));
    EXPECT_EQ(1, tool.Rows());
    EXPECT_EQ(0, tool.Close(kWaitMs));
  }
  vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, oldStyle);
  for (size_t i = 0; i < exts.size(); ++i) {
    vttest::RemoveDefaultApp(exts[i]);
    if (i < 2 && hadPlaylists[i]) continue;
    vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, exts[i]);
  }
}

}  // namespace
