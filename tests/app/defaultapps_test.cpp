// The Default Apps button of a copy of vntassoc.exe under each Windows version Wine can report:
// Settings on 10 and 11 (received by a recorder registered for the ms-settings: protocol), the
// association UI on 7 and 8.1 (received by a stand-in COM server). Both record beside themselves.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "defaultapps.h"
#include "scratch.h"
#include "toolprocess.h"

namespace {

const DWORD kWaitMs = 20000;
// A recorder started by mistake writes within a fraction of this.
const DWORD kStrayWaitMs = 1000;
// A silent click returns in milliseconds; one that opened a box does not return at all.
const DWORD kBoxWaitMs = 5000;
const char kButton[] = "既定のアプリ";
const char kSettingsKey[] = "ms-settings";
const char kAssocUiKey[] = "CLSID\\{1968106D-F3B5-44CF-890E-116FCB9ECEF1}";
const char kAppDefaultsKey[] = "Software\\Wine\\AppDefaults";
const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kBuildValues[] = {"CurrentVersion", "CurrentBuild", "CurrentBuildNumber"};
const char kNothing[] = "(nothing)";
const char kAppPage[] =
    "ms-settings:defaultapps?registeredAppMachine=Vantrel%20Player%20%28vntassoc%29";

struct WindowsVersion {
  const char* name;
  const char* wineVersion;  // Wine's per-program setting; null: the Windows 11 build below in HKLM
  const char* build;        // that build's number
  DWORD ubr;                // and its UBR; 0: the prefix's own, if any
  const char* settingsUri;  // what Settings receives, or null
  const char* assocUiName;  // what the association UI receives, or null
};

void PrintTo(const WindowsVersion& value, std::ostream* out) { *out << value.name; }

// HKLM's build values set to a Windows 11 build for the scope; Wine reports the version from them
// when no setting of its own applies. The UBR, which Windows keeps in the 64-bit view, is set when
// ubr is not 0. The old values are put back.
class Windows11Build {
 public:
  Windows11Build(const char* build, DWORD ubr) {
    for (int i = 0; i < 3; ++i) {
      had_[i] =
          vttest::GetString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i], &old_[i]);
      vttest::SetString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i],
                        i == 0 ? "10.0" : build);
    }
    if (ubr == 0) return;
    setUbr_ = true;
    hadUbr_ = vttest::GetValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "UBR", &oldUbrType_,
                               &oldUbr_, vttest::kView64);
    vttest::SetRawValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "UBR", REG_DWORD, &ubr, sizeof ubr,
                        vttest::kView64);
  }
  ~Windows11Build() {
    for (int i = 0; i < 3; ++i) {
      if (had_[i]) {
        vttest::SetString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i], old_[i]);
      } else {
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, kBuildValues[i]);
      }
    }
    if (hadUbr_) {
      vttest::SetRawValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "UBR", oldUbrType_,
                          oldUbr_.data(), static_cast<DWORD>(oldUbr_.size()), vttest::kView64);
    } else if (setUbr_) {
      vttest::DeleteValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "UBR", vttest::kView64);
    }
  }
  Windows11Build(const Windows11Build&) = delete;
  Windows11Build& operator=(const Windows11Build&) = delete;

 private:
  bool had_[3] = {};
  std::string old_[3];
  bool setUbr_ = false;
  bool hadUbr_ = false;
  DWORD oldUbrType_ = REG_NONE;
  std::string oldUbr_;
};

