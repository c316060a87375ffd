// Exact byte counts: a DDEML server in this process sends answers of exact size, and the size of
// the text Request hands over shows what the caller owns. (Wine's DDEML server cannot send 0 bytes;
// the empty answer goes through the stand-in player instead.)
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstring>
#include <string>

#include "ddemlserver.h"
#include "library.h"
#include "scratch.h"
#include "vtddeclient.h"

namespace {

struct Received {
  VtOwnedText text;
  std::size_t allocated = 0;  // bytes the caller owns
};

// One request per conversation: Wine's DDEML server spoils the second.
void RequestFrom(const std::string& answer, Received* got) {
  const std::string name = vttest::UniqueName("VtBytes");
  vttest::DdemlServer server(name, answer);
  ASSERT_TRUE(server.ready());
  VtDDEClient client(nullptr, name.c_str(), name.c_str());
  ASSERT_TRUE(client.connected());
  got->text = client.Request("ExeName", 10000);
  // The text is a block from malloc, whose size _msize tells.
  if (got->text) got->allocated = _msize(got->text.get());
  EXPECT_EQ(1, server.requests());
}

}  // namespace

TEST(DdeAnswerBytes, AnswerWithoutZeroGetsOneAdded) {
  Received got;
  RequestFrom(std::string("abc", 3), &got);
  ASSERT_TRUE(got.text);
  EXPECT_EQ(4u, got.allocated);
  EXPECT_EQ(0, std::memcmp(got.text.get(), "abc", 4));
}

TEST(DdeAnswerBytes, AnswerWithOwnZeroKeepsItAndGetsAnother) {
  Received got;
  RequestFrom(std::string("abc\0", 4), &got);
  ASSERT_TRUE(got.text);
  EXPECT_EQ(5u, got.allocated);
  EXPECT_EQ(0, std::memcmp(got.text.get(), "abc\0", 5));
}

TEST(DdeAnswerBytes, ZeroInsideEndsTheTextButEveryByteIsCopied) {
  Received got;
  RequestFrom(std::string("ab\0cd", 5), &got);
  ASSERT_TRUE(got.text);
  EXPECT_EQ(6u, got.allocated);
  EXPECT_STREQ("ab", got.text.get());
  EXPECT_EQ(0, std::memcmp(got.text.get() + 3, "cd", 3));
}

class DdeNames : public ::testing::Test {
 protected:
  void SetUp() override { StartLibrary(); }
  void TearDown() override { StopLibrary(); }
};

TEST_F(DdeNames, LongNamesAreCutWithoutSplittingACharacter) {
  const std::string topic(70, 't');
  const std::string service = std::string(62, 's') + "表";  // the character would need bytes 63 and 64
  VtDDE dde(nullptr, topic.c_str(), service.c_str());
  ASSERT_NE(0u, dde.instance());
  EXPECT_NE(nullptr, dde.serviceHandle());
  EXPECT_NE(nullptr, dde.topicHandle());
  EXPECT_EQ(std::string(63, 't'), dde.topicName());
  EXPECT_EQ(std::string(62, 's'), dde.serviceName());
}
