// Opens the place where the user makes the player the default program: Windows decides, and since
// Windows 8 no program may make that choice for the user.
#pragma once
#include <windows.h>

#include <string>

// Where that place is on one Windows version.
enum class VtDefaultAppsPlace {
  kNone,            // before Vista: no such place
  kAssociationUI,   // Vista to 8.1: the Control Panel page for one registered application
  kSettings,        // Windows 10, and 11 before the page below: Settings' Default apps page
  kSettingsForApp,  // Windows 11 builds that have it: Settings' page of one registered application
};

// The place for the Windows version major.x with this build number (as RtlGetVersion reports it)
// and update build revision (the registry's UBR, 0 where it is unknown).
VtDefaultAppsPlace DefaultAppsPlaceFor(DWORD major, DWORD build, DWORD ubr);

// The Settings URI of place, naming the registration of the user's scope (forUser) or the
// machine's; empty for the places that are no URI, and when the name cannot be converted.
std::string DefaultAppsUri(VtDefaultAppsPlace place, bool forUser);

// Opens the place for the running Windows with owner as the parent of whatever shows, for the
// registration of the user's scope (forUser) or the machine's. Silent on every failure: no box,
// nothing reported.
void OpenDefaultApps(HWND owner, bool forUser);
