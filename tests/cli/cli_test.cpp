// The built vntassoc-cli.exe as scripts run it: every command with its exit code, what it leaves in
// the registry, and its output redirected to a file, which holds code page 932.
#include <gtest/gtest.h>
#include <windows.h>
// wincrypt.h needs windows.h first.
#include <wincrypt.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "defaultapps.h"
#include "finalpath.h"
#include "handle.h"
#include "ownedmutex.h"
#include "process.h"
#include "readonlytree.h"
#include "regaccess.h"
#include "regdump.h"
#include "scratch.h"
#include "stubprocess.h"
#include "toolprocess.h"
#include "usersid.h"
#include "widetext.h"
#include "xmlread.h"

namespace {

using vttest::ScratchKey;

const HKEY kMachine = HKEY_LOCAL_MACHINE;
const char kUsageStart[] = "使い方:";
const char kFailureHeading[] = "次の拡張子は変更できませんでした。";
const char kNotThePlayer[] =
    "Vantrel Player として応答したプログラムは、ExeName が示す実行ファイルではありません。";

// The tool's texts follow the user's interface language: Japanese, else English.
bool JapaneseUi() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

// The line register and unregister begin standard error with where they took this user's classes
// unasked.
const char* Narrowed() {
  return JapaneseUi() ? "このユーザーの関連付けだけを扱います" : "This user's associations only";
}

// Printable ASCII and line ends only: code page 932 bytes would be above 0x7F.
bool PlainAscii(const std::string& text) {
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x7E || (byte < 0x20 && byte != '\r' && byte != '\n')) return false;
  }
  return true;
}

// The mutex that every change of this user's classes holds: named by the user's SID, the name
// spelled out here so that a change under another name is caught.
std::string UserChangeLockName() {
  const std::string sid = UserSidText();
  return sid.empty() ? std::string() : "Global\\vntassoc.change.user." + sid;
}

std::string Upper(std::string text) {
  CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

std::string Lower(std::string text) {
  CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
  return text;
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_CLI_EXE).c_str(), exe_.c_str(), FALSE));
    ASSERT_TRUE(vttest::WriteFileBytes(player_, "MZ"));
  }
  void TearDown() override {
    for (const std::string& ext : exts_) vttest::RemoveDefaultApp(ext);
  }

  // Runs the program with args in folder (null: ours); its exit code (-1: it did not end), with
  // out_ and err_ as written.
  int Run(const std::string& args, const char* folder = nullptr) {
    vttest::ChildProcess process;
    const std::string outPath = dir_.File("out.txt"), errPath = dir_.File("err.txt");
    if (!process.StartRedirected("\"" + exe_ + "\" " + args, outPath, errPath, folder)) return -1;
    const int code = process.WaitForExit(60000);
    out_.clear();
    err_.clear();
    vttest::ReadFileBytes(outPath, &out_);
    vttest::ReadFileBytes(errPath, &err_);
    return code;
  }

  // A scratch extension in small letters; it, its tool ProgID and its Default Apps entry go again.
  std::string Ext(const char* prefix = "vtc") {
    const std::string ext = "." + vttest::UniqueName(prefix);
    Own(kMachine, ext);
    Own(kMachine, ToolProgId(ext));
    Own(HKEY_CURRENT_USER, ext);
    Own(HKEY_CURRENT_USER, ToolProgId(ext));
    exts_.push_back(ext);
    return ext;
  }
  // Another program's ProgID with a type name, an icon and an open command.
  std::string Other(HKEY hive = kMachine) {
    const std::string progId = "VtCliOther." + vttest::UniqueName("p");
    Own(hive, progId);
    const std::string key = std::string(kClassesKey) + "\\" + progId;
    vttest::SetString(hive, key, "", "他のプログラム");
    vttest::SetString(hive, key + "\\DefaultIcon", "", "other.exe,2");
    vttest::SetString(hive, key + "\\shell\\open\\command", "", "other.exe \"%1\"");
    return progId;
  }
  static std::string ToolProgId(const std::string& ext) { return "vantrel" + Upper(ext); }
  static std::string Key(const std::string& name) { return std::string(kClassesKey) + "\\" + name; }
  void Own(HKEY hive, const std::string& name) {
    keys_.push_back(std::make_unique<ScratchKey>(hive, Key(name)));
  }
  std::string Named(HKEY hive, const std::string& ext) {
    std::string named;
    vttest::GetString(hive, Key(ext), "", &named);
    return named;
  }
  // What README gives for a restore: the 64-bit view, where Default Apps looks. Wine 8's reg.exe
  // ignores /reg:64 on import, so the 64-bit one is started, as a 64-bit cmd starts it on Windows.
  void Restore(const std::string& file) {
    vttest::ChildProcess reg;
    char windows[MAX_PATH];
    const std::string native = std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) +
                               "\\sysnative\\reg.exe";
    const std::string exe = GetFileAttributesA(native.c_str()) != INVALID_FILE_ATTRIBUTES ? native
                                                                                      : "reg.exe";
    ASSERT_TRUE(reg.Start("\"" + exe + "\" import \"" + file + "\" /reg:64", nullptr, true));
    EXPECT_EQ(reg.WaitForExit(30000), 0);
  }
  std::string Open(const std::string& option) const {
    return "\"" + player_ + "\" \"%1\"" + (option.empty() ? "" : " " + option);
  }

  vttest::ScratchDir dir_;
  std::string exe_ = dir_.File("vntassoc-cli.exe");
  std::string player_ = dir_.File("vtplayer.exe");
  std::string out_, err_;
  std::vector<std::string> exts_;
  std::vector<std::unique_ptr<ScratchKey>> keys_;
};

TEST_F(Cli, HelpGoesToStandardOutputAndEveryBadCommandLineChangesNothing) {
  for (const char* help : {"/?", "-h", "--HELP", "register /?", "/? register mp3"}) {
    EXPECT_EQ(Run(help), 0) << help;
    EXPECT_EQ(out_.rfind(kUsageStart, 0), 0u) << help;
    EXPECT_EQ(err_, "") << help;
    EXPECT_NE(out_.find("vntassoc-cli policy FILE"), std::string::npos) << help;
  }

  const std::string ext = Ext(), other = Other();
  vttest::SetString(kMachine, Key(ext), "", other);
  const std::string p = " /player \"" + player_ + "\"";
  // Existing files whose paths may not stand in an open command, or that are no program.
  ASSERT_TRUE(CreateDirectoryA(dir_.File("50%").c_str(), nullptr));
  const std::string percent = dir_.File("50%\\vtplayer.exe"), text = dir_.File("player.txt");
  ASSERT_TRUE(vttest::WriteFileBytes(percent, "MZ") && vttest::WriteFileBytes(text, "MZ"));
  const std::vector<std::string> bad = {
      "", "frob", "register", "unregister", "export", "list /all", "register" + p,
      "register " + ext + " /all" + p, "register exe" + p, "policy",
      "policy p.xml /version 0", "policy p.xml /version x", "policy p.xml /version",
      "policy p.xml /user", "policy p.xml /suggested /suggested",
      "register .EXE" + p, "register ." + p,
      "register .." + p, "register a\\b" + p, "register *" + p, "register " + std::string(255, 'x') + p,
      "register " + ext + " /listadd maybe" + p, "register " + ext + " /playlist" + p,
      "register " + ext + " /user /user" + p, "unregister " + ext + " /type x",
      // Help is asked alone: beside an extension it is a mistake.
      "register " + ext + " /?" + p, "list " + ext + " -h",
      "register " + ext + " /user /machine" + p, "scope " + ext, "refresh /user", "frob /?",
      "unregister .", "unregister a\\b",
      "export -x.reg " + ext,
      "register " + ext + " /player \"" + dir_.File("missing.exe") + "\"",
      "register " + ext + " /player \"" + player_ + "::$DATA\\\" /c x\"",
      "register " + ext + " /player \"" + percent + "\"", "register " + ext + " /player " + text,
      "register " + ext + " /player \"" + dir_.path() + "\"",
      // Names Windows never looks up as extensions, and types that start programs.
      "register .bat" + p, "register \"" + ext + " x\"" + p, "register tar" + ext + p,
      "register " + ext + " .LNK" + p, "register " + ext + "." + p,
      "repair /all" + p, "repair " + ext + " /type x" + p, "check " + ext + " /listadd yes" + p,
      "repair " + ext + " /player \"" + percent + "\"", "check " + ext + " /player " + text,
      // Neither a running player nor /player: no path, and no extensions for /all.
      "register " + ext, "register /all" + p};
  // The classes by their names (a new key shows), the extension and ProgIDs whole, and the tool's
  // Default Apps registration.
  const std::vector<std::string> trees = {Key(ext), Key(other), Key(ToolProgId(ext)),
                                          kAppKey, kRegisteredApplicationsKey};
  auto snapshot = [&] {
    std::string dump;
    for (HKEY hive : {kMachine, HKEY_CURRENT_USER}) {
      for (const std::string& name : vttest::SubkeyNames(hive, kClassesKey)) dump += name + "\n";
      dump += vttest::DumpTrees(hive, trees) + vttest::DumpTrees(hive, trees, vttest::kView64);
    }
    return dump;
  };
  const std::string before = snapshot();
  for (const std::string& args : bad) {
    EXPECT_EQ(Run(args), 2) << args;
    EXPECT_EQ(out_, "") << args;
    EXPECT_NE(err_.find(kUsageStart), std::string::npos) << args;
    EXPECT_NE(err_.find(kUsageStart), 0u) << args << ": no reason before the usage";
  }
  // unregister takes every name of one extension key, those register refuses too: an earlier
  // version may have registered them. Where nothing is the tool's, nothing changes.
  for (const char* args :
       {"unregister .EXE", "unregister *", "unregister \"a b\"", "unregister .."})
    EXPECT_EQ(Run(args), 0) << args << err_;
  // scope refuses every path register refuses, with the same reason: it never names a scope that
  // register would not take.
  for (const std::string& path : {percent, text, dir_.File("missing.exe")}) {
    EXPECT_EQ(Run("register " + ext + " /player \"" + path + "\""), 2) << path;
    const std::string reason = err_.substr(0, err_.find("\r\n"));
    EXPECT_EQ(Run("scope /player \"" + path + "\""), 2) << path;
    EXPECT_EQ(err_.substr(0, err_.find("\r\n")), reason) << path;
  }
  EXPECT_EQ(snapshot(), before);
}

