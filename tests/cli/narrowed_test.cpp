// Where register and unregister take this user's classes unasked: one line says so, and for an
// account whose own classes no person's programs read (an installer run by Intune as LocalSystem)
// they refuse. The account's SID stands in, since no test runs as one.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "commands.h"
#include "handle.h"

namespace {

// What SayNarrowed writes to standard error, caught in a file; its result in *code.
std::string Said(const std::wstring& narrowed, const std::string& sid, int* code) {
  char path[MAX_PATH], folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  GetTempFileNameA(folder, "vtn", 0, path);
  const VtHandle file(CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  const HANDLE was = GetStdHandle(STD_ERROR_HANDLE);
  SetStdHandle(STD_ERROR_HANDLE, file.get());
  *code = SayNarrowed(narrowed, sid, VtStdStream(STD_ERROR_HANDLE));
  SetStdHandle(STD_ERROR_HANDLE, was);
  std::string text(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN);
  if (!text.empty()) ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr);
  return text;
}

TEST(Narrowed, ServiceAccountsRefuseElseOneLineSaysWhy) {
  struct Case {
    const char* sid;
    int code;
  };
  const Case cases[] = {{"S-1-5-18", 2},           {"S-1-5-19", 2},     {"S-1-5-20", 2},
                        {"S-1-5-21-1-2-3-1000", 0}, {"S-1-5-32-544", 0}, {"", 0}};
  for (const Case& c : cases) {
    int code = -1;
    const std::string said = Said(L"WHY", c.sid, &code);
    EXPECT_EQ(code, c.code) << c.sid;
    EXPECT_NE(said.find("WHY"), std::string::npos) << c.sid << said;
    // The refusal names the accounts and is followed by the usage; the narrowing is one line.
    EXPECT_EQ(said.find("LocalSystem") != std::string::npos, c.code == 2) << c.sid << said;
    if (c.code == 0) {
      EXPECT_EQ(said.find("\r\n"), said.size() - 2) << said;
    }
    EXPECT_EQ(Said(L"", c.sid, &code), "") << c.sid;
    EXPECT_EQ(code, 0) << c.sid;
  }
}

}  // namespace
