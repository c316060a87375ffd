// The DDE client against the stand-in player in a second process, which serves with raw DDE messages
// and so takes several requests on one conversation.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstring>
#include <memory>
#include <string>

#include "scratch.h"
#include "stubprocess.h"
#include "vtddeclient.h"

using vttest::StubProcess;

namespace {

const char kPlayer[] = "Vantrel Player";

// A client on a conversation with the stand-in player, started with the test's options.
class DdeClientWithStub : public ::testing::Test {
 protected:
  void Connect(const std::string& options) {
    ASSERT_TRUE(stub_.Start(options));
    client_ = std::make_unique<VtDDEClient>(nullptr, kPlayer, kPlayer);
    ASSERT_TRUE(client_->connected());
  }
  VtDDEClient& client() { return *client_; }

 private:
  StubProcess stub_;
  std::unique_ptr<VtDDEClient> client_;
};

}  // namespace

TEST_F(DdeClientWithStub, BothItemsOnOneConversation) {
  // 表 ends in byte 0x5C, which must travel as part of the character, not as a backslash.
  const std::string path = "C:\\Vantrel\\表示\\vantrel.exe";
  const std::string exts = ".mp3;.WAV;.表";
  ASSERT_NO_FATAL_FAILURE(Connect("--exe-name \"" + path + "\" --support-ext " + exts));
  const VtOwnedText exeName = client().Request("ExeName", 10000);
  const VtOwnedText supportExt = client().Request("SupportExt", 10000);
  ASSERT_TRUE(exeName);
  ASSERT_TRUE(supportExt);
  EXPECT_EQ(path, exeName.get());
  EXPECT_EQ(exts, supportExt.get());
}

TEST_F(DdeClientWithStub, RefusedAndEmptyAnswersKeepTheConversation) {
  ASSERT_NO_FATAL_FAILURE(Connect("--no-exe-name --support-ext-empty"));

  DWORD start = GetTickCount();
  EXPECT_FALSE(client().Request("ExeName", 10000));
  // A refusal is an answer, not a time-out.
  EXPECT_LT(GetTickCount() - start, 5000u);

  const VtOwnedText empty = client().Request("SupportExt", 10000);
  ASSERT_TRUE(empty);
  EXPECT_STREQ("", empty.get());

  EXPECT_FALSE(client().Request(nullptr, 10000));
}

TEST_F(DdeClientWithStub, EmptyAnswerOfZeroBytesIsAnEmptyText) {
  ASSERT_NO_FATAL_FAILURE(Connect("--no-terminator --exe-name-empty"));
  const VtOwnedText empty = client().Request("ExeName", 10000);
  ASSERT_TRUE(empty);
  // Wine 8 hands the raw block over at its exact size, so this is the 0-byte case: the caller owns
  // one byte (a block from malloc, whose size _msize tells).
  EXPECT_EQ(1u, _msize(empty.get()));
  EXPECT_EQ(0, empty.get()[0]);
}

TEST_F(DdeClientWithStub, TimedOutRequestThenSuccessOnSameConversation) {
  ASSERT_NO_FATAL_FAILURE(Connect("--delay 3000 --delay-item ExeName --support-ext .ogg;.mid"));

  DWORD start = GetTickCount();
  EXPECT_FALSE(client().Request("ExeName", 300));
  DWORD waited = GetTickCount() - start;
  EXPECT_GE(waited, 250u);
  EXPECT_LT(waited, 3000u);

  const VtOwnedText next = client().Request("SupportExt", 10000);
  ASSERT_TRUE(next);
  EXPECT_STREQ(".ogg;.mid", next.get());
}

TEST_F(DdeClientWithStub, LongExtensionListArrivesWhole) {
  ASSERT_NO_FATAL_FAILURE(Connect("--ext-count 5000"));
  const VtOwnedText list = client().Request("SupportExt", 10000);
  ASSERT_TRUE(list);
  // .x1 to .x5000 with 4999 separators.
  const size_t expected = 9 * 3 + 90 * 4 + 900 * 5 + 4001 * 6 + 4999;
  EXPECT_EQ(expected, std::strlen(list.get()));
  EXPECT_EQ(0, std::strncmp(list.get(), ".x1;.x2;", 8));
  EXPECT_STREQ(";.x5000", list.get() + expected - 7);
}

TEST(DdeClientWithoutServer, RequestsFailAtOnce) {
  VtDDEClient client(nullptr, kPlayer, vttest::UniqueName("VtNoServer").c_str());
  EXPECT_NE(0u, client.instance());
  EXPECT_FALSE(client.connected());
  EXPECT_FALSE(client.Request("ExeName", 10000));
}
