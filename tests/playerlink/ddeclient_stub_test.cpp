// The DDE client against the stand-in player in a second process, which serves with raw DDE messages
// and so takes several requests on one conversation; and what the tool takes from its answers.
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "importpatch.h"
#include "playeranswer.h"
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

// Every path this program hands to the file system's lookups while a FileCallRecorder lives.
std::vector<std::wstring>& SeenPaths() {
  static std::vector<std::wstring> seen;
  return seen;
}

template <class Function>
Function System(const char* name) {
  return reinterpret_cast<Function>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}

HANDLE WINAPI RecordCreateFileW(const wchar_t* path, DWORD access, DWORD share,
                                SECURITY_ATTRIBUTES* security, DWORD how, DWORD flags,
                                HANDLE from) {
  SeenPaths().push_back(path);
  return System<decltype(&RecordCreateFileW)>("CreateFileW")(path, access, share, security, how,
                                                             flags, from);
}

DWORD WINAPI RecordGetFileAttributesW(const wchar_t* path) {
  SeenPaths().push_back(path);
  return System<decltype(&RecordGetFileAttributesW)>("GetFileAttributesW")(path);
}

// GetLongPathNameW and GetShortPathNameW take the same arguments.
template <const char* kName>
DWORD WINAPI RecordPathName(const wchar_t* path, wchar_t* buffer, DWORD size) {
  SeenPaths().push_back(path);
  return System<decltype(&RecordPathName<kName>)>(kName)(path, buffer, size);
}
const char kLongPathName[] = "GetLongPathNameW";
const char kShortPathName[] = "GetShortPathNameW";

struct Patch {
  const char* name;
  uintptr_t recorder;
};
const Patch kPatches[] = {
    {"CreateFileW", reinterpret_cast<uintptr_t>(&RecordCreateFileW)},
    {"GetFileAttributesW", reinterpret_cast<uintptr_t>(&RecordGetFileAttributesW)},
    {kLongPathName, reinterpret_cast<uintptr_t>(&RecordPathName<kLongPathName>)},
    {kShortPathName, reinterpret_cast<uintptr_t>(&RecordPathName<kShortPathName>)}};
const size_t kPatchCount = sizeof kPatches / sizeof kPatches[0];

// Records the paths of this program's own calls of those lookups while it lives.
class FileCallRecorder {
 public:
  FileCallRecorder() {
    SeenPaths().clear();
    for (size_t i = 0; i < kPatchCount; ++i)
      formers_[i] = vttest::PatchImport("kernel32.dll", kPatches[i].name, kPatches[i].recorder);
  }
  ~FileCallRecorder() {
    for (size_t i = 0; i < kPatchCount; ++i)
      if (formers_[i] != 0) vttest::PatchImport("kernel32.dll", kPatches[i].name, formers_[i]);
  }
  FileCallRecorder(const FileCallRecorder&) = delete;
  FileCallRecorder& operator=(const FileCallRecorder&) = delete;

 private:
  uintptr_t formers_[kPatchCount] = {};
};

}  // namespace

// A program answering as the player names a share, in any spelling of one: the path is refused
// unseen, since looking it up would connect to the host with this process's credentials.
TEST(PlayerAnswerIdentity, AShareNamedOverDdeReachesNoFileSystemCall) {
  for (const char* share : {"\\\\vthost\\share\\vtplayer.exe", "//vthost/share/vtplayer.exe",
                            "\\/vthost\\share\\vtplayer.exe",
                            "\\\\?\\UNC\\vthost\\share\\vtplayer.exe"}) {
    StubProcess stub;
    ASSERT_TRUE(stub.Start(std::string("--exe-name ") + share + " --support-ext .mp3")) << share;
    PlayerAnswer answer;
    {
      const FileCallRecorder recorder;
      answer = AskPlayer();
    }
    EXPECT_TRUE(answer.unverified) << share;
    EXPECT_EQ(answer.exePath, nullptr) << share;
    ASSERT_TRUE(answer.extensions) << share;
    EXPECT_STREQ(answer.extensions.get(), ".mp3");
    for (const std::wstring& path : SeenPaths())
      EXPECT_EQ(path.find(L"vthost"), std::wstring::npos) << share;
  }
}

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
