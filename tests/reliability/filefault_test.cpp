// The tool's files under faults: the options file read-only, its folder not writable, the file held
// open by another process without sharing, and a type-name file of 200 KB. The tool must fill its
// list, register and unregister, and exit normally, and no file may end up truncated or
// half-written.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process.h"
#include "regdump.h"
#include "scratch.h"
#include "stubprocess.h"
#include "toolprocess.h"

namespace {

const DWORD kWaitMs = 30000;
// Any rewrite would change these bytes (blanks, an empty line and a line without "=" go), so an
// unchanged file shows that nothing was written.
const char kOptions[] =
    "[other]\r\n\r\nkept = 表の値\r\nno equals "
    "sign\r\n[vntassoc]\r\nAddOption=1\r\nListOption=1\r\n";
const char kOptionsRewritten[] =
    "[other]\r\nkept=表の値\r\n[vntassoc]\r\nAddOption=1\r\nListOption=1\r\n";

using vttest::Listing;

const char* const kPlaylists[] = {".vnt", ".m3u"};

class FileFaults : public ::testing::Test {
 protected:
  // The folder lies beside the test program, on the host's drive Z:, so that host commands can
  // reach it by the same path.
  void SetUp() override {
    const std::string id = std::to_string(GetCurrentProcessId());
    ASSERT_EQ(0, folder_.compare(0, 2, "Z:"));
    host_ = folder_.substr(2, folder_.size() - 3);
    for (char& c : host_)
      if (c == '\\') c = '/';
    ASSERT_TRUE(
        CopyFileA(vttest::WinePath(VT_VNTASSOC_EXE).c_str(), File("vntassoc.exe").c_str(), FALSE));
    ASSERT_TRUE(vttest::WriteFileBytes(File("vntassoc.ini"), kOptions));
    ext1_ = ".vtr" + id + "f1";
    ext2_ = ".vtr" + id + "f2";
    for (int i = 0; i < 2; ++i)
      hadPlaylistKey_[i] = vttest::KeyExists(HKEY_CLASSES_ROOT, kPlaylists[i]);
    ASSERT_TRUE(
        stub_.StartAt(playerDir_.File("vantrel.exe"), "--support-ext " + ext1_ + ";" + ext2_));
  }
  void TearDown() override {
    stub_.Close();
    Unlock();
    for (const std::string& ext : {ext1_, ext2_}) {
      vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, ext);
      vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, ToolProgId(ext));
      vttest::RemoveDefaultApp(ext);
    }
    // The session registers and unregisters the playlist rows too, which leaves their keys behind.
    for (int i = 0; i < 2; ++i) {
      vttest::RemoveDefaultApp(kPlaylists[i]);
      if (!hadPlaylistKey_[i]) vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, kPlaylists[i]);
    }
  }

  std::string File(const std::string& name) const { return folder_ + name; }
  static std::string ToolProgId(std::string ext) {
    for (char& c : ext) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return "vantrel" + ext;
  }
  std::string Bytes(const std::string& name) const {
    std::string bytes;
    return vttest::ReadFileBytes(File(name), &bytes) ? bytes : "(unreadable)";
  }
  // Makes the folder unwritable for everyone, root included; false when the host refuses.
  bool Lock() {
    vttest::RunHostCommand("chmod a-w '" + host_ + "'; chattr +i '" + host_ + "' 2>/dev/null");
    locked_ = true;
    // The host command may still be running: give it a moment to take effect.
    const std::string probe = File("probe.tmp");
    for (int attempt = 0; attempt < 50; ++attempt, Sleep(20)) {
      if (!vttest::WriteFileBytes(probe, "x")) return true;
      DeleteFileA(probe.c_str());
    }
    return false;
  }
  void Unlock() {
    if (!locked_) return;
    vttest::RunHostCommand("chattr -i '" + host_ + "' 2>/dev/null; chmod u+w '" + host_ + "'");
    const std::string probe = File("probe.tmp");
    for (int attempt = 0; attempt < 50 && !vttest::WriteFileBytes(probe, "x"); ++attempt) Sleep(20);
    DeleteFileA(probe.c_str());
    locked_ = false;
  }

  // One session: the list filled, both extensions registered (type names from filetype.ini when
  // it has them) and checked, all unregistered, the window closed. The exit code.
  int Session(const std::string& expectedType1 = "", const std::string& expectedType2 = "") {
    vttest::ToolProcess tool(File("vntassoc.exe"));
    EXPECT_TRUE(tool.WaitForRows(4, kWaitMs));
    EXPECT_EQ(4, tool.SelectAll());
    EXPECT_TRUE(tool.Click("適用"));
    EXPECT_TRUE(tool.AnswerOk(kWaitMs));
    EXPECT_TRUE(tool.WaitUntilIdle(kWaitMs));
    EXPECT_EQ(ToolProgId(ext1_), vttest::NamedProgId(ext1_));
    std::string type;
    if (!expectedType1.empty()) {
      EXPECT_TRUE(vttest::GetString(HKEY_CLASSES_ROOT, ToolProgId(ext1_), "", &type));
      EXPECT_EQ(expectedType1, type);
      EXPECT_TRUE(vttest::GetString(HKEY_CLASSES_ROOT, ToolProgId(ext2_), "", &type));
      EXPECT_EQ(expectedType2, type);
    }
    EXPECT_TRUE(tool.Click("すべて解除"));
    EXPECT_TRUE(tool.AnswerOk(kWaitMs));
    EXPECT_TRUE(tool.WaitUntilIdle(kWaitMs));
    EXPECT_EQ("", vttest::NamedProgId(ext1_));
    EXPECT_FALSE(vttest::KeyExists(HKEY_CLASSES_ROOT, ToolProgId(ext1_)));
    return tool.Close(kWaitMs);
  }

  vttest::ScratchDir dir_{vttest::ProgramFolder()};
  // The player is registered for every user only where no one else may replace it, and the folders
  // above the build tree may let others write: it lies in the scratch tree of drive C: instead.
  vttest::ScratchDir playerDir_;
  std::string folder_ = dir_.path();
  std::string host_, ext1_, ext2_;
  bool hadPlaylistKey_[2] = {true, true};
  bool locked_ = false;
  vttest::StubProcess stub_;
};