// To a file or a pipe the output is in the console's output code page (the OEM one without a
// console, as here), as Windows' own console tools write it: what that code page lacks is "?",
// never a look-alike, and is said. "--" lets a file's name begin with "-".
TEST_F(Cli, OutputToAPipeIsInTheOutputCodePageAndDashesEndTheSwitches) {
  const std::string ext = Ext(), other = Other();
  vttest::SetString(kMachine, Key(ext), "", other);
  if (GetACP() != GetOEMCP()) {
    // Code page 1252's é is another byte in 437 or 850; its € is in neither.
    const std::wstring typeName = L"Caf\u00e9 \u20ac";
    const std::string key = Key(other);
    ASSERT_TRUE(vttest::SetRawValueW(kMachine, std::wstring(key.begin(), key.end()), L"",
                                     REG_SZ, vttest::WideBytes(typeName)));
    ASSERT_EQ(Run("list " + ext), 0) << err_;
    char expected[16] = "";
    BOOL defaulted = FALSE;
    WideCharToMultiByte(GetOEMCP(), WC_NO_BEST_FIT_CHARS, typeName.c_str(), -1, expected,
                        sizeof expected, nullptr, &defaulted);
    EXPECT_NE(out_.find(std::string("\t") + expected + "\t"), std::string::npos) << out_;
    EXPECT_TRUE(defaulted);
    EXPECT_NE(err_.find("chcp 65001"), std::string::npos) << err_;
  }
  EXPECT_EQ(Run("export -- -x.reg " + ext, dir_.path().c_str()), 0) << err_;
  EXPECT_TRUE(vttest::ReadFileBytes(dir_.File("-x.reg"), &out_));
}

// filetype.ini in each encoding a user may save it in, with names that the system's code page may
// lack: Explorer reads them through the wide functions exactly as written, and a later register,
// which brings every association of the tool up to its options, carries them over unchanged.
TEST_F(Cli, TypeNamesReachTheRegistryExactlyWhateverTheCodePage) {
  const std::wstring audio = L"MP3 オーディオ";
  const std::wstring rare = L"\u00c6r\u00f8 \u03a9 \u97f3\u697d";  // in neither 932 nor 1252
  struct Saved {
    const char* as;
    UINT codePage;
    std::string mark;
    std::wstring name;
    std::string ext;
  };
  Saved table[] = {
      {"code page 932", 932, "", audio, ""},
      {"UTF-8", CP_UTF8, "\xEF\xBB\xBF", rare, ""},
      {"UTF-16", 1200, "\xFF\xFE", rare, ""},
      {"UTF-16 big-endian", 1201, "\xFE\xFF", audio, ""},
  };
  const std::string p = " /player \"" + player_ + "\"";
  DWORD type = 0;
  std::string stored;
  for (Saved& saved : table) {
    saved.ext = Ext();
    const std::wstring line = L"[filetype]\r\n" + std::wstring(saved.ext.begin(), saved.ext.end()) +
                              L"=" + saved.name + L"\r\n";
    ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("filetype.ini"),
                                       saved.mark + vttest::EncodedText(line, saved.codePage)));
    ASSERT_EQ(Run("register " + saved.ext + p), 0) << saved.as << err_;
    ASSERT_TRUE(vttest::GetStoredValue(kMachine, Key(ToolProgId(saved.ext)), "", &type, &stored));
    EXPECT_EQ(stored, vttest::WideBytes(saved.name)) << saved.as;
  }

  ASSERT_TRUE(DeleteFileA(dir_.File("filetype.ini").c_str()));
  ASSERT_EQ(Run("register " + Ext() + " /listadd no" + p), 0) << err_;
  for (const Saved& saved : table) {
    std::string command;
    vttest::GetString(kMachine, Key(ToolProgId(saved.ext) + "\\shell\\open\\command"), "",
                      &command);
    EXPECT_EQ(command, Open("/na")) << saved.as << ": not registered again";
    ASSERT_TRUE(vttest::GetStoredValue(kMachine, Key(ToolProgId(saved.ext)), "", &type, &stored));
    EXPECT_EQ(stored, vttest::WideBytes(saved.name)) << saved.as;
  }
}

// To a console the text goes as UTF-16: bytes of code page 932 would show as other characters
// once the console takes another code page.
TEST_F(Cli, OwnTextsReachTheConsoleAndDefaultAppsWhateverTheCodePage) {
  const HANDLE saved[] = {GetStdHandle(STD_INPUT_HANDLE), GetStdHandle(STD_OUTPUT_HANDLE),
                          GetStdHandle(STD_ERROR_HANDLE)};
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  SetConsoleOutputCP(437);
  HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  vttest::ChildProcess process;
  ASSERT_TRUE(process.Start("\"" + exe_ + "\" frob"));  // on this console
  EXPECT_EQ(process.WaitForExit(60000), 2);
  wchar_t shown[8] = {};
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen, shown, 5, COORD{0, 0}, &read);
  CloseHandle(screen);
  FreeConsole();
  SetStdHandle(STD_INPUT_HANDLE, saved[0]);
  SetStdHandle(STD_OUTPUT_HANDLE, saved[1]);
  SetStdHandle(STD_ERROR_HANDLE, saved[2]);
  // Also run where the system's code page is 1252, as on an English Windows (CMakeLists.txt),
  // whose user reads English.
  EXPECT_EQ(std::wstring(shown, read),
            JapaneseUi() ? L"\u4e0d\u660e\u306a\u30b3\u30de" : L"Unkno")  // 不明なコマ
      << "ANSI code page " << GetACP();

  // What Default Apps shows of the tool is its own text as well.
  ASSERT_EQ(Run("register " + Ext() + " /player \"" + player_ + "\""), 0);
  wchar_t description[256] = {};
  DWORD size = sizeof description - sizeof(wchar_t);
  HKEY key = nullptr;
  if (RegOpenKeyExA(kMachine, kCapabilitiesKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) ==
      ERROR_SUCCESS) {
    RegQueryValueExW(key, L"ApplicationDescription", nullptr, nullptr,
                     reinterpret_cast<BYTE*>(description), &size);
    RegCloseKey(key);
  }
  EXPECT_EQ(std::wstring(description, 3), L"\u3053\u308c\u3089");  // これら
}

