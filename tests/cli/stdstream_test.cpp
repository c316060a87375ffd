// Standard output to a console as the command line writes it, with WriteConsoleW replaced in this
// program's import table by one that fails above 64 KB, as Windows 7's does.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "stdstream.h"

namespace {

std::vector<DWORD> pieces;
std::wstring shown;

BOOL WINAPI SmallConsoleWrite(HANDLE, const void* text, DWORD length, DWORD* written, void*) {
  pieces.push_back(length);
  if (length * sizeof(wchar_t) > 65535) return FALSE;
  shown.append(static_cast<const wchar_t*>(text), length);
  *written = length;
  return TRUE;
}

// Points this program's import of WriteConsoleW at replacement; the one it replaced (null: none).
void* ReplaceImport(void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  void* const current = reinterpret_cast<void*>(&WriteConsoleW);
  for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       dll->Name != 0; ++dll) {
    for (auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
         slot->u1.Function != 0; ++slot) {
      if (reinterpret_cast<void*>(slot->u1.Function) != current) continue;
      DWORD was = 0;
      VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &was);
      slot->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(slot, sizeof *slot, was, &was);
      return current;
    }
  }
  return nullptr;
}

// A long list reaches a console whole, in pieces the console of every Windows takes, none of them
// splitting a surrogate pair.
TEST(StdStream, ALongTextReachesAConsoleInPiecesOfAtMost8192Characters) {
  const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  FreeConsole();
  ASSERT_TRUE(AllocConsole());
  const HANDLE screen = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
  SetStdHandle(STD_OUTPUT_HANDLE, screen);
  const VtStdStream out(STD_OUTPUT_HANDLE);
  void* const real = ReplaceImport(reinterpret_cast<void*>(&SmallConsoleWrite));
  ASSERT_NE(real, nullptr);

  std::wstring text(100000, L'x');
  text[8191] = 0xD83C;  // a pair across the first piece's end
  text[8192] = 0xDFB5;
  const bool wide = out.Write(text);
  const std::wstring wideShown = shown;

  ReplaceImport(real);
  CloseHandle(screen);
  FreeConsole();
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  EXPECT_TRUE(wide);
  EXPECT_TRUE(wideShown == text);
  for (DWORD piece : pieces) EXPECT_LE(piece, 8192u);
}

}  // namespace
