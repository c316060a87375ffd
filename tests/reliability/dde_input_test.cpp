// What the player may answer, however odd, through the stand-in player and the real window: empty,
// 1 MiB, every byte from 0x01 to 0xFF, a lead byte with nothing after it, an embedded zero, 10,000
// extensions, and pieces that are no plain extension. Each gives a defined list, and registering
// and unregistering it never writes outside the keys of the pieces that are extensions.
#include <gtest/gtest.h>
#include <windows.h>
// commctrl.h needs windows.h first.
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "associnfo.h"
#include "mainfrm.h"
#include "message_box_stub.h"
#include "process.h"
#include "regdump.h"
#include "scratch.h"
#include "stubprocess.h"

namespace {

using Rows = std::vector<std::string>;

class DdeInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { Application.Initialize(); }
  void SetUp() override {
    options_ = vttest::ProgramPath();
    options_ = options_.substr(0, options_.find_last_of('.')) + ".ini";
  }
  void TearDown() override {
    form_.reset();
    stub_.Close();
    for (const std::string& key : cleanup_) {
      vttest::DeleteKeyTree(HKEY_CLASSES_ROOT, key);
      if (key[0] == '.') vttest::RemoveDefaultApp(key);
    }
    DeleteFileA(options_.c_str());
  }

  // Starts the player answering SupportExt with the bytes, exactly, and opens the window.
  void OpenWithAnswer(const std::string& bytes) {
    const std::string file = scratch_.File("answer.bin");
    ASSERT_TRUE(vttest::WriteFileBytes(file, bytes));
    OpenWithOptions("--support-ext-file \"" + file + "\"");
  }
  void OpenWithOptions(const std::string& options) {
    ASSERT_TRUE(stub_.StartAt(player_, options));
    form_.reset(new TFrmAssoc());
  }
  VtAssocInfo* Entry(int row) const {
    return form_->Entry(row);
  }
  Rows Exts() const {
    Rows rows;
    for (int i = 0; i < form_->ListView->Count(); ++i)
      rows.push_back(Entry(i) ? Entry(i)->ext : "(none)");
    return rows;
  }
  void SelectAll() {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(form_->ListView->Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(&item));
  }
  void Click(TControl* button) { SendMessageA(button->Handle(), BM_CLICK, 0, 0); }
  // Keys that the test may make the tool create: removed afterwards in any case.
  void Owns(const std::string& ext) {
    cleanup_.push_back(ext);
    cleanup_.push_back("vantrel" + ext);
  }

  vttest::ScratchDir scratch_;
  std::string player_ = scratch_.File("vantrel.exe");
  std::string options_;
  vttest::StubProcess stub_;
  TMessageBoxStub boxes_;
  std::unique_ptr<TFrmAssoc> form_;
  std::vector<std::string> cleanup_;
};