// Where the user's language is not Japanese: the usage, the command line's own refusals and the
// reasons it shares with the window in English, in plain ASCII in a file. Runs in an English locale
// (CMakeLists.txt); in any other it skips.
TEST_F(Cli, EnglishUsageAndRefusalsWhereTheLanguageIsNotJapanese) {
  if (JapaneseUi()) GTEST_SKIP() << "runs in an English locale: see CMakeLists.txt";
  ASSERT_EQ(Run("/?"), 0);
  EXPECT_EQ(out_.rfind("Usage:\r\n  vntassoc-cli list", 0), 0u) << out_;
  EXPECT_TRUE(PlainAscii(out_)) << out_;
  ASSERT_EQ(Run("frob"), 2);
  EXPECT_EQ(err_.rfind("Unknown command: frob\r\n\r\nUsage:\r\n", 0), 0u) << err_;
  ASSERT_EQ(Run("register bat /player \"" + player_ + "\""), 2);
  EXPECT_EQ(err_.rfind("Cannot register .BAT: The type opens programs or shortcuts", 0), 0u) << err_;
  ASSERT_EQ(Run("register /all /player \"" + player_ + "\" /user /machine"), 2);
  EXPECT_EQ(err_.rfind("/user and /machine cannot be given together.", 0), 0u) << err_;
  EXPECT_TRUE(PlainAscii(err_)) << err_;
}

// The type name from filetype.ini (Japanese, so the redirected list must be code page 932), the
// options from vntassoc.ini unless the command line names its own, and unregister back to the
// other program.
TEST_F(Cli, RegisterListsAsToolAndUnregisterRestoresTheOtherProgram) {
  const std::string first = Ext(), second = Ext(), untouched = Ext(), other = Other();
  vttest::SetString(kMachine, Key(first), "", other);
  ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("filetype.ini"),
                                     "[filetype]\r\n" + Upper(first) + "=日本語の種類\r\n"));
  ASSERT_TRUE(vttest::WriteFileBytes(dir_.File("vntassoc.ini"), "[vntassoc]\r\nAddOption=1\r\n"));
  const std::string p = " /player \"" + player_ + "\"";

  ASSERT_EQ(Run("register " + Upper(first) + " " + second.substr(1) + p), 0) << err_;
  EXPECT_EQ(Named(kMachine, first), ToolProgId(first));
  EXPECT_EQ(Run("list " + first + " " + second + " " + untouched), 0);
  const std::string icon = player_ + ",0";
  EXPECT_EQ(out_,
            "extension\tstate\ttype\tcommand\ticon\twindows\tplayer\r\n" +
                first + "\ttool\t日本語の種類\t" + Open("/a") + "\t" + icon + "\t\tunknown\r\n" +
                second + "\ttool\t" + Upper(second.substr(1)) + " File\t" + Open("/a") + "\t" + icon + "\t\tunknown\r\n" +
                untouched + "\tnone\t\t\t\t\t\r\n");

  // Whether each association still opens the player given: the same file however it is spelled
  // (letter case, 8.3, through a link) is no move; another file is, and a gone one is missing.
  const std::string moved = dir_.File("moved.exe");
  ASSERT_TRUE(vttest::WriteFileBytes(moved, "MZ"));
  char shortForm[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(player_.c_str(), shortForm, MAX_PATH), 0u);
  vttest::ScratchDir linkHolder;
  struct HostLink {
    std::string host;
    ~HostLink() { vttest::RunHostCommand("rm -f '" + host + "'"); }
  } link{vttest::HostPath(linkHolder.path()) + "link"};
  vttest::RunHostCommand("ln -s '" + vttest::HostPath(dir_.path()) + "' '" + link.host + "'");
  const std::string viaLink = linkHolder.File("link\\vtplayer.exe");
  for (int i = 0; i < 100 && GetFileAttributesA(viaLink.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  const struct {
    std::string player;
    const char* column;
  } spellings[] = {{Lower(player_), "current"}, {shortForm, "current"}, {viaLink, "current"},
                   {moved, "moved"}};
  for (const auto& c : spellings) {
    EXPECT_EQ(Run("list " + first + " /player \"" + c.player + "\""), 0) << c.player;
    EXPECT_NE(out_.find("\t" + std::string(c.column) + "\r\n"), std::string::npos) << out_;
  }
  ASSERT_TRUE(MoveFileA(player_.c_str(), (player_ + ".gone").c_str()));
  EXPECT_EQ(Run("list " + first + " /player \"" + moved + "\""), 0);
  EXPECT_NE(out_.find("\tmissing\r\n"), std::string::npos) << out_;
  ASSERT_TRUE(MoveFileA((player_ + ".gone").c_str(), player_.c_str()));

  // Registering again with options of its own brings every association of the tool up to them.
  ASSERT_EQ(Run("register " + second + " /type 名前 /listadd no" + p), 0) << err_;
  std::string command;
  vttest::GetString(kMachine, Key(ToolProgId(first) + "\\shell\\open\\command"), "", &command);
  EXPECT_EQ(command, Open("/na"));
  std::string type;
  vttest::GetString(kMachine, Key(ToolProgId(second)), "", &type);
  EXPECT_EQ(type, "名前");

  ASSERT_EQ(Run("unregister " + first + " " + second), 0) << err_;
  EXPECT_EQ(Named(kMachine, first), other);
  EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(first))));
  EXPECT_EQ(Run("list " + first + " " + second), 0);
  EXPECT_EQ(out_, "extension\tstate\ttype\tcommand\ticon\twindows\tplayer\r\n" + first +
                      "\tother\t他のプログラム\tother.exe \"%1\"\tother.exe,2\t\t\r\n" + second +
                      "\tnone\t\t\t\t\t\r\n");
}

