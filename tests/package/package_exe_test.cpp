// The packaged program's own resources, read the way the system reads them: the manifest that asks
// for elevation and common controls 6, the version information Explorer shows, and the icon of the
// title bar and the task bar.
#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

namespace {

const std::string kExe = std::string(VT_UNPACKED_DIR) + "vntassoc.exe";

// The program mapped as data only: nothing of it runs.
class DataModule {
 public:
  explicit DataModule(const std::string& path)
      : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
  ~DataModule() {
    if (module_) FreeLibrary(module_);
  }
  DataModule(const DataModule&) = delete;
  DataModule& operator=(const DataModule&) = delete;

  HMODULE get() const { return module_; }
  // The resource's bytes, empty when it is missing.
  std::string Resource(LPCSTR name, LPCSTR type) const {
    HRSRC info = FindResourceA(module_, name, type);
    if (!info) return std::string();
    HGLOBAL loaded = LoadResource(module_, info);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return std::string();
    return std::string(static_cast<const char*>(data), SizeofResource(module_, info));
  }

 private:
  HMODULE module_;
};

TEST(PackagedExe, ManifestAsksForElevationCommonControlsAndDpiAwareness) {
  DataModule exe(kExe);
  ASSERT_NE(exe.get(), nullptr) << kExe;
  const std::string manifest = exe.Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST resource 1";
  const char* const needles[] = {
      // An administrator is asked to elevate, so as to register for every user.
      "<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>",
      "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
      "processorArchitecture=\"x86\"",
      "<dpiAware",
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
  };
  for (const char* needle : needles) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << "manifest lacks " << needle;
  }
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
}

// A script's console shows the command line's text only from a console program, and it must run
// with the script's own rights: neither a prompt nor the VirtualStore's silent redirection.
TEST(PackagedExe, CommandLineIsAConsoleProgramThatRunsAsItsCaller) {
  const std::string cli = std::string(VT_UNPACKED_DIR) + "vntassoc-cli.exe";
  DataModule exe(cli);
  ASSERT_NE(exe.get(), nullptr) << cli;
  const std::string manifest = exe.Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(exe.get()) & ~ULONG_PTR(3));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_CUI);
}

// Both programs, which installers and inventory tools read the version of.
class PackagedVersion : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    const std::string exe = std::string(VT_UNPACKED_DIR) + GetParam();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << exe;
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block_.data()));
  }
  // A value of the Japanese code page 932 string table, "" when it is missing.
  std::string String(const char* name) {
    const std::string path = std::string("\\StringFileInfo\\041103a4\\") + name;
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block_.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || !text) {
      return std::string();
    }
    return std::string(text);
  }
  std::vector<char> block_;
};

INSTANTIATE_TEST_SUITE_P(Programs, PackagedVersion,
                         testing::Values("vntassoc.exe", "vntassoc-cli.exe"));

TEST_P(PackagedVersion, NumbersMatchTheTitleAndTheTranslationIsJapanese932) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  // 0.2.2012.910: major and minor in the high word pair, build and revision in the low one.
  EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(2, 0)));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(910, 2012)));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 932);
}

TEST_P(PackagedVersion, StringsNameTheProgramInItsOwnCodePage) {
  EXPECT_EQ(String("FileVersion"), "0.02.2012.0910");
  EXPECT_EQ(String("ProductVersion"), "0.02.2012.0910");
  EXPECT_EQ(String("OriginalFilename"), GetParam());
  // Japanese text survives the trip through the resource compiler and back to code page 932.
  EXPECT_EQ(String("FileDescription").rfind("Vantrel Player 関連付け設定ツール", 0), 0u);
  EXPECT_FALSE(String("ProductName").empty());
  EXPECT_FALSE(String("CompanyName").empty());
}

// The group icon the window class loads and the images the system picks from it for the title bar
// (small) and the task bar (large).
TEST(PackagedExe, IconGroupHoldsSixteenThirtyTwoAndFortyEightPixelImages) {
  DataModule exe(kExe);
  ASSERT_NE(exe.get(), nullptr) << kExe;
  const LPCSTR names[] = {MAKEINTRESOURCEA(1), "MAINICON"};
  for (LPCSTR name : names) {
    std::string group = exe.Resource(name, MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_GE(group.size(), 6u) << "missing group icon " << (IS_INTRESOURCE(name) ? "1" : name);
    auto* bytes = reinterpret_cast<PBYTE>(&group[0]);
    const WORD count = *reinterpret_cast<const WORD*>(bytes + 4);
    ASSERT_EQ(group.size(), 6u + 14u * count);
    std::set<int> widths;
    for (WORD i = 0; i < count; ++i) widths.insert(bytes[6 + 14 * i]);
    EXPECT_EQ(widths, (std::set<int>{16, 32, 48}));

    for (int size : {16, 32, 48}) {
      const int id = LookupIconIdFromDirectoryEx(bytes, TRUE, size, size, LR_DEFAULTCOLOR);
      ASSERT_NE(id, 0) << size;
      std::string image = exe.Resource(MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(3));  // RT_ICON
      ASSERT_FALSE(image.empty()) << "image " << id;
      // What the system does for the title bar and the task bar with the image it picked.
      std::unique_ptr<std::remove_pointer_t<HICON>, decltype(&DestroyIcon)> icon(
          CreateIconFromResourceEx(reinterpret_cast<PBYTE>(&image[0]), static_cast<DWORD>(image.size()),
                                   TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR),
          &DestroyIcon);
      EXPECT_NE(icon.get(), nullptr) << size;
    }
  }
}

}  // namespace