class DefaultAppsButton : public ::testing::TestWithParam<WindowsVersion> {
 protected:
  void SetUp() override {
    // Checked before anything is written: the keys below are deleted again afterwards.
    std::string global;
    if (vttest::KeyExists(HKEY_CLASSES_ROOT, kSettingsKey) ||
        vttest::KeyExists(HKEY_CLASSES_ROOT, kAssocUiKey) ||
        vttest::GetString(HKEY_CURRENT_USER, "Software\\Wine", "Version", &global))
      GTEST_SKIP() << "this prefix has a handler or a Windows version of its own";
    // A name of its own, so that Wine's per-program version applies to this copy alone.
    exe_ = dir_.File(vttest::UniqueName("vntassoc") + ".exe");
    ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_VNTASSOC_EXE).c_str(), exe_.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_SETTINGS_RECORDER).c_str(),
                          dir_.File("recorder.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(vttest::WinePath(VT_ASSOCUI_STUB).c_str(),
                          dir_.File("assocui.dll").c_str(), FALSE));
    settings_.reset(new vttest::ScratchKey(HKEY_CLASSES_ROOT, kSettingsKey));
    assocUi_.reset(new vttest::ScratchKey(HKEY_CLASSES_ROOT, kAssocUiKey));
    if (GetParam().wineVersion == nullptr) {
      windows11_.reset(new Windows11Build(GetParam().build, GetParam().ubr));
      return;
    }
    const std::string appDefaults =
        std::string(kAppDefaultsKey) + "\\" + exe_.substr(exe_.find_last_of('\\') + 1);
    appDefaults_.reset(new vttest::ScratchKey(HKEY_CURRENT_USER, appDefaults));
    ASSERT_TRUE(
        vttest::SetString(HKEY_CURRENT_USER, appDefaults, "Version", GetParam().wineVersion));
  }

  void RegisterRecorders() {
    const std::string command = std::string(kSettingsKey) + "\\shell\\open\\command";
    const std::string server = std::string(kAssocUiKey) + "\\InprocServer32";
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, kSettingsKey, "URL Protocol", ""));
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, command, "",
                                  "\"" + dir_.File("recorder.exe") + "\" \"%1\""));
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, server, "", dir_.File("assocui.dll")));
    ASSERT_TRUE(vttest::SetString(HKEY_CLASSES_ROOT, server, "ThreadingModel", "Apartment"));
  }

  // What a recorder wrote, once it has written; kNothing when nothing came within waitMs.
  std::string Received(const char* fileName, DWORD waitMs) const {
    std::string text;
    for (DWORD waited = 0;; waited += 20, Sleep(20)) {
      if (vttest::ReadFileBytes(dir_.File(fileName), &text) && !text.empty()) return text;
      if (waited >= waitMs) return kNothing;
    }
  }

  // Declared first, removed last: the tool has ended and nothing holds the DLL any more.
  vttest::ScratchDir dir_;
  std::string exe_;
  std::unique_ptr<vttest::ScratchKey> settings_;
  std::unique_ptr<vttest::ScratchKey> assocUi_;
  std::unique_ptr<vttest::ScratchKey> appDefaults_;
  std::unique_ptr<Windows11Build> windows11_;
};

// The player runs nowhere here, so nothing is associated: the button opens the place all the same.
// Before the recorders are registered the launch fails, as it does under Wine and wherever the
// place is missing: the click must return without a box waiting for an answer.
TEST_P(DefaultAppsButton, OpensThePlaceOfThisWindowsVersionAndIsSilentWhereItIsMissing) {
  vttest::ToolProcess tool(exe_);
  ASSERT_TRUE(tool.WaitForRows(0, kWaitMs));
  ASSERT_TRUE(tool.ClickAndWait(kButton, kBoxWaitMs));

  RegisterRecorders();
  ASSERT_TRUE(tool.ClickAndWait(kButton, kWaitMs));
  const char* settingsUri = GetParam().settingsUri;
  const char* assocUiName = GetParam().assocUiName;
  EXPECT_EQ(Received("settings.txt", settingsUri != nullptr ? kWaitMs : kStrayWaitMs),
            settingsUri != nullptr ? settingsUri : kNothing);
  // The association UI is called in-process, before the click returns.
  EXPECT_EQ(Received("assocui.txt", assocUiName != nullptr ? kWaitMs : 0),
            assocUiName != nullptr ? assocUiName : kNothing);
  EXPECT_EQ(tool.Close(kWaitMs), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, DefaultAppsButton,
    ::testing::Values(
        WindowsVersion{"Windows7", "win7", nullptr, 0, nullptr, kRegisteredAppName},
        WindowsVersion{"Windows81", "win81", nullptr, 0, nullptr, kRegisteredAppName},
        WindowsVersion{"Windows10", "win10", nullptr, 0, "ms-settings:defaultapps", nullptr},
        WindowsVersion{"Windows11", nullptr, "22631", 0, kAppPage, nullptr},
        // The page comes with an update here: the UBR must be read from the registry.
        WindowsVersion{"Windows11Updated", nullptr, "22000", 1817, kAppPage, nullptr}),
    [](const ::testing::TestParamInfo<WindowsVersion>& test) {
      return std::string(test.param.name);
    });

}  // namespace