// The player installed again elsewhere: check finds every association still opening the old file,
// repair registers each again where it is now (in both hives, option, type name and "backup" kept,
// a hand-edited command left and named), and check then passes. Each run in the table in turn.
TEST_F(Cli, RepairFollowsAMovedPlayerAndCheckSaysWhetherAnythingIsLeft) {
  const std::string moved = Ext(), gone = Ext(), edited = Ext(), never = Ext(), refused = Ext();
  const std::string other = Other();
  vttest::SetString(kMachine, Key(moved), "", other);
  ASSERT_TRUE(CreateDirectoryA(dir_.File("old").c_str(), nullptr));
  const std::string old = dir_.File("old\\vtplayer.exe"), lost = dir_.File("lost.exe");
  ASSERT_TRUE(vttest::WriteFileBytes(old, "MZ") && vttest::WriteFileBytes(lost, "MZ"));
  const std::string atOld = " /player \"" + old + "\"";
  ASSERT_EQ(Run("register " + gone + atOld), 0) << err_;
  ASSERT_EQ(Run("register " + moved + " " + edited + " " + refused + " /type 種類 /listadd no" + atOld),
            0)
      << err_;
  ASSERT_EQ(Run("register " + moved + " /user /listadd yes" + atOld), 0) << err_;
  // Register brings every association to one player; these were left by others, as found.
  const std::string editedCommand = "\"" + old + "\" \"%1\" /na /x";
  vttest::SetString(kMachine, Key(ToolProgId(edited) + "\\shell\\open\\command"), "", editedCommand);
  vttest::SetString(kMachine, Key(ToolProgId(gone) + "\\shell\\open\\command"), "",
                    "\"" + lost + "\" \"%1\"");
  ASSERT_TRUE(DeleteFileA(lost.c_str()));

  const std::string now = " /player \"" + player_ + "\"";
  const std::string three = moved + " " + gone + " " + edited;
  const struct {
    std::string args;
    int code;
    std::string out;                // exactly, "*" for one line of any text
    std::vector<std::string> errs;  // each in standard error
  } runs[] = {
      {"list " + moved + " " + gone + now, 0, "", {}},
      {"check " + three + now, 1, "",
       {moved + ": ", old, gone + ": ", lost, edited + ": "}},
      {"repair " + three, 2, "", {}},  // no player running and none named
      {"repair " + three + now, 1,
       moved + "\t" + old + "\t" + player_ + "\r\n" + gone + "\t" + lost + "\t" + player_ + "\r\n",
       {edited + ": "}},
      {"check " + moved + " " + gone + now, 0, "*", {}},
      {"repair " + moved + " " + gone + now, 0, "", {}},  // nothing left to do
      {"check " + moved + " " + never + now, 1, "", {never + ": "}},
  };
  for (const auto& run : runs) {
    EXPECT_EQ(Run(run.args), run.code) << run.args << "\n" << err_;
    const bool list = run.args.compare(0, 4, "list") == 0;
    if (list) {
      EXPECT_TRUE(out_.find("\tmoved\r\n") != std::string::npos &&
                  out_.find("\tmissing\r\n") != std::string::npos)
          << out_;
    } else if (run.out == "*") {
      EXPECT_TRUE(out_.find(player_) != std::string::npos && out_.find("\r\n") == out_.size() - 2)
          << out_;
    } else {
      EXPECT_EQ(out_, run.out) << run.args;
    }
    for (const std::string& err : run.errs)
      EXPECT_NE(err_.find(err), std::string::npos) << run.args << "\n" << err_;
  }
  // Registered again as they were, at the player's place; the hand-edited one as it was left.
  const struct {
    HKEY hive;
    std::string ext, command, type;
  } after[] = {{kMachine, moved, Open("/na"), "種類"},
               {HKEY_CURRENT_USER, moved, Open("/a"), Upper(moved.substr(1)) + " File"},
               {kMachine, gone, Open(""), Upper(gone.substr(1)) + " File"},
               {kMachine, edited, editedCommand, "種類"}};
  for (const auto& a : after) {
    std::string command, type;
    vttest::GetString(a.hive, Key(ToolProgId(a.ext) + "\\shell\\open\\command"), "", &command);
    vttest::GetString(a.hive, Key(ToolProgId(a.ext)), "", &type);
    EXPECT_EQ(command, a.command) << a.ext;
    EXPECT_EQ(type, a.type) << a.ext;
  }
  // A ProgID it may not write is named, and keeps what it opened.
  {
    const vttest::ReadOnlyTree locked(kMachine, Key(ToolProgId(refused)));
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(Run("repair " + refused + now), 1);
    EXPECT_NE(err_.find(refused + ": "), std::string::npos) << err_;
  }
  std::string command;
  vttest::GetString(kMachine, Key(ToolProgId(refused) + "\\shell\\open\\command"), "", &command);
  EXPECT_EQ(command, "\"" + old + "\" \"%1\" /na");
  std::string backup;
  vttest::GetString(kMachine, Key(ToolProgId(moved)), "backup", &backup);
  EXPECT_EQ(backup, other);
  ASSERT_EQ(Run("unregister " + moved), 0) << err_;
  EXPECT_EQ(Named(kMachine, moved), other);
}

TEST_F(Cli, AnExtensionItMayNotChangeGivesExitOneAndTheOthersAreDone) {
  const std::string locked = Ext(), free = Ext(), other = Other();
  vttest::SetString(kMachine, Key(locked), "", other);
  {
    vttest::ReadOnlyTree readOnly(kMachine, Key(locked));
    ASSERT_TRUE(readOnly.ok());
    EXPECT_EQ(Run("register " + locked + " " + free + " /player \"" + player_ + "\""), 1);
  }
  EXPECT_EQ(err_.rfind(kFailureHeading, 0), 0u) << err_;
  EXPECT_NE(err_.find("\r\n" + Lower(locked) + ": "), std::string::npos) << err_;
  EXPECT_EQ(err_.find(free), std::string::npos) << err_;
  EXPECT_EQ(Named(kMachine, locked), other);
  EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(locked))));
  EXPECT_EQ(Named(kMachine, free), ToolProgId(free));

  // The user's choice of the tool that Windows will not let go: the extension is given back, and
  // the choice is named with its own reason.
  vttest::ScratchChoice choice(free);
  ASSERT_TRUE(choice.Set("UserChoice", ToolProgId(free)));
  ASSERT_TRUE(choice.Protect("UserChoice"));
  EXPECT_EQ(Run("unregister " + free + " " + locked), 1);
  const std::string reason = JapaneseUi() ? "この拡張子のユーザーの選択を削除できませんでした。"
                                          : "Your own choice for this extension could not be removed.";
  EXPECT_NE(err_.find("\r\n" + Lower(free) + ": " + reason), std::string::npos) << err_;
  EXPECT_EQ(err_.find(locked), std::string::npos) << err_;
  EXPECT_EQ(Named(kMachine, free), "");
  EXPECT_TRUE(vttest::KeyExists(kMachine, Key(ToolProgId(free))));
}

// /user, and a player in a folder of one user's (the temporary folder lies in the profile), which
// other users may not read: the user's classes only, also for an administrator. A relative player
// path is made whole against the current folder, which the open command is not read in.
TEST_F(Cli, UserScopeRegistersInTheUsersClassesOnly) {
  const std::string ext = Ext(), other = Other();
  vttest::SetString(kMachine, Key(ext), "", other);
  ASSERT_EQ(Run("register " + ext + " /user /player vtplayer.exe", dir_.path().c_str()), 0) << err_;
  EXPECT_EQ(Named(HKEY_CURRENT_USER, ext), ToolProgId(ext));
  EXPECT_EQ(Named(kMachine, ext), other);
  EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(ext))));
  std::string command;
  vttest::GetString(HKEY_CURRENT_USER, Key(ToolProgId(ext) + "\\shell\\open\\command"), "", &command);
  EXPECT_EQ(command, Open(""));
  // An administrator's unregister reaches the user's classes too.
  ASSERT_EQ(Run("unregister " + ext), 0) << err_;
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, Key(ext)));

  char temp[MAX_PATH];
  vttest::ScratchDir userFolder(std::string(temp, GetTempPathA(MAX_PATH, temp)));
  const std::string player = userFolder.File("vtplayer.exe");
  ASSERT_TRUE(vttest::WriteFileBytes(player, "MZ"));
  const std::string inProfile = " /player \"" + player + "\"";
  // A script that insists on every user is refused, and learns beforehand where it would go.
  EXPECT_EQ(Run("register " + ext + " /machine" + inProfile), 2);
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, Key(ext)));
  EXPECT_EQ(Run("scope" + inProfile), 0);
  EXPECT_EQ(out_, "user\r\n");
  EXPECT_EQ(Run("scope /machine" + inProfile), 2);
  EXPECT_EQ(Run("scope /player \"" + player_ + "\""), 0);
  EXPECT_EQ(out_, "machine\r\n");
  EXPECT_EQ(Run("scope /user /player \"" + player_ + "\""), 0);
  EXPECT_EQ(out_, "user\r\n");

  ASSERT_EQ(Run("register " + ext + inProfile), 0) << err_;
  EXPECT_EQ(Named(HKEY_CURRENT_USER, ext), ToolProgId(ext));
  EXPECT_EQ(Named(kMachine, ext), other);
  EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(ext))));

  // A switch's value is its value, even one that reads like a request for help.
  ASSERT_EQ(Run("register " + ext + " /type -h /machine /player \"" + player_ + "\""), 0) << err_;
  EXPECT_EQ(Named(kMachine, ext), ToolProgId(ext));
  std::string typeName;
  vttest::GetString(kMachine, Key(ToolProgId(ext)), "", &typeName);
  EXPECT_EQ(typeName, "-h");
}

