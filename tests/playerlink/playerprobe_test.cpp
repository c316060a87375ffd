// The running test against a real second process: both the window class and the mutex must exist.
#include <gtest/gtest.h>

#include "playerprobe.h"
#include "stubprocess.h"

using vttest::StubProcess;

TEST(PlayerProbe, RunningOnlyWhileThePlayerRuns) {
  EXPECT_FALSE(IsPlayerRunning());
  {
    StubProcess player;
    ASSERT_TRUE(player.Start(""));
    EXPECT_TRUE(IsPlayerRunning());
    EXPECT_EQ(0, player.Close());
  }
  // A mutex handle kept by the probe would outlive the player and pass the next window off as it.
  StubProcess windowOnly;
  ASSERT_TRUE(windowOnly.Start("--no-mutex"));
  EXPECT_FALSE(IsPlayerRunning());
}

TEST(PlayerProbe, WindowWithoutMutexIsNotRunning) {
  StubProcess stub;
  ASSERT_TRUE(stub.Start("--no-mutex"));
  EXPECT_FALSE(IsPlayerRunning());
}

TEST(PlayerProbe, MutexWithoutPlayerWindowIsNotRunning) {
  StubProcess stub;
  ASSERT_TRUE(stub.Start("--no-window-class", "VtPlayerStub"));
  EXPECT_FALSE(IsPlayerRunning());
}

TEST(PlayerProbe, PlayerThatEndsByItselfIsNoLongerRunning) {
  StubProcess stub;
  ASSERT_TRUE(stub.Start("--lifetime 300"));
  EXPECT_TRUE(IsPlayerRunning());
  EXPECT_EQ(0, stub.WaitForExit(10000));
  EXPECT_FALSE(IsPlayerRunning());
}
