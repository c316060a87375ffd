#include "defaultapps.h"

#include <windows.h>

#include "assoctext.h"
#include "registry.h"
#include "widetext.h"

namespace {

// Sets name to text unless it holds that already; false when it does not hold it afterwards.
bool Current(VtRegistry& key, const char* name, const std::wstring& text) {
  return key.ReadWide(name) == text || key.WriteString(WideFrom(name, CP_ACP).c_str(), text);
}

// Every piece of the registration that Default Apps reads besides the extensions' values, each
// looked at on its own: a restored export or another program may have left any one of them
// without the others. The registry's result of the first that could not be written.
LONG RegistrationCurrent(HKEY hive, const char* exePath) {
  VtRegistry capabilities(KEY_WOW64_64KEY);
  VtOwnedText icon(AppIconLocation(exePath));
  if (!capabilities.Create(hive, kCapabilitiesKey, KEY_READ | KEY_WRITE) ||
      !Current(capabilities, "ApplicationName", OwnText(kAppName)) ||
      !Current(capabilities, "ApplicationDescription", OwnText(kAppDescription)) ||
      !Current(capabilities, "ApplicationIcon", WideFrom(icon.get(), CP_ACP)))
    return capabilities.error();
  VtRegistry applications(KEY_WOW64_64KEY);
  if (!applications.Create(hive, kRegisteredApplicationsKey, KEY_READ | KEY_WRITE) ||
      !Current(applications, kRegisteredAppName, OwnText(kCapabilitiesKey)))
    return applications.error();
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegisterDefaultApp(VtClasses& keys, const char* ext, const char* progId,
                        const char* exePath) {
  // One command registers hundreds of extensions: the registration is looked at with the first.
  VtDefaultAppKeys& apps = keys.defaultApps();
  if (!apps.Current(keys.scope())) {
    const LONG rc = RegistrationCurrent(ScopeHive(keys.scope()), exePath);
    if (rc != ERROR_SUCCESS) return rc;
    apps.SetCurrent(keys.scope());
  }
  const VtRegistry& associations = apps.Open(keys.scope(), true);
  if (associations.key() == nullptr) return associations.error();
  return apps.Write(keys.scope(), ext, progId) ? ERROR_SUCCESS : associations.error();
}

LONG UnregisterDefaultApp(VtClasses& keys, VtScope scope, const char* ext) {
  VtDefaultAppKeys& apps = keys.defaultApps();
  const VtRegistry& associations = apps.Open(scope);
  const bool listed = associations.key() != nullptr;
  if (listed) {
    if (apps.DeleteLeavingOthers(scope, ext)) return ERROR_SUCCESS;
    apps.Forget(scope);
  } else if (associations.error() != ERROR_FILE_NOT_FOUND) {
    // Refused or unreadable is not "nothing left".
    return associations.error();
  } else if (apps.Gone(scope)) {
    return ERROR_SUCCESS;
  }
  // Nothing left for Default Apps to offer: the tool's key goes, then the value that points
  // Windows at it, in the reverse order of Register. Without FileAssociations the tool's key is
  // looked for first: where it is missing (as a rule in the hive of the other scope), only the
  // value may be left, by an unregistration cut short.
  const HKEY hive = ScopeHive(scope);
  VtRegistry software(KEY_WOW64_64KEY);
  const bool appKey = listed || software.Open(hive, kAppKey, KEY_READ) ||
                      software.error() != ERROR_FILE_NOT_FOUND;
  if (appKey && software.Open(hive, "", KEY_READ))
    software.DeleteKnownTree(kAppKey, {"Capabilities\\FileAssociations", "Capabilities"});
  software.Close();
  VtRegistry applications(KEY_WOW64_64KEY);
  if (applications.Open(hive, kRegisteredApplicationsKey, KEY_READ | KEY_WRITE))
    applications.DeleteValue(kRegisteredAppName);
  apps.SetGone(scope);
  return ERROR_SUCCESS;
}