// Another change of this user's classes running: register says on standard error that it waits,
// writes nothing meanwhile, and registers once that change ends.
TEST_F(Cli, RegisterWaitsForAnotherChangeOfThisUsersClasses) {
  const std::string ext = Ext();
  const std::string waiting =
      JapaneseUi() ? "ほかの関連付けの変更が実行中です。" : "Another change of associations is running.";
  const VtHandle change(vttest::CreateMutexOwnedBy(UserChangeLockName(), UserSidText(), false));
  ASSERT_TRUE(change.valid());
  ASSERT_EQ(WaitForSingleObject(change.get(), 10000), WAIT_OBJECT_0);

  vttest::ChildProcess process;
  const std::string errPath = dir_.File("waiting.txt");
  ASSERT_TRUE(process.StartRedirected(
      "\"" + exe_ + "\" register " + ext + " /user /player \"" + player_ + "\"",
      dir_.File("out.txt"), errPath));
  std::string err;
  for (const DWORD start = GetTickCount();
       err.find(waiting) == std::string::npos && process.running() && GetTickCount() - start < 20000;
       Sleep(50))
    vttest::ReadFileBytes(errPath, &err);
  EXPECT_EQ(err.find(waiting), 0u) << err;
  EXPECT_TRUE(process.running());
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, Key(ext)));
  ReleaseMutex(change.get());
  EXPECT_EQ(process.WaitForExit(60000), 0);
  EXPECT_EQ(Named(HKEY_CURRENT_USER, ext), ToolProgId(ext));
  // One that waits in vain writes nothing, with the code installers retry by themselves.
  ASSERT_EQ(WaitForSingleObject(change.get(), 10000), WAIT_OBJECT_0);
  EXPECT_EQ(Run("unregister " + ext + " /user"), 1618) << err_;
  ReleaseMutex(change.get());
  EXPECT_EQ(Named(HKEY_CURRENT_USER, ext), ToolProgId(ext));
}

// A lock's name that another account made first is never waited on: register says so at once,
// with exit 1, and writes nothing.
TEST_F(Cli, RegisterRefusesTheLockOfAnotherAccount) {
  const std::string ext = Ext();
  const std::string why = JapaneseUi() ? "ほかのアカウントが使っている" : "Another account holds";
  const VtHandle squatter(
      vttest::CreateMutexOwnedBy(UserChangeLockName(), "S-1-5-21-1-2-3-1001", true));
  ASSERT_TRUE(squatter.valid());
  const DWORD start = GetTickCount();
  EXPECT_EQ(Run("register " + ext + " /user /player \"" + player_ + "\""), 1);
  EXPECT_LT(GetTickCount() - start, 10000u);
  EXPECT_NE(err_.find(why), std::string::npos) << err_;
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, Key(ext)));
}

// A piece that offers the player which could not be written is named with its own reason and exit
// 1, and the association stays made: since Windows 8 Default Apps is where a user makes it the
// default.
TEST_F(Cli, RegisterNamesAnOfferItCouldNotWriteAndKeepsTheAssociation) {
  const std::string p = " /player \"" + player_ + "\"";
  struct Case {
    std::string locked;  // beneath the machine's hive, in the 64-bit view
    const char* reason;
  };
  const std::string openWith = Ext(), capabilities = Ext();
  const Case cases[] = {
      {Key(openWith) + "\\OpenWithProgids",
       JapaneseUi() ? "「プログラムから開く」に Vantrel Player を加えられません" : "\"Open with\""},
      {kCapabilitiesKey, JapaneseUi() ? "既定のアプリ (設定) に Vantrel Player を登録できません"
                                      : "Default Apps"}};
  const std::string* exts[] = {&openWith, &capabilities};
  for (size_t i = 0; i < 2; ++i) {
    const std::string& ext = *exts[i];
    ASSERT_TRUE(vttest::CreateKey(kMachine, cases[i].locked, vttest::kView64));
    vttest::ReadOnlyTree locked(kMachine, cases[i].locked);
    ASSERT_TRUE(locked.ok());
    EXPECT_EQ(Run("register " + ext + p), 1) << cases[i].locked;
    EXPECT_NE(err_.find("\r\n" + Lower(ext) + ": "), std::string::npos) << err_;
    EXPECT_NE(err_.find(cases[i].reason), std::string::npos) << err_;
    EXPECT_EQ(Named(kMachine, ext), ToolProgId(ext));
  }
}

// A user without rights on the machine's keys: the command line reads them, registers in the user's
// own classes, says nothing failed, and leaves the machine's keys as they were.
TEST_F(Cli, WithoutRightsOnTheMachineItRegistersAndUnregistersForThisUserOnly) {
  const std::string ext = Ext(), other = Other();
  vttest::SetString(kMachine, Key(ext), "", other);
  const std::vector<std::string> machine = {Key(ext), Key(ToolProgId(ext)), Key(other)};
  const std::string before = vttest::DumpTrees(kMachine, machine);
  vttest::ReadOnlyTree readOnly(kMachine, "Software");
  ASSERT_TRUE(readOnly.ok());
  EXPECT_EQ(Run("export \"" + dir_.File("before.reg") + "\" " + ext), 0) << err_;
  ASSERT_EQ(Run("register " + ext + " /player \"" + player_ + "\""), 0) << err_;
  EXPECT_EQ(err_.rfind(Narrowed(), 0), 0u) << err_;
  EXPECT_EQ(Named(HKEY_CURRENT_USER, ext), ToolProgId(ext));
  EXPECT_EQ(Run("list " + ext), 0);
  EXPECT_NE(out_.find("\r\n" + ext + "\ttool\t"), std::string::npos) << out_;
  ASSERT_EQ(Run("unregister " + ext), 0) << err_;
  EXPECT_EQ(err_.rfind(Narrowed(), 0), 0u) << err_;
  ASSERT_EQ(Run("unregister " + ext + " /user"), 0) << err_;
  EXPECT_EQ(err_, "");
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, Key(ext)));
  // Insisting on every user: refused before anything changes, and said so.
  const std::string p = " /player \"" + player_ + "\"";
  const std::vector<std::string> insisting = {"register " + ext + " /machine" + p,
                                              "unregister /all /machine", "list /machine",
                                              "scope /machine" + p};
  for (const std::string& args : insisting) {
    EXPECT_EQ(Run(args), 2) << args;
    EXPECT_NE(err_.find("/machine"), std::string::npos) << args << err_;
  }
  EXPECT_FALSE(vttest::KeyExists(HKEY_CURRENT_USER, Key(ext)));
  EXPECT_EQ(Run("scope" + p), 0);
  EXPECT_EQ(out_, "user\r\n");
  EXPECT_EQ(vttest::DumpTrees(kMachine, machine), before);
}

// An export made before a change, imported by Wine's own reg.exe after it, leaves the extension
// keys and the ProgIDs as they were, in both hives.
TEST_F(Cli, ExportRestoresTheTreesThroughRegImport) {
  const std::string seeded = Ext(), absent = Ext(), other = Other(), userOther = Other(HKEY_CURRENT_USER);
  vttest::SetString(kMachine, Key(seeded), "", other);
  vttest::SetString(kMachine, Key(seeded), "Content Type", "audio/x-test");
  const DWORD flags = 7;
  vttest::SetRawValue(kMachine, Key(seeded), "Flags", REG_DWORD, &flags, sizeof flags);
  vttest::SetRawValue(kMachine, Key(seeded + "\\OpenWithProgids"), other.c_str(), REG_NONE, nullptr, 0);
  vttest::SetString(HKEY_CURRENT_USER, Key(seeded), "", userOther);
  std::vector<std::string> names = {seeded, absent, other, userOther, ToolProgId(seeded),
                                    ToolProgId(absent)};
  std::vector<std::string> paths;
  for (const std::string& name : names) paths.push_back(Key(name));
  const std::string before =
      vttest::DumpTrees(kMachine, paths) + vttest::DumpTrees(HKEY_CURRENT_USER, paths);

  const std::string file = dir_.File("backup.reg");
  ASSERT_EQ(Run("export \"" + file + "\" " + seeded + " " + absent), 0) << err_;
  std::string bytes;
  ASSERT_TRUE(vttest::ReadFileBytes(file, &bytes));
  const std::string head("\xFF\xFEW\0i\0n\0d\0o\0w\0s\0", 16);
  EXPECT_EQ(bytes.substr(0, head.size()), head);

  ASSERT_EQ(Run("register " + seeded + " " + absent + " /player \"" + player_ + "\""), 0) << err_;
  ASSERT_EQ(Run("register " + seeded + " /user /player \"" + player_ + "\""), 0) << err_;
  ASSERT_NE(vttest::DumpTrees(kMachine, paths) + vttest::DumpTrees(HKEY_CURRENT_USER, paths), before);
  Restore(file);
  EXPECT_EQ(vttest::DumpTrees(kMachine, paths) + vttest::DumpTrees(HKEY_CURRENT_USER, paths), before);
}

