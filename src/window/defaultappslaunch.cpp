#include "defaultappslaunch.h"

// shobjidl.h needs windows.h first.
#include <shobjidl.h>

#include <memory>
#include <string>

#include "comscope.h"
#include "defaultapps.h"
#include "handleropen.h"
#include "ownedtext.h"
#include "systemproc.h"
#include "widetext.h"

namespace {

// Settings has the page of one application from this build on, and on two earlier builds from an
// update on; elsewhere it does not know the query.
const DWORD kAppPageBuild = 22631;
struct AppPageUpdate {
  DWORD build;
  DWORD firstUbr;
};
const AppPageUpdate kAppPageUpdates[] = {{22000, 1817}, {22621, 1555}};
// RRF_SUBKEY_WOW6464KEY, which the headers name only when building for Windows 10 on: it is asked
// for only there.
const DWORD kSubkey64View = 0x00010000;
const char kCurrentVersionKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char kDefaultAppsUri[] = "ms-settings:defaultapps";
const char kMachineAppQuery[] = "?registeredAppMachine=";
const char kUserAppQuery[] = "?registeredAppUser=";
// CLSID_ApplicationAssociationRegistrationUI, spelled out so no import library is needed for it.
const CLSID kAssociationUiClass = {
    0x1968106d, 0xf3b5, 0x44cf, {0x89, 0x0e, 0x11, 0x6f, 0xcb, 0x9e, 0xce, 0xf1}};

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};

// The version from ntdll, which neither a manifest nor a compatibility mode bends. Looked up at run
// time: it is not in the import libraries of every tool chain.
bool RunningVersion(DWORD* major, DWORD* build) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  const auto getVersion = SystemProc<RtlGetVersionFn>("ntdll.dll", "RtlGetVersion");
  if (getVersion == nullptr) return false;
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (getVersion(&info) != 0) return false;
  *major = info.dwMajorVersion;
  *build = info.dwBuildNumber;
  return true;
}

// The update build revision beside CurrentBuild in the machine's own (64-bit) view, 0 where it is
// missing. Windows 10 and 11 only: earlier versions neither keep it nor know the view flag.
DWORD RunningUpdateRevision() {
  DWORD ubr = 0;
  DWORD size = sizeof ubr;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "UBR", RRF_RT_REG_DWORD | kSubkey64View,
                   nullptr, &ubr, &size) != ERROR_SUCCESS)
    return 0;
  return ubr;
}

// The registration's name as Windows stores it: the registry's ANSI functions convert with the
// ANSI code page, so this does too.
VtOwnedWide RegisteredAppName() { return Widen(kRegisteredAppName); }

// Appends text's UTF-8 bytes to uri, every byte but A-Z a-z 0-9 - . _ ~ as %XX.
void AppendUriComponent(std::string* uri, const wchar_t* text) {
  static const char kHex[] = "0123456789ABCDEF";
  const VtOwnedText utf8(Narrow(text, CP_UTF8));
  if (!utf8) return;
  for (const char* c = utf8.get(); *c != 0; ++c) {
    const unsigned char byte = static_cast<unsigned char>(*c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                       byte == '_' || byte == '~';
    if (plain) {
      *uri += *c;
    } else {
      *uri += '%';
      *uri += kHex[byte >> 4];
      *uri += kHex[byte & 0x0F];
    }
  }
}

void LaunchAssociationUi(const wchar_t* name) {
  IApplicationAssociationRegistrationUI* raw = nullptr;
  if (FAILED(CoCreateInstance(kAssociationUiClass, nullptr, CLSCTX_INPROC_SERVER,
                              __uuidof(IApplicationAssociationRegistrationUI),
                              reinterpret_cast<void**>(&raw))) ||
      raw == nullptr)
    return;
  std::unique_ptr<IApplicationAssociationRegistrationUI, ComRelease> ui(raw);
  ui->LaunchAdvancedAssociationUI(name);
}

}  // namespace

VtDefaultAppsPlace DefaultAppsPlaceFor(DWORD major, DWORD build, DWORD ubr) {
  if (major < 6) return VtDefaultAppsPlace::kNone;
  if (major < 10) return VtDefaultAppsPlace::kAssociationUI;
  if (major > 10 || build >= kAppPageBuild) return VtDefaultAppsPlace::kSettingsForApp;
  for (const AppPageUpdate& update : kAppPageUpdates) {
    if (build == update.build && ubr >= update.firstUbr) return VtDefaultAppsPlace::kSettingsForApp;
  }
  return VtDefaultAppsPlace::kSettings;
}

std::string DefaultAppsUri(VtDefaultAppsPlace place, bool forUser) {
  if (place == VtDefaultAppsPlace::kSettings) return kDefaultAppsUri;
  if (place != VtDefaultAppsPlace::kSettingsForApp) return std::string();
  const VtOwnedWide name = RegisteredAppName();
  if (!name) return std::string();
  std::string uri = kDefaultAppsUri;
  uri += forUser ? kUserAppQuery : kMachineAppQuery;
  AppendUriComponent(&uri, name.get());
  return uri;
}

void OpenDefaultApps(HWND owner, bool forUser) {
  DWORD major = 0;
  DWORD build = 0;
  if (!RunningVersion(&major, &build)) return;
  const DWORD ubr = major == 10 ? RunningUpdateRevision() : 0;
  const VtDefaultAppsPlace place = DefaultAppsPlaceFor(major, build, ubr);
  if (place == VtDefaultAppsPlace::kNone) return;
  // Settings' URI may go to a COM handler through ShellExecuteEx, so COM is up for every place.
  VtComScope com;
  if (place == VtDefaultAppsPlace::kAssociationUI) {
    const VtOwnedWide name = RegisteredAppName();
    if (name) LaunchAssociationUi(name.get());
    return;
  }
  const std::string uri = DefaultAppsUri(place, forUser);
  if (!uri.empty()) OpenWithHandler(owner, uri.c_str());
}
