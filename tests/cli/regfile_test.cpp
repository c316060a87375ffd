// WriteRegistryFile against Wine's registry and Wine's own reg.exe: what "reg import" makes of the
// file is the exported trees as they were, on scratch keys and in a scratch folder.
#include "regfile.h"

#include <aclapi.h>
#include <gtest/gtest.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "ownedtext.h"
#include "process.h"
#include "regaccess.h"
#include "regdump.h"
#include "scratch.h"
#include "widetext.h"

namespace {

// Characters code page 932 lacks: one of Latin-1 and one beyond 16 bits (a surrogate pair).
const std::wstring kForeign = L"é😀";

std::wstring Wide(const std::string& text) {
  VtOwnedWide wide(Widen(text.c_str()));
  return wide ? wide.get() : L"";
}

std::string Bytes(const std::wstring& text) { return vttest::WideBytes(text); }

// Through the wide functions, which take any name; the key is made when missing.
bool Put(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
         const std::string& bytes) {
  return vttest::SetRawValueW(root, path, name, type, bytes);
}
bool MakeKey(HKEY root, const std::wstring& path) {
  return Put(root, path, L"x", REG_NONE, "") &&
         RegDeleteKeyValueW(root, path.c_str(), L"x") == ERROR_SUCCESS;
}

std::wstring Dump(HKEY root, const std::wstring& path) { return vttest::DumpTreeW(root, path); }

// Wine's own reg.exe imports the file; its exit code, -1 when it did not end.
int Import(const std::string& file) {
  vttest::ChildProcess reg;
  if (!reg.Start("reg.exe import \"" + file + "\"", nullptr, true)) return -1;
  return reg.WaitForExit(30000);
}

// The file's DACL in SDDL; the empty text when it cannot be read.
std::string DaclOf(const std::string& path) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  char* text = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                            nullptr, nullptr, nullptr, &sd) != ERROR_SUCCESS)
    return std::string();
  std::string dacl;
  if (ConvertSecurityDescriptorToStringSecurityDescriptorA(sd, SDDL_REVISION_1,
                                                           DACL_SECURITY_INFORMATION, &text,
                                                           nullptr)) {
    dacl = text;
    LocalFree(text);
  }
  LocalFree(sd);
  return dacl;
}

class RegFileTest : public ::testing::Test {
 protected:
  // The key that gets names code page 932 lacks is deleted through the wide function, also when a
  // killed run left it: vttest::ScratchKey deletes through the ANSI ones, which cannot open such
  // names and would try them again and again.
  RegFileTest() { RegDeleteTreeW(HKEY_CURRENT_USER, user_.c_str()); }
  ~RegFileTest() override { RegDeleteTreeW(HKEY_CURRENT_USER, user_.c_str()); }

  DWORD Export(const std::string& file, const std::vector<VtExportKey>& keys) {
    return WriteRegistryFile(Wide(file).c_str(), keys);
  }

  const std::wstring user_ = L"Software\\" + Wide(vttest::UniqueName());
  vttest::ScratchKey laterKey_{HKEY_CURRENT_USER, "Software\\" + vttest::UniqueName()};
  vttest::ScratchKey machineKey_{HKEY_LOCAL_MACHINE, "Software\\" + vttest::UniqueName()};
  const std::wstring later_ = Wide(laterKey_.path());
  const std::wstring machine_ = Wide(machineKey_.path());
  vttest::ScratchDir dir_;
  const std::string file_ = dir_.File("backup.reg");
};