// The rows' extensions: what the commands act on. (The captions pass through the list control,
// which shows a byte pair that is no character of the code page as "・".)
TEST_F(DdeInput, OddAnswersGiveDefinedRows) {
  std::string everyByte;
  for (int b = 1; b <= 255; ++b) everyByte += static_cast<char>(b);
  // 0x3B is the one ";" among the bytes. The list upper-cases single-byte letters only; the second
  // bytes of double-byte characters stay as they are.
  std::string second = everyByte.substr(0x3B);
  for (size_t i = 0; i < second.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(second[i]);
    if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) {
      ++i;
    } else if (b >= 'a' && b <= 'z') {
      second[i] = static_cast<char>(b - 'a' + 'A');
    }
  }
  const struct {
    const char* name;
    std::string answer;
    Rows exts;
  } cases[] = {
      {"empty", "", {"", ".VNT", ".M3U"}},
      {"every byte 0x01-0xFF", everyByte, {everyByte.substr(0, 0x3A), second, ".VNT", ".M3U"}},
      // The lead byte has no second byte: it must not take the ";" of the appended playlists.
      {"dangling lead byte", ".mp3;.ab\x81", {".MP3", ".AB", ".VNT", ".M3U"}},
      {"dangling lead byte after a double-byte character", ".表\x81", {".表", ".VNT", ".M3U"}},
      {"embedded zero", std::string(".mp3\0.wav", 9), {".MP3", ".VNT", ".M3U"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    OpenWithAnswer(c.answer);
    EXPECT_EQ(c.exts, Exts());
    EXPECT_EQ(".VNT", "." + form_->ListView->ItemText(form_->ListView->Count() - 2, 0));
    form_.reset();
    stub_.Close();
  }
}

// One piece of 1 MiB: a row whose extension no registry key can have. Registering it changes
// nothing.
TEST_F(DdeInput, OneMebibyteAnswerIsOneRowThatNothingIsRegisteredFor) {
  std::string huge = ".vtr" + std::to_string(GetCurrentProcessId());
  huge.resize(1 << 20, 'q');
  OpenWithAnswer(huge);
  ASSERT_EQ(3, form_->ListView->Count());
  const Rows exts = Exts();
  EXPECT_EQ(huge.size(), exts[0].size());
  EXPECT_EQ(std::string(16, 'Q'), exts[0].substr(huge.size() - 16));
  SelectAll();
  Click(form_->btnApply);
  EXPECT_EQ(1u, boxes_.Calls().size());
  EXPECT_EQ(nullptr, Entry(0)->typeName);
  EXPECT_EQ(0, Entry(0)->associated);
  // VNT and M3U were selected too: the fixture takes them back.
  Owns(".VNT");
  Owns(".M3U");
  DWORD_PTR result = 0;
  EXPECT_NE(0, SendMessageTimeoutA(form_->Handle(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result));
}

// Pieces with backslashes, blanks, ".exe" and a double-byte character whose second byte is 0x5C.
// The backslash pieces name a path of keys, the blank ones nothing Windows looks up as an extension:
// they are listed but never registered, and the pieces with a reason are named in the box.
TEST_F(DdeInput, PiecesThatAreNoPlainExtensionAreListedAndOnlyExtensionsRegistered) {
  const std::string id = std::to_string(GetCurrentProcessId());
  const std::string up = "VTR" + id;
  const Rows pieces = {".vtr" + id + "a\\b",
                       ".\\",
                       ".vtr" + id + "c d",
                       ". vtr" + id + "e",
                       ".vtr" + id + "f ",
                       ".exe",
                       ".EXE ",
                       ".vtr" + id + "表",
                       ".vtr" + id + "\\"};
  std::string answer;
  for (const std::string& p : pieces) answer += (answer.empty() ? "" : ";") + p;
  for (const std::string& ext : Rows{"." + up + "A", "." + up + "C D", ". " + up + "E",
                                     "." + up + "F ", ".EXE ", "." + up + "表", ".", "." + up})
    Owns(ext);
  // Whatever a faulty guard would do to ".exe" is put back: Wine's prefix has no such key.
  const bool hadExe = vttest::KeyExists(HKEY_CLASSES_ROOT, ".exe");
  const std::string exeBefore =
      vttest::DumpTrees(HKEY_CLASSES_ROOT, {".exe", "vantrel.exe", "vantrel.EXE"});
  if (!hadExe) Owns(".exe");

  OpenWithAnswer(answer);
  ASSERT_EQ(static_cast<int>(pieces.size()) + 2, form_->ListView->Count());
  SelectAll();
  boxes_.SetAnswer(IDOK);
  Click(form_->btnApply);

  const Rows registered = {"." + up + "表"};
  for (const std::string& ext : registered)
    EXPECT_EQ("vantrel" + ext, vttest::NamedProgId(ext)) << ext;
  EXPECT_EQ(exeBefore,
            vttest::DumpTrees(HKEY_CLASSES_ROOT, {".exe", "vantrel.exe", "vantrel.EXE"}));
  for (const std::string& key :
       Rows{"." + up + "A", "vantrel." + up + "A", ".", "vantrel.", "." + up, "vantrel." + up,
            "." + up + "C D", ". " + up + "E", "." + up + "F ", ".EXE ", "vantrel.EXE "})
    EXPECT_FALSE(vttest::KeyExists(HKEY_CLASSES_ROOT, key)) << key;
  ASSERT_EQ(2u, boxes_.Calls().size());
  for (const std::string& caption : Rows{up + "C D", " " + up + "E", up + "F ", "EXE", "EXE "})
    EXPECT_NE(boxes_.Calls()[1].text.find("\r\n" + caption + ": "), std::string::npos) << caption;

  Click(form_->btnUnregAll);
  for (const std::string& ext : registered) {
    EXPECT_EQ("", vttest::NamedProgId(ext)) << ext;
    EXPECT_FALSE(vttest::KeyExists(HKEY_CLASSES_ROOT, "vantrel" + ext)) << ext;
  }
  Owns(".VNT");
  Owns(".M3U");
}

// 10,000 extensions: every one a row, the window answering afterwards. The fill time is printed.
TEST_F(DdeInput, TenThousandExtensionsFillTheList) {
  const std::string prefix = "vtr" + std::to_string(GetCurrentProcessId()) + "t";
  const auto start = std::chrono::steady_clock::now();
  OpenWithOptions("--ext-count 10000 --ext-prefix " + prefix);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_EQ(10002, form_->ListView->Count());
  EXPECT_EQ("VTR" + std::to_string(GetCurrentProcessId()) + "T10000",
            form_->ListView->ItemText(9999, 0));
  std::printf(
      "[ figure   ] 10,000 extensions: player start and window with 10,002 rows in %.2f s\n",
      seconds);
  RecordProperty("fill_10000_ms", static_cast<int>(seconds * 1000));
}

}  // namespace