// A log-off with the window open: Windows ends the process after WM_ENDSESSION without destroying
// the window, and the options are kept all the same.
TEST_F(FileFaults, EndOfSessionKeepsTheOptions) {
  vttest::ToolProcess tool(File("vntassoc.exe"));
  ASSERT_TRUE(tool.WaitForRows(4, kWaitMs));
  ASSERT_TRUE(tool.EndSession(kWaitMs));
  const std::string saved = Bytes("vntassoc.ini");
  EXPECT_EQ(saved.substr(0, saved.find("[classes]")), kOptionsRewritten);
}

// Unpacked where anyone may put a file beside it, an elevated tool must load no library from its
// own folder: neither at start nor for the system's own code later. Windows looks there first for
// every library that is not a known one; Wine does when asked for the native copy first.
TEST_F(FileFaults, LibrariesPlantedBesideTheProgramsAreNeverLoaded) {
  const char* const names[] = {"userenv", "version", "crypt32", "uxtheme", "dwmapi", "propsys"};
  std::string overrides = "userenv,version,crypt32,uxtheme,dwmapi,propsys=n,b";
  char was[1024] = "";
  if (GetEnvironmentVariableA("WINEDLLOVERRIDES", was, sizeof was) < sizeof was && was[0])
    overrides = std::string(was) + ";" + overrides;
  struct Restore {
    std::string was;
    ~Restore() { SetEnvironmentVariableA("WINEDLLOVERRIDES", was.empty() ? nullptr : was.c_str()); }
  } restore{was};
  ASSERT_TRUE(SetEnvironmentVariableA("WINEDLLOVERRIDES", overrides.c_str()));
  for (const char* name : names) {
    const std::string dll = std::string(name) + ".dll";
    ASSERT_TRUE(CopyFileA((vttest::WinePath(VT_PLANTED_DIR) + dll).c_str(), File(dll).c_str(),
                          FALSE));
  }
  ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_CLI_EXE).c_str(), File("vntassoc-cli.exe").c_str(),
                        FALSE));
  EXPECT_EQ(0, Session());
  {
    vttest::ToolProcess tool(File("vntassoc.exe"));
    EXPECT_TRUE(tool.WaitForRows(4, kWaitMs));
    EXPECT_TRUE(tool.Click("既定のアプリ"));
    EXPECT_TRUE(tool.WaitUntilIdle(kWaitMs));
    EXPECT_EQ(0, tool.Close(kWaitMs));
  }
  const std::string player = " /player \"" + playerDir_.File("vantrel.exe") + "\"";
  const std::string commands[] = {"list",
                                  "register " + ext1_ + player,
                                  "export \"" + File("before.reg") + "\"",
                                  "policy \"" + File("policy.txt") + "\" /base64",
                                  "unregister " + ext1_};
  for (const std::string& command : commands) {
    vttest::ChildProcess cli;
    ASSERT_TRUE(cli.StartRedirected("\"" + File("vntassoc-cli.exe") + "\" " + command,
                                    File("out.txt"), File("err.txt")));
    EXPECT_NE(cli.WaitForExit(kWaitMs), -1) << command;
  }
  for (const std::string& name : Listing(folder_))
    EXPECT_EQ(name.find(".planted"), std::string::npos) << name;
}