// Both kinds of export, restored as README says after commands of the window and the command line,
// in both scopes: every key and value each names is as it was, names spelled as they were, and no
// Default Apps value names a ProgID that is gone.
TEST_F(Cli, EachExportRestoresExactlyWhatItNames) {
  const std::string window = dir_.File("vntassoc.exe");
  ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_VNTASSOC_EXE).c_str(), window.c_str(), FALSE));
  for (const std::string scope : {"", " /user"}) {
    const HKEY hive = scope.empty() ? kMachine : HKEY_CURRENT_USER;
    const std::string p = scope + " /player \"" + player_ + "\"";
    const std::string kept = Ext(), changed = Ext(), unregistered = Ext(), fresh = Ext();
    const std::string other = Other(hive);
    vttest::SetString(hive, Key(kept), "", other);
    // The window lists the player's extensions and the tool's associations: the whole export's.
    vttest::StubProcess stub;
    ASSERT_TRUE(stub.StartAt(player_, "--support-ext " + kept + ";" + fresh));
    ASSERT_EQ(Run("register " + changed + " " + unregistered + " /listadd no" + p), 0) << err_;
    // A ProgID of the tool that no extension names, as a command cut short leaves it.
    const std::string orphan = "vantrel." + vttest::UniqueName("VTCORPHAN");
    Own(hive, orphan);
    vttest::SetString(hive, Key(orphan), "backup", "");
    auto dump = [&](const std::vector<std::string>& exts, bool whole) {
      std::vector<std::string> paths = {Key(other)};
      if (whole) paths.push_back(Key(orphan));
      for (const std::string& ext : exts) {
        paths.push_back(Key(ext));
        paths.push_back(Key(ToolProgId(ext)));
      }
      std::string text;
      for (HKEY h : {kMachine, HKEY_CURRENT_USER}) {
        text += vttest::DumpTrees(h, paths);
        for (const std::string& ext : exts) {
          std::string progId;
          vttest::GetString(h, kFileAssociationsKey, Upper(ext).c_str(), &progId, vttest::kView64);
          text += ext + "=" + progId + "\n";
        }
        if (whole)
          text += vttest::DumpTrees(h, {kAppKey, kRegisteredApplicationsKey}, vttest::kView64);
      }
      return text;
    };
    std::vector<std::string> all = {kept, changed, unregistered, fresh};
    if (hive == kMachine) all.insert(all.end(), {".vnt", ".m3u"});
    const std::string wholeFile = dir_.File("whole.reg"), someFile = dir_.File("some.reg");
    ASSERT_EQ(Run("export \"" + wholeFile + "\" " + scope), 0) << err_;
    const std::string whole = dump(all, true);
    ASSERT_EQ(Run("export \"" + someFile + "\" " + fresh + " " + unregistered + scope), 0) << err_;
    const std::string some = dump({fresh, unregistered}, false);

    if (hive == kMachine) {  // the window registers for every user here
      ASSERT_EQ(Run("list"), 0);
      const int rows = static_cast<int>(std::count(out_.begin(), out_.end(), '\n')) - 1;
      vttest::ToolProcess tool(window);
      ASSERT_TRUE(tool.WaitForRows(rows, 30000)) << out_;
      EXPECT_EQ(tool.SelectAll(), rows);
      EXPECT_TRUE(tool.Click("適用"));
      EXPECT_TRUE(tool.AnswerOk(30000));
      EXPECT_TRUE(tool.WaitUntilIdle(30000));
      EXPECT_EQ(tool.Close(30000), 0);
      ASSERT_EQ(Named(kMachine, ".m3u"), ToolProgId(".m3u"));
    }
    ASSERT_EQ(Run("unregister " + unregistered + scope), 0) << err_;
    ASSERT_EQ(Run("unregister /all" + scope), 0) << err_;
    ASSERT_FALSE(vttest::KeyExists(hive, Key(orphan)));
    ASSERT_EQ(Run("register " + kept + " " + fresh + " " + changed + " /listadd yes" + p), 0) << err_;
    vttest::DeleteKeyTree(hive, Key(kept));  // a key gone comes back under its own name
    ASSERT_NE(dump(all, true), whole);

    Restore(someFile);
    EXPECT_EQ(dump({fresh, unregistered}, false), some) << scope;
    for (HKEY h : {kMachine, HKEY_CURRENT_USER}) {
      for (const std::string& name : vttest::ValueNames(h, kFileAssociationsKey, vttest::kView64)) {
        std::string progId;
        vttest::GetString(h, kFileAssociationsKey, name.c_str(), &progId, vttest::kView64);
        EXPECT_TRUE(vttest::KeyExists(h, Key(progId))) << name << " names " << progId << scope;
      }
    }
    // Wine 8's reg import does not delete a key of HKEY_LOCAL_MACHINE\Software in the 64-bit view
    // (its "reg delete /reg:64" does); Windows' does, as the file's first line for it asks.
    if (hive == kMachine) vttest::DeleteKeyTree(kMachine, kAppKey, vttest::kView64);
    Restore(wholeFile);
    EXPECT_EQ(dump(all, true), whole) << scope;
    const std::vector<std::string> names = vttest::SubkeyNames(hive, kClassesKey);
    EXPECT_NE(std::find(names.begin(), names.end(), kept), names.end()) << scope;
    EXPECT_EQ(Run("refresh"), 0);
  }
}

// Without extensions, the player's (with the playlist types) and the tool's own; /all registers
// what the player plays and unregisters every association of the tool.
TEST_F(Cli, AllFollowsTheRunningPlayer) {
  const std::string first = Ext(), second = Ext(), other = Other();
  vttest::SetString(kMachine, Key(first), "", other);
  for (const char* playlist : {".vnt", ".m3u"}) {
    exts_.push_back(playlist);
    if (!vttest::KeyExists(kMachine, Key(playlist))) Own(kMachine, playlist);
    Own(kMachine, ToolProgId(playlist));
  }
  vttest::StubProcess stub;
  ASSERT_TRUE(stub.StartAt(player_, "--support-ext " + first + ";" + second));

  ASSERT_EQ(Run("register /all"), 0) << err_;
  EXPECT_EQ(Named(kMachine, first), ToolProgId(first));
  EXPECT_EQ(Named(kMachine, ".m3u"), ToolProgId(".m3u"));
  EXPECT_EQ(Run("list"), 0);
  EXPECT_EQ(out_.find("extension\tstate"), 0u);
  for (const std::string& ext : {first, second, std::string(".vnt"), std::string(".m3u")})
    EXPECT_NE(out_.find("\r\n" + ext + "\ttool\t"), std::string::npos) << ext << "\n" << out_;

  stub.Close();
  ASSERT_EQ(Run("unregister /all"), 0) << err_;
  EXPECT_EQ(Named(kMachine, first), other);
  EXPECT_NE(Named(kMachine, ".m3u"), ToolProgId(".m3u"));
  EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(second))));
}

// A program posing as the player names an existing player file that it does not run: register
// without /player refuses with the reason and changes nothing, though the extensions would do.
TEST_F(Cli, RegisterRefusesAPathThatTheAnsweringProgramDoesNotRun) {
  const std::string ext = Ext(), other = Other();
  vttest::SetString(kMachine, Key(ext), "", other);
  vttest::StubProcess impostor;
  ASSERT_TRUE(impostor.Start("--exe-name \"" + player_ + "\" --support-ext " + ext));
  const std::vector<std::string> trees = {Key(ext), Key(ToolProgId(ext)), kAppKey};
  auto snapshot = [&] {
    return vttest::DumpTrees(kMachine, trees) + vttest::DumpTrees(HKEY_CURRENT_USER, trees) +
           vttest::DumpTrees(kMachine, trees, vttest::kView64);
  };
  const std::string before = snapshot();
  EXPECT_EQ(Run("register " + ext), 2);
  EXPECT_EQ(err_.rfind(kNotThePlayer, 0), 0u) << err_;
  EXPECT_EQ(snapshot(), before);
  // A share is refused unseen, as a path that names another program: its host is never asked.
  impostor.Close();
  vttest::StubProcess sharer;
  ASSERT_TRUE(sharer.StartAt(player_, "--exe-name \\\\vthost\\share\\vtplayer.exe --support-ext " +
                                          ext));
  EXPECT_EQ(Run("register " + ext), 2);
  EXPECT_EQ(err_.rfind(kNotThePlayer, 0), 0u) << err_;
  EXPECT_EQ(snapshot(), before);
}

