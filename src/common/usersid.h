// The SID of this process's user, as text: what names that user's own things among all users'.
#pragma once
#include <string>

// "S-1-5-21-..."; empty when the token cannot be read.
std::string UserSidText();
// Whether sid ("S-1-5-18") is LocalSystem, LocalService or NetworkService: accounts whose own
// classes no person's programs ever read.
bool IsServiceAccountSid(const std::string& sid);
// Whether this process's token has the Administrators enabled: an elevated administrator, or
// LocalSystem. False for an administrator's unelevated process.
bool IsAdministrator();
