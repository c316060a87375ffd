// Where the tool registers the player as a Default Programs application, so that Windows 8 and later
// offer it in Default Apps. Under HKEY_LOCAL_MACHINE, in the 64-bit view on 64-bit Windows, where
// Settings (a 64-bit program there) looks.
#pragma once

// The tool's own key: named after the tool, so it cannot collide with the player's installer.
inline constexpr char kAppKey[] = "Software\\vntassoc";
inline constexpr char kCapabilitiesKey[] = "Software\\vntassoc\\Capabilities";
inline constexpr char kRegisteredApplicationsKey[] = "Software\\RegisteredApplications";
// The value under RegisteredApplications that names kCapabilitiesKey; Settings is opened on it.
inline constexpr char kRegisteredAppName[] = "Vantrel Player (vntassoc)";

// Adds ext's FileAssociations value naming progId under the tool's Capabilities (with the
// application's name, description and icon from exePath), then the RegisteredApplications value.
// Reports nothing; whatever cannot be written is skipped.
void RegisterDefaultApp(const char* ext, const char* progId, const char* exePath);
// Removes ext's FileAssociations value; when no FileAssociations value is left, removes the
// RegisteredApplications value and the tool's key. Nothing else there is touched.
void UnregisterDefaultApp(const char* ext);
