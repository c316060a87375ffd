// The command line's commands, each run whole: the exit code says how it ended.
#pragma once
#include <string>

#include "classes.h"
#include "clirows.h"
#include "commandline.h"
#include "stdstream.h"

enum VtExitCode : int {
  kExitDone = 0,
  kExitSomeNotChanged = 1,  // each named on standard error; the others are done
  kExitBadRequest = 2,      // nothing changed; standard error says why
  // Another change did not end in time: nothing changed; err says so. Windows Installer's
  // ERROR_INSTALL_ALREADY_RUNNING, which Intune and Configuration Manager retry by themselves.
  kExitBusy = 1618,
};

// What the command writes goes to out; failures and reasons to err.
int RunList(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err);
int RunRegister(const VtCliRequest& request, const VtStdStream& err);
int RunUnregister(const VtCliRequest& request, const VtStdStream& err);
int RunExport(const VtCliRequest& request, const VtStdStream& err);
// Writes the default associations configuration file of the extensions registered for all users.
int RunPolicy(const VtCliRequest& request, const VtStdStream& err);
// Prints "machine" or "user": where register would register now.
int RunScope(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err);

// Writes why and the usage to err; kExitBadRequest.
int Refuse(const VtStdStream& err, const std::wstring& why);
// The classes a request acts on: the ones /user or /machine insists on, else the widest this
// process may write. False, with *why, for /machine where this user may not write the machine's.
// narrowed (may be null): why the scope is this user's though the request named neither, else "".
bool ScopeOf(const VtCliRequest& request, VtScope* scope, std::wstring* why,
             std::wstring* narrowed = nullptr);
// Where register or unregister took this user's classes unasked (narrowed: why, as ScopeOf gives
// it; empty: nothing to say), one line on err says so. A service account's own classes open
// nothing for any person, so for userSid naming one it refuses instead: kExitBadRequest, else
// kExitDone.
int SayNarrowed(const std::wstring& narrowed, const std::string& userSid, const VtStdStream& err);
// The request's extensions as loaded rows of scope; without any, the rows the window would show.
// False when those came without the player's list: the tool's own associations alone. playerPath
// (may be null) gets the running player's path where the player was asked and gave one that may
// stand in an open command; it is left as it was otherwise.
bool AddRequestedRows(const VtCliRequest& request, VtScope scope, VtAssocRows* rows,
                      std::string* playerPath = nullptr);
