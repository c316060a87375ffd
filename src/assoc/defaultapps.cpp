#include "defaultapps.h"

#include <windows.h>

#include <cstring>

#include "assoctext.h"
#include "registry.h"
#include "widetext.h"

void RegisterDefaultApp(VtClasses& keys, const char* ext, const char* progId,
                        const char* exePath) {
  const HKEY hive = ScopeHive(keys.scope());
  VtRegistry capabilities(KEY_WOW64_64KEY);
  if (!capabilities.Create(hive, kCapabilitiesKey, KEY_READ | KEY_WRITE)) return;
  // The icon is written after the name and the description, so finding it current means all
  // three are: an apply registers hundreds of extensions, and only the first has to write them.
  VtOwnedText icon(AppIconLocation(exePath));
  if (std::strcmp(capabilities.ReadString("ApplicationIcon"), icon.get()) != 0) {
    capabilities.WriteString("ApplicationName", kAppName);
    capabilities.WriteString(L"ApplicationDescription", OwnText(kAppDescription));
    capabilities.WriteString("ApplicationIcon", icon.get());
  }
  // RegisteredApplications is written before FileAssociations exists, and Unregister removes it
  // only after the tool's key: an existing FileAssociations key means the value is there, so the
  // registrations after the first spare its three calls.
  VtDefaultAppKeys& apps = keys.defaultApps();
  if (apps.Open(keys.scope()).key() == nullptr) {
    VtRegistry applications(KEY_WOW64_64KEY);
    if (!applications.Create(hive, kRegisteredApplicationsKey, KEY_WRITE)) return;
    applications.WriteString(kRegisteredAppName, kCapabilitiesKey);
    if (apps.Open(keys.scope(), true).key() == nullptr) return;
  }
  apps.Write(keys.scope(), ext, progId);
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
  // value may be left, by an undo cut short.
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
