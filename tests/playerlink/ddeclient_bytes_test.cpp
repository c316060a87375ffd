// Exact byte counts: a DDEML server in this process sends answers of exact size, and the size of
// the text Request hands over shows what the caller owns. (Wine's DDEML server cannot send 0 bytes;
// the empty answer goes through the stand-in player instead.)
#include <gtest/gtest.h>
#include <malloc.h>

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

// An answer's bytes and what the caller must then own: every byte sent, and one zero after them.
struct AnswerBytes {
  const char* name;
  std::string sent;
  std::string owned;
};
void PrintTo(const AnswerBytes& value, std::ostream* out) { *out << value.name; }

class DdeAnswerBytes : public ::testing::TestWithParam<AnswerBytes> {};

INSTANTIATE_TEST_SUITE_P(
    Answers, DdeAnswerBytes,
    ::testing::Values(AnswerBytes{"WithoutZeroGetsOneAdded", std::string("abc", 3),
                                  std::string("abc\0", 4)},
                      AnswerBytes{"WithOwnZeroKeepsItAndGetsAnother", std::string("abc\0", 4),
                                  std::string("abc\0\0", 5)},
                      // The text ends at the first zero, yet nothing after it is lost.
                      AnswerBytes{"ZeroInsideEndsTheTextButEveryByteIsCopied",
                                  std::string("ab\0cd", 5), std::string("ab\0cd\0", 6)}),
    [](const ::testing::TestParamInfo<AnswerBytes>& test) { return std::string(test.param.name); });

TEST_P(DdeAnswerBytes, CallerOwnsEveryByteAndATerminatingZero) {
  Received got;
  RequestFrom(GetParam().sent, &got);
  ASSERT_TRUE(got.text);
  EXPECT_EQ(GetParam().owned.size(), got.allocated);
  EXPECT_EQ(GetParam().owned, std::string(got.text.get(), got.allocated));
}

class DdeNames : public ::testing::Test {
 protected:
  void SetUp() override { StartLibrary(); }
  void TearDown() override { StopLibrary(); }
};

// The name a string handle of the instance holds.
std::string HandleText(const VtDDE& dde, HSZ handle) {
  char text[256] = "";
  DdeQueryStringA(dde.instance(), handle, text, sizeof text, CP_WINANSI);
  return text;
}

TEST_F(DdeNames, LongNamesAreCutWithoutSplittingACharacter) {
  const std::string topic(70, 't');
  const std::string service = std::string(62, 's') + "表";  // the character would need bytes 63 and 64
  VtDDE dde(nullptr, topic.c_str(), service.c_str());
  ASSERT_NE(0u, dde.instance());
  EXPECT_EQ(std::string(63, 't'), HandleText(dde, dde.topicHandle()));
  EXPECT_EQ(std::string(62, 's'), HandleText(dde, dde.serviceHandle()));
}

}  // namespace
