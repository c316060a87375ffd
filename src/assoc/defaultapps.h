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
