#include "defaultapps.h"

#include <windows.h>

#include <cstring>

#include "assoctext.h"
#include "registry.h"

namespace {

const char kFileAssociations[] = "FileAssociations";

}  // namespace

void RegisterDefaultApp(const char* ext, const char* progId, const char* exePath) {
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
  // RegisteredApplications is written before FileAssociations exists, and Unregister removes it
  // only after the tool's key: an existing FileAssociations key means the value is there, so the
  // registrations after the first spare its three calls.
  VtRegistry associations(KEY_WOW64_64KEY);
  if (!associations.Open(capabilities.key(), kFileAssociations, false)) {
    VtRegistry applications(KEY_WOW64_64KEY);
    if (!applications.Open(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, true)) return;
    applications.WriteString(kRegisteredAppName, kCapabilitiesKey);
    if (!associations.Open(capabilities.key(), kFileAssociations, true)) return;
  }
  associations.WriteString(ext, progId);
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
  // Nothing left for Default Apps to offer: the tool's key goes, then the value that points
  // Windows at it, in the reverse order of Register.
  VtRegistry machine(KEY_WOW64_64KEY);
  if (machine.Open(HKEY_LOCAL_MACHINE, "", false))
    machine.DeleteKnownTree(kAppKey, {"Capabilities\\FileAssociations", "Capabilities"});
  machine.Close();
  VtRegistry applications(KEY_WOW64_64KEY);
  if (applications.Open(HKEY_LOCAL_MACHINE, kRegisteredApplicationsKey, false))
    applications.DeleteValue(kRegisteredAppName);
}
