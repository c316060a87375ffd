// Where the tool registers the player as a Default Programs application, so that Windows 8 and
// later offer it in Default Apps: in the hive of the scope (HKEY_LOCAL_MACHINE for every user,
// HKEY_CURRENT_USER for one), in the 64-bit view on 64-bit Windows, where Settings (a 64-bit
// program there) looks.
#pragma once
#include "classes.h"

// The tool's own key: named after the tool, so it cannot collide with the player's installer.
inline constexpr char kAppKey[] = "Software\\vntassoc";
inline constexpr char kCapabilitiesKey[] = "Software\\vntassoc\\Capabilities";
// One value per registered extension, named as the entry holds it (".MP3"), holding its ProgID.
inline constexpr char kFileAssociationsKey[] =
    "Software\\vntassoc\\Capabilities\\FileAssociations";
inline constexpr char kRegisteredApplicationsKey[] = "Software\\RegisteredApplications";
// The value under RegisteredApplications that names kCapabilitiesKey; Settings is opened on it.
inline constexpr char kRegisteredAppName[] = "Vantrel Player (vntassoc)";
// What Default Apps shows of the application: Capabilities' ApplicationName and
// ApplicationDescription (its ApplicationIcon is the player's own).
inline constexpr char kAppName[] = "Vantrel Player";
inline constexpr char kAppDescription[] =
    "これらのファイルの種類を Vantrel Player で開きます（vntassoc による登録）。";

// Adds ext's FileAssociations value naming progId under the tool's Capabilities in the hive of
// keys' scope, with the application's name, description and icon from exePath and the
// RegisteredApplications value written before the first such value. ERROR_SUCCESS, else the
// registry's result of the piece that could not be written (and no value is added without the
// rest). FileAssociations stays open in keys for the next registration.
LONG RegisterDefaultApp(VtClasses& keys, const char* ext, const char* progId, const char* exePath);
// Removes ext's FileAssociations value in hive (none for a null ext); when FileAssociations is
// missing or holds nothing, removes the tool's key and then the RegisteredApplications value.
// Nothing else there is touched.
// ERROR_SUCCESS when ext's value is gone, else why it may still be there. A hive found without
// any of it is not looked at again in keys' operation.
LONG UnregisterDefaultApp(VtClasses& keys, VtScope hive, const char* ext);