TEST_F(RegFileTest, ImportRestoresEveryExportedTreeByteForByte) {
  const HKEY cu = HKEY_CURRENT_USER;
  const HKEY lm = HKEY_LOCAL_MACHINE;
  const std::wstring deeper = user_ + L"\\sub\\関連付け " + kForeign + L" [x]";
  const std::wstring foreignName = L"値 " + kForeign;
  // Strings of odd length or without their terminator are left out: Wine's reg import ends them
  // with a NUL, past the bytes the file gives for an odd one.
  ASSERT_TRUE(
      Put(cu, user_, L"", REG_SZ, Bytes(L"")) &&
      Put(cu, user_, L"text", REG_SZ, Bytes(L"C:\\a \"b\" 関連付け " + kForeign)) &&
      Put(cu, user_, L"inner NUL", REG_SZ, Bytes(std::wstring(L"a\0b", 3))) &&
      Put(cu, user_, L"lines", REG_SZ, Bytes(L"one\r\ntwo")) &&
      Put(cu, user_, L"no bytes", REG_SZ, "") && Put(cu, user_, L"none", REG_NONE, "") &&
      Put(cu, user_, L"none with bytes", REG_NONE, "\x01\x02") &&
      Put(cu, user_, L"expand", REG_EXPAND_SZ, Bytes(L"%SystemRoot%\\x")) &&
      Put(cu, user_, L"multi", REG_MULTI_SZ, Bytes(std::wstring(L"a\0b\0", 4))) &&
      Put(cu, user_, L"dword", REG_DWORD, std::string("\x78\x56\x34\x12", 4)) &&
      Put(cu, user_, L"short dword", REG_DWORD, "\x01\x02") &&
      Put(cu, user_, L"qword", REG_QWORD, std::string("\x01\0\0\0\0\0\0\x80", 8)) &&
      Put(cu, user_, L"binary", REG_BINARY, std::string(100, '\x5a')) &&
      Put(cu, user_, L"empty", REG_BINARY, "") && Put(cu, user_, L"type 0x1234", 0x1234, "\xff") &&
      Put(cu, user_, L"q\"uo\\te\\\\", REG_SZ, Bytes(L"\"\\")) &&
      Put(cu, deeper, foreignName.c_str(), REG_SZ, Bytes(foreignName)) &&
      MakeKey(cu, user_ + L"\\sub\\empty") &&
      Put(lm, machine_, L"machine", REG_SZ, Bytes(L"HKLM")));
  const std::wstring before = Dump(cu, user_) + Dump(lm, machine_) + Dump(cu, later_);
  // Missing now and when imported, first in the file: its deletion must not stop the rest.
  const VtExportKey never{cu, later_ + L"\\never"};
  ASSERT_EQ(ERROR_SUCCESS, Export(file_, {never, {cu, user_}, {lm, machine_}, {cu, later_}}));

  // Values added, deleted, retyped; keys added and deleted; the key that was missing made.
  ASSERT_TRUE(Put(cu, user_, L"added", REG_SZ, Bytes(L"new")) &&
              RegDeleteKeyValueW(cu, user_.c_str(), L"text") == ERROR_SUCCESS &&
              Put(cu, user_, L"dword", REG_SZ, Bytes(L"retyped")) &&
              Put(cu, deeper, foreignName.c_str(), REG_BINARY, "\x01") &&
              Put(cu, user_ + L"\\sub\\new", L"", REG_SZ, Bytes(L"new key")) &&
              RegDeleteTreeW(cu, (user_ + L"\\sub\\empty").c_str()) == ERROR_SUCCESS &&
              Put(lm, machine_, L"machine", REG_DWORD, std::string(4, '\0')) &&
              Put(cu, later_ + L"\\below", L"", REG_SZ, Bytes(L"later")));

  ASSERT_EQ(0, Import(file_));
  EXPECT_EQ(before, Dump(cu, user_) + Dump(lm, machine_) + Dump(cu, later_));
}

TEST_F(RegFileTest, WritesSectionsAndValuesAsRegeditDoes) {
  const HKEY cu = HKEY_CURRENT_USER;
  std::string bin;
  for (char b = 0; b < 30; ++b) bin += b;
  // Made in the order Wine enumerates them. RegSetValueEx ends a string whose next character is
  // NUL itself: the X keeps "ab" unterminated.
  ASSERT_TRUE(Put(cu, user_, L"", REG_SZ, Bytes(L"")) && Put(cu, user_, L"bin", REG_BINARY, bin) &&
              Put(cu, user_, L"odd", REG_SZ, Bytes(L"a") + "b") &&
              Put(cu, user_, L"q\"\\", REG_DWORD, std::string("\x2a\0\0\0", 4)) &&
              RegSetKeyValueW(cu, user_.c_str(), L"unterminated", REG_SZ, Bytes(L"abX").data(),
                              4) == ERROR_SUCCESS &&
              MakeKey(cu, user_ + L"\\sub") && vttest::WriteFileBytes(file_, "old"));

  ASSERT_EQ(ERROR_SUCCESS, Export(file_, {{cu, user_}, {cu, later_}}));
  std::string bytes;
  ASSERT_TRUE(vttest::ReadFileBytes(file_, &bytes));
  ASSERT_EQ(0u, bytes.size() % 2);
  std::wstring text(bytes.size() / 2, L'\0');
  std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char*>(&text[0]));
  const std::wstring key = L"HKEY_CURRENT_USER\\" + user_;
  EXPECT_EQ(L"\xFEFF"
            L"Windows Registry Editor Version 5.00\r\n\r\n"
            L"[-" + key + L"]\r\n\r\n"
            L"[" + key + L"]\r\n"
            L"@=\"\"\r\n"
            L"\"bin\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
            L"  16,17,18,19,1a,1b,1c,1d\r\n"
            L"\"odd\"=hex(1):61,00,00,00,62\r\n"
            L"\"q\\\"\\\\\"=dword:0000002a\r\n"
            L"\"unterminated\"=hex(1):61,00,62,00\r\n\r\n"
            L"[" + key + L"\\sub]\r\n\r\n"
            L"[-HKEY_CURRENT_USER\\" + later_ + L"]\r\n\r\n",
            text);
  EXPECT_EQ(std::vector<std::string>{"backup.reg"}, vttest::Listing(dir_.path()));
}

