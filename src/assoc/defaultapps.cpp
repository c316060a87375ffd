#include "defaultapps.h"

#include <windows.h>

#include <cstring>

#include "assoctext.h"
#include "registry.h"

namespace {

const char kFileAssociations[] = "FileAssociations";

}  // namespace

void RegisterDefaultApp(const char* ext, const char* progId, const char* exePath) {
  // In the order Unregister can take back from any point: Capabilities before the value that
  // makes Windows look at it.
  VtRegistry capabilities(KEY_WOW64_64KEY);
  if (!capabilities.Open(HKEY_LOCAL_MACHINE, kCapabilitiesKey, true)) return;
  // The icon is written after the name and the description, so finding it current means all
  // three are: an apply registers hundreds of extensions, and only the first has to write them.
  VtOwnedText icon(AppIconLocation(exePath));
  if (std::strcmp(capabilities.ReadString("ApplicationIcon"), icon.get()) != 0) {
    capabilities.WriteString("ApplicationName", kAppName);
    capabilities.WriteString("ApplicationDescription", kAppDescription);
    capabilities.WriteString("ApplicationIcon", icon.get());
  }
  VtRegistry associations(KEY_WOW64_64KEY);
  if (!associations.Open(capabilities.key(), kFileAssociations, true)) return;
  associations.WriteString(ext, progId);
  associations.Close();
  capabilities.Close();

  VtRegistry applications(KEY_WOW64_64KEY);
  if (applications.Open(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, true))
    applications.WriteString(kRegisteredAppName, kCapabilitiesKey);
}

void UnregisterDefaultApp(const char* ext) {
  VtRegistry associations(KEY_WOW64_64KEY);
  if (associations.Open(HKEY_LOCAL_MACHINE, kFileAssociationsKey, false)) {
    associations.DeleteValue(ext);
    DWORD values = 0;
    DWORD subkeys = 0;
    // When in doubt the registration stays: another extension may still be in it.
    if (!associations.Count(&values, &subkeys) || values != 0) return;
    associations.Close();
  }
  // Nothing left for Default Apps to offer. The value that points Windows at the key goes first,
  // so that an interruption leaves no pointer to a half-deleted key.
  VtRegistry applications(KEY_WOW64_64KEY);
  if (applications.Open(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, false))
    applications.DeleteValue(kRegisteredAppName);
  applications.Close();
  VtRegistry machine(KEY_WOW64_64KEY);
  if (machine.Open(HKEY_LOCAL_MACHINE, "", false))
    machine.DeleteKnownTree(kAppKey, {"Capabilities\\FileAssociations", "Capabilities"});
}