TEST_F(FileFaults, ReadOnlyOptionsFileIsLeftAsItWas) {
  ASSERT_TRUE(SetFileAttributesA(File("vntassoc.ini").c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(0, Session());
  EXPECT_EQ(kOptions, Bytes("vntassoc.ini"));
  EXPECT_TRUE(GetFileAttributesA(File("vntassoc.ini").c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ((std::vector<std::string>{"vntassoc.exe", "vntassoc.ini"}),
            Listing(folder_));
}

TEST_F(FileFaults, UnwritableFolderLeavesTheOptionsFileAsItWas) {
  if (!Lock()) GTEST_SKIP() << "the host would not make the folder unwritable";
  EXPECT_EQ(0, Session());
  Unlock();
  EXPECT_EQ(kOptions, Bytes("vntassoc.ini"));
  EXPECT_EQ((std::vector<std::string>{"vntassoc.exe", "vntassoc.ini"}),
            Listing(folder_));
}

// Another program holds the file open without sharing while the tool starts and closes: the tool
// can read nothing, so it must not write a document without the file's other sections either.
TEST_F(FileFaults, OptionsFileHeldOpenWithoutSharingIsLeftAsItWas) {
  HANDLE holder = CreateFileA(File("vntassoc.ini").c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, holder);
  EXPECT_EQ(0, Session());
  CloseHandle(holder);
  EXPECT_EQ(kOptions, Bytes("vntassoc.ini"));
  EXPECT_EQ((std::vector<std::string>{"vntassoc.exe", "vntassoc.ini"}),
            Listing(folder_));
}

// 200 KB of type names: only the first 128 KiB count, the file is never written.
TEST_F(FileFaults, TypeNameFileOf200KilobytesIsReadUpTo128KiB) {
  std::string types = "[filetype]\r\n" + ext1_ + "=表の種類\r\n";
  for (int i = 0; types.size() < 200 * 1024 - 64; ++i)
    types += "[pad" + std::to_string(i) + "]\r\nk=" + std::string(90, 'p') + "\r\n";
  types += "[filetype]\r\n" + ext2_ + "=Beyond The Limit\r\n";
  ASSERT_TRUE(vttest::WriteFileBytes(File("filetype.ini"), types));
  std::string caption2 = ext2_.substr(1);
  for (char& c : caption2) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(0, Session("表の種類", caption2 + " File"));
  EXPECT_EQ(types, Bytes("filetype.ini"));
  EXPECT_EQ(kOptionsRewritten, Bytes("vntassoc.ini"));  // the options file is written as usual
}

}  // namespace