TEST_F(RegFileTest, AFailedExportLeavesTheFileAsItWasAndNoTemporaryFile) {
  const HKEY cu = HKEY_CURRENT_USER;
  const std::string folder = dir_.File("folder");
  ASSERT_TRUE(vttest::WriteFileBytes(file_, "old") && CreateDirectoryA(folder.c_str(), nullptr));
  const std::vector<VtExportKey> keys{{cu, later_}, {cu, user_}};

  // A line break in a name would end its line: no line restores it.
  ASSERT_TRUE(Put(cu, user_ + L"\\sub", L"two\nlines", REG_SZ, Bytes(L"x")));
  EXPECT_EQ(ERROR_INVALID_DATA, Export(file_, keys));
  ASSERT_TRUE(RegDeleteTreeW(cu, (user_ + L"\\sub").c_str()) == ERROR_SUCCESS &&
              MakeKey(cu, user_ + L"\\carriage\rreturn"));
  EXPECT_EQ(ERROR_INVALID_DATA, Export(file_, keys));
  EXPECT_EQ(ERROR_INVALID_PARAMETER,
            Export(file_, {{HKEY_CLASSES_ROOT, L".mp3"}}));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, Export(file_, {{cu, L"Software\\"}}));
  EXPECT_EQ(ERROR_INVALID_PARAMETER, WriteRegistryFile(L"", {}));
  // A folder is never replaced, nor is a read-only target.
  EXPECT_NE(ERROR_SUCCESS, Export(folder, {{cu, later_}}));
  ASSERT_TRUE(SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(ERROR_ACCESS_DENIED, Export(file_, {{cu, later_}}));
  SetFileAttributesA(file_.c_str(), FILE_ATTRIBUTE_NORMAL);

  std::string bytes;
  EXPECT_TRUE(vttest::ReadFileBytes(file_, &bytes) && bytes == "old");
  EXPECT_EQ((std::vector<std::string>{"backup.reg", "folder"}), vttest::Listing(dir_.path()));
}

// Under Wine a file's DACL is made from its Unix mode, and SetNamedSecurityInfo changes nothing:
// the host's chmod makes the file readable by its owner only.
TEST_F(RegFileTest, AnExportOverAFileKeepsItsSecurity) {
  ASSERT_TRUE(vttest::WriteFileBytes(file_, "old"));
  const std::string host = vttest::HostPath(file_), open = DaclOf(file_);
  if (host.empty()) GTEST_SKIP() << "sets the file's rights from Wine's host";
  vttest::RunHostCommand("chmod 600 '" + host + "'");
  // The host's command may still be running when its process has ended.
  std::string restricted = open;
  for (int attempt = 0; attempt < 50 && restricted == open; ++attempt, Sleep(20))
    restricted = DaclOf(file_);
  ASSERT_NE(open, restricted);

  ASSERT_EQ(ERROR_SUCCESS, Export(file_, {{HKEY_CURRENT_USER, later_}}));
  EXPECT_EQ(restricted, DaclOf(file_));
  std::string bytes;
  EXPECT_TRUE(vttest::ReadFileBytes(file_, &bytes) && bytes != "old");
}

// A write cut short by a kill leaves its temporary file; the next write of the same file removes
// it, and only those of that file.
TEST_F(RegFileTest, AnExportRemovesTheTemporaryFilesAnEarlierOneLeft) {
  const char* const left[] = {"~vt.backup.reg.1f4-0.tmp", "~VT.BACKUP.REG.a0-3.tmp"};
  const std::vector<std::string> kept{"other.reg", "~vt.backup.reg.1-2.3-4.tmp",
                                      "~vt.backup.reg.x.tmp", "~vt.other.reg.1f4-0.tmp"};
  for (const char* name : left) ASSERT_TRUE(vttest::WriteFileBytes(dir_.File(name), "part"));
  for (const std::string& name : kept) ASSERT_TRUE(vttest::WriteFileBytes(dir_.File(name), "x"));

  ASSERT_EQ(ERROR_SUCCESS, Export(file_, {{HKEY_CURRENT_USER, later_}}));
  std::vector<std::string> expected = kept;
  expected.insert(expected.begin(), "backup.reg");
  EXPECT_EQ(expected, vttest::Listing(dir_.path()));
}

}  // namespace
