// The base64 of policy's file for Intune: every length's padding, and bytes above 0x7F (the
// file's UTF-8), as RFC 4648 gives them; the end-to-end test meets only one length.
#include <gtest/gtest.h>

#include <string>

#include "policytext.h"

namespace {

TEST(PolicyBase64, EveryRemainderPadsAsTheRfcVectors) {
  const std::pair<std::string, std::string> vectors[] = {
      {"", ""},          {"f", "Zg=="},         {"fo", "Zm8="},           {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
      {std::string("\xE6\x97\xA5\xFF\x00", 5), "5pel/wA="}};
  for (const auto& vector : vectors)
    EXPECT_EQ(Base64(vector.first), vector.second) << vector.second;
}

}  // namespace
