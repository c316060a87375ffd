// The command line's commands, each run whole: the exit code says how it ended.
#pragma once
#include <string>

#include "changelock.h"
#include "changereport.h"
#include "classes.h"
#include "clirows.h"
#include "commandline.h"
#include "playeranswer.h"
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
// Registers again, at the player's file, the tool's associations that open another file.
int RunRepair(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err);
// Whether every extension asked about opens the player's file through the tool's association: one
// line on out and kExitDone, else one line per problem on err and kExitSomeNotChanged.
int RunCheck(const VtCliRequest& request, const VtStdStream& out, const VtStdStream& err);

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
// The steps the commands share.
// report's failures on err, under the heading: kExitDone for none, else kExitSomeNotChanged.
// passOverMachine: as FailureLines takes it.
int ReportFailures(const VtChangeReport& report, const VtStdStream& err,
                   bool passOverMachine = false);
// The player's path register uses: /player's, else the running player's own. Empty, with *why,
// where there is none or it may not stand in an open command.
std::string PlayerPathOf(const VtCliRequest& request, const PlayerAnswer& answer,
                         std::wstring* why);
// Where register registers the player at exePath (empty: not known). False, with *why, where the
// scope the request insists on cannot be had; narrowed as ScopeOf gives it.
bool RegisterScopeOf(const VtCliRequest& request, const std::string& exePath, VtScope* scope,
                     std::wstring* why, std::wstring* narrowed = nullptr);
// FillRows for the player's extension text; without one the classes are walked, always anew: a
// script is told what the registry holds now, never what a window remembered of it.
int FillWalked(VtAssocRows& rows, const char* extensions, VtScope scope);
// Holds lock for a change of keys, having said on err that it waits when another change runs:
// kExitDone. Else the reason on err and the exit code: kExitBusy when that one did not end in
// time (the only case worth retrying), kExitSomeNotChanged when another account holds the lock's
// name or the lock could not be made.
int LockForChange(const VtClasses& keys, VtChangeLock* lock, const VtStdStream& err);
// The request's extensions as loaded rows of scope; without any, the rows the window would show.
// False when those came without the player's list: the tool's own associations alone. playerPath
// (may be null) gets the running player's path where the player was asked and gave one that may
// stand in an open command; it is left as it was otherwise.
bool AddRequestedRows(const VtCliRequest& request, VtScope scope, VtAssocRows* rows,
                      std::string* playerPath = nullptr);