// Where the player's file really is and who may replace it decide, never the text given: a link
// into a profile, a short name, and a file or folder other users may write are this user's only.
TEST_F(Cli, MachineScopeJudgesThePlayerWhereItIsAndWhoMayReplaceIt) {
  char publicFolder[MAX_PATH], temp[MAX_PATH];
  const DWORD publicLength = GetEnvironmentVariableA("PUBLIC", publicFolder, MAX_PATH);
  ASSERT_TRUE(publicLength > 0 && publicLength < MAX_PATH);
  vttest::ScratchDir profile(std::string(publicFolder, publicLength));
  vttest::ScratchDir tempFolder(std::string(temp, GetTempPathA(MAX_PATH, temp)));
  for (const vttest::ScratchDir* folder : {&profile, &tempFolder})
    ASSERT_TRUE(vttest::WriteFileBytes(folder->File("vtplayer.exe"), "MZ"));
  const std::string link = dir_.File("link");
  // Removed before the scratch folders go, which would otherwise be emptied through it.
  struct HostLink {
    std::string host;
    ~HostLink() { vttest::RunHostCommand("rm -f '" + host + "'"); }
  } hostLink{vttest::HostPath(dir_.path()) + "link"};
  char shortForm[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(tempFolder.File("vtplayer.exe").c_str(), shortForm, MAX_PATH), 0u);
  for (const char* folder : {"file", "own", "above", "above\\inner"})
    ASSERT_TRUE(CreateDirectoryA(dir_.File(folder).c_str(), nullptr));
  struct Case {
    std::string player;
    std::string openedToOthers;  // made writable by others on the host's side
    const char* rule;
  };
  const char* inUsersFolder = JapaneseUi() ? "ユーザーのフォルダー" : "user's folder";
  const char* othersMayChange = JapaneseUi() ? "ほかのユーザーが変更できる" : "Other users may change";
  const Case cases[] = {
      {link + "\\vtplayer.exe", "", inUsersFolder},
      {shortForm, "", inUsersFolder},
      {dir_.File("file\\vtplayer.exe"), dir_.File("file\\vtplayer.exe"), othersMayChange},
      {dir_.File("own\\vtplayer.exe"), dir_.File("own"), othersMayChange},
      {dir_.File("above\\inner\\vtplayer.exe"), dir_.File("above"), othersMayChange}};
  std::string host;
  for (const Case& c : cases) {
    if (c.openedToOthers.empty()) continue;
    ASSERT_TRUE(vttest::WriteFileBytes(c.player, "MZ"));
    host += "chmod o+w '" + vttest::HostPath(c.openedToOthers) + "' && ";
  }
  vttest::RunHostCommand(host + "ln -s '" + vttest::HostPath(profile.path()) + "' '" +
                         hostLink.host + "'");
  // A host program's end may not come through to Wine: wait for what it made last.
  for (int i = 0; i < 100 && GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  ASSERT_NE(GetFileAttributesA((link + "\\vtplayer.exe").c_str()), INVALID_FILE_ATTRIBUTES);
  const std::string ext = Ext();
  for (const Case& c : cases) {
    const std::string p = " /player \"" + c.player + "\"";
    EXPECT_EQ(Run("scope" + p), 0) << c.player;
    EXPECT_EQ(out_, "user\r\n") << c.player;
    EXPECT_EQ(Run("register " + ext + " /machine" + p), 2) << c.player;
    EXPECT_NE(err_.find(c.rule), std::string::npos) << c.player << "\n" << err_;
    EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(ext)))) << c.player;
    ASSERT_EQ(Run("register " + ext + p), 0) << err_;
    EXPECT_EQ(err_.rfind(Narrowed(), 0), 0u) << err_;
    EXPECT_NE(err_.find(c.rule), std::string::npos) << c.player << "\n" << err_;
    EXPECT_EQ(Named(HKEY_CURRENT_USER, ext), ToolProgId(ext)) << c.player;
    EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(ext)))) << c.player;
    ASSERT_EQ(Run("unregister " + ext), 0) << err_;
  }
}

// For every user the path written is the path judged: the file's long final path, not the
// spelling this session gave (a short name; a drive letter of the test's own stands in for a
// subst, which only this session would have), or a refusal.
TEST_F(Cli, MachineScopeWritesThePathItJudged) {
  const std::string player = dir_.File("Vantrel Player Long Name.exe");
  ASSERT_TRUE(vttest::WriteFileBytes(player, "MZ"));
  char shortForm[MAX_PATH];
  ASSERT_NE(GetShortPathNameA(player.c_str(), shortForm, MAX_PATH), 0u);
  const std::string drives = vttest::HostPath("C:\\");
  ASSERT_FALSE(drives.empty());
  struct HostDrive {
    std::string link;
    ~HostDrive() { vttest::RunHostCommand("rm -f '" + link + "'"); }
  } drive{drives.substr(0, drives.find_last_of('/', drives.size() - 2) + 1) + "q:"};
  vttest::RunHostCommand("ln -sfn '" + vttest::HostPath(dir_.path()) + "' '" + drive.link + "'");
  const std::string viaDrive = "Q:\\Vantrel Player Long Name.exe";
  for (int i = 0; i < 100 && GetFileAttributesA(viaDrive.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(50);
  const std::string ext = Ext();
  const std::string command = Key(ToolProgId(ext)) + "\\shell\\open\\command";
  for (const std::string& given : {std::string(shortForm), viaDrive}) {
    const int code = Run("register " + ext + " /machine /player \"" + given + "\"");
    std::string written;
    // Only the drive of this session's own may be refused.
    if (code == 2 && given == viaDrive) {
      EXPECT_FALSE(vttest::KeyExists(kMachine, Key(ToolProgId(ext)))) << given;
      continue;
    }
    ASSERT_EQ(code, 0) << given << "\n" << err_;
    ASSERT_TRUE(vttest::GetString(kMachine, command, "", &written));
    const std::string program = written.substr(1, written.find('"', 1) - 1);
    EXPECT_EQ(program.find('~'), std::string::npos) << written;
    EXPECT_NE(program.find("Long Name"), std::string::npos) << written;
    const VtOwnedWide a(Widen(program.c_str())), b(Widen(player.c_str()));
    const VtHandle writtenFile(OpenToInspect(a.get())), playerFile(OpenToInspect(b.get()));
    EXPECT_EQ(FinalPath(writtenFile.get()), FinalPath(playerFile.get())) << written;
    ASSERT_EQ(Run("unregister " + ext + " /machine"), 0) << err_;
  }
}

// The file a deployment hands to Windows, read by Windows' own parser: the machine's associations
// only, in the order named, the ProgID as its key is spelled and every text escaped.
TEST_F(Cli, PolicyWritesTheMachinesAssociationsAsMsxmlReadsThem) {
  const std::string p = " /player \"" + player_ + "\"";
  const std::string first = Ext(), escaped = Ext("v&'日本"), userOnly = Ext(), none = Ext();
  // An association of the tool's whose ProgID key is spelled in other letter case: register keeps
  // it, and so must the file.
  const std::string spelled = "Vantrel" + Lower(first);
  vttest::SetString(kMachine, Key(spelled), "", "x");
  vttest::SetString(kMachine, Key(first), "", spelled);
  ASSERT_EQ(Run("register " + first + " " + escaped + p), 0) << err_;
  ASSERT_EQ(Run("register " + userOnly + " /user" + p), 0) << err_;

  const std::string xml = dir_.File("policy.xml");
  EXPECT_EQ(Run("policy \"" + xml + "\" " + escaped + " " + userOnly + " " + first + " " + none +
                " /suggested"),
            1);
  EXPECT_NE(err_.find("\r\n" + Lower(userOnly) + ": "), std::string::npos) << err_;
  EXPECT_NE(err_.find("\r\n" + Lower(none) + ": "), std::string::npos) << err_;
  EXPECT_EQ(err_.find(Lower(first)), std::string::npos) << err_;
  EXPECT_EQ(err_.find(Lower(escaped)), std::string::npos) << err_;
  std::string bytes;
  ASSERT_TRUE(vttest::ReadFileBytes(xml, &bytes));
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", 0), 0u) << bytes;
  for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
    EXPECT_EQ(bytes[at - 1], '\r') << at;
  EXPECT_NE(bytes.find("\xE6\x97\xA5\xE6\x9C\xAC"), std::string::npos) << "日本 in UTF-8";

  std::vector<vttest::XmlElement> elements;
  std::string why;
  ASSERT_TRUE(vttest::ReadXmlElements(xml, &elements, &why)) << why << "\n" << bytes;
  ASSERT_EQ(elements.size(), 3u) << bytes;
  EXPECT_EQ(elements[0].name, "DefaultAssociations");
  EXPECT_EQ(elements[0].attributes, (std::map<std::string, std::string>{{"Version", "1"}}));
  const std::pair<std::string, std::string> expected[] = {
      {Lower(escaped), ToolProgId(escaped)}, {Lower(first), spelled}};
  for (size_t i = 0; i < 2; ++i) {
    const vttest::XmlElement& association = elements[i + 1];
    EXPECT_EQ(association.depth, 1);
    EXPECT_EQ(association.name, "Association");
    EXPECT_EQ(association.attributes, (std::map<std::string, std::string>{
                                          {"Identifier", expected[i].first},
                                          {"ProgId", expected[i].second},
                                          {"ApplicationName", "Vantrel Player"},
                                          {"Suggested", "true"}}));
  }

  // Without extensions: every association of the tool, the user's one named and left out.
  EXPECT_EQ(Run("policy \"" + xml + "\""), 1);
  EXPECT_NE(err_.find("\r\n" + Lower(userOnly) + ": "), std::string::npos) << err_;
  EXPECT_EQ(err_.find(Lower(none)), std::string::npos) << err_;
  ASSERT_TRUE(vttest::ReadXmlElements(xml, &elements, &why)) << why;
  EXPECT_EQ(elements[0].attributes.size(), 0u);
  std::vector<std::string> identifiers;
  for (const vttest::XmlElement& element : elements)
    if (element.depth == 1) identifiers.push_back(element.attributes.at("Identifier"));
  for (const std::string& ext : {Lower(escaped), Lower(first)})
    EXPECT_EQ(std::count(identifiers.begin(), identifiers.end(), ext), 1) << ext;
  EXPECT_EQ(std::count(identifiers.begin(), identifiers.end(), Lower(userOnly)), 0);
}

// /base64 is the same file's text for Intune; nothing left writes nothing; a failed write keeps
// the old file.
TEST_F(Cli, PolicyBase64NothingLeftAndAFailedWrite) {
  const std::string p = " /player \"" + player_ + "\"";
  const std::string ext = Ext(), userOnly = Ext(), none = Ext();
  ASSERT_EQ(Run("register " + ext + p), 0) << err_;
  ASSERT_EQ(Run("register " + userOnly + " /user" + p), 0) << err_;

  const std::string xml = dir_.File("policy.xml"), text = dir_.File("policy.txt");
  ASSERT_EQ(Run("policy \"" + xml + "\" " + ext + " /version 7"), 0) << err_;
  ASSERT_EQ(Run("policy \"" + text + "\" " + ext + " /base64 /version 7"), 0) << err_;
  std::string xmlBytes, base64;
  ASSERT_TRUE(vttest::ReadFileBytes(xml, &xmlBytes) && vttest::ReadFileBytes(text, &base64));
  EXPECT_EQ(base64.find_first_of("\r\n"), std::string::npos) << base64;
  DWORD size = 0;
  ASSERT_TRUE(CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()),
                                   CRYPT_STRING_BASE64, nullptr, &size, nullptr, nullptr));
  std::string decoded(size, '\0');
  ASSERT_TRUE(CryptStringToBinaryA(base64.c_str(), static_cast<DWORD>(base64.size()),
                                   CRYPT_STRING_BASE64, reinterpret_cast<BYTE*>(&decoded[0]),
                                   &size, nullptr, nullptr));
  decoded.resize(size);
  EXPECT_EQ(decoded, xmlBytes);
  std::vector<vttest::XmlElement> elements;
  std::string why;
  ASSERT_TRUE(vttest::ReadXmlElements(xml, &elements, &why)) << why;
  ASSERT_EQ(elements.size(), 2u);
  EXPECT_EQ(elements[0].attributes, (std::map<std::string, std::string>{{"Version", "7"}}));
  EXPECT_EQ(elements[1].attributes.count("Suggested"), 0u);

  const std::string absent = dir_.File("absent.xml");
  EXPECT_EQ(Run("policy \"" + absent + "\" " + userOnly + " " + none), 1);
  EXPECT_EQ(GetFileAttributesA(absent.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(err_.find("\r\n" + Lower(userOnly) + ": "), std::string::npos) << err_;
  EXPECT_NE(err_.find("\r\n" + Lower(none) + ": "), std::string::npos) << err_;

  ASSERT_TRUE(SetFileAttributesA(xml.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(Run("policy \"" + xml + "\" " + ext + " /suggested"), 1);
  SetFileAttributesA(xml.c_str(), FILE_ATTRIBUTE_NORMAL);
  std::string after;
  ASSERT_TRUE(vttest::ReadFileBytes(xml, &after));
  EXPECT_EQ(after, xmlBytes);
}

// An earlier version's association of a program type (.bat naming vantrel.BAT, its backup the
// type before): policy leaves it out with its reason and writes no file for it alone; list still
// shows it and unregister restores the type.
TEST_F(Cli, PolicyLeavesOutAProgramTypeAnEarlierVersionRegistered) {
  std::string batType;
  vttest::GetString(kMachine, Key(".bat"), "", &batType);
  struct Restore {
    std::string type;
    ~Restore() { vttest::SetString(kMachine, Key(".bat"), "", type); }
  } restore{batType};
  Own(kMachine, "vantrel.BAT");
  vttest::SetString(kMachine, Key("vantrel.BAT"), "backup", batType);
  vttest::SetString(kMachine, Key("vantrel.BAT"), "", "BAT File");
  vttest::SetString(kMachine, Key(".bat"), "", "vantrel.BAT");
  const std::string ext = Ext();
  ASSERT_EQ(Run("register " + ext + " /player \"" + player_ + "\""), 0) << err_;

  const std::string xml = dir_.File("policy.xml");
  EXPECT_EQ(Run("policy \"" + xml + "\" .bat"), 1);
  EXPECT_NE(err_.find("\r\n.bat: "), std::string::npos) << err_;
  EXPECT_EQ(GetFileAttributesA(xml.c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Run("policy \"" + xml + "\""), 1);
  EXPECT_NE(err_.find("\r\n.bat: "), std::string::npos) << err_;
  std::vector<vttest::XmlElement> elements;
  std::string why;
  ASSERT_TRUE(vttest::ReadXmlElements(xml, &elements, &why)) << why;
  std::vector<std::string> identifiers;
  for (const vttest::XmlElement& element : elements)
    if (element.depth == 1) identifiers.push_back(element.attributes.at("Identifier"));
  EXPECT_EQ(std::count(identifiers.begin(), identifiers.end(), ".bat"), 0);
  EXPECT_EQ(std::count(identifiers.begin(), identifiers.end(), Lower(ext)), 1);

  EXPECT_EQ(Run("list .bat"), 0);
  EXPECT_NE(out_.find("\r\n.bat\ttool\t"), std::string::npos) << out_;
  EXPECT_EQ(Run("unregister .bat"), 0) << err_;
  EXPECT_EQ(Named(kMachine, ".bat"), batType);
}

}  // namespace
