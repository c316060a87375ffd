// Every extension gets back the association it had, from any starting state and through any order
// of changes. From a seed, a generator draws 3 or 4 extensions, each in one of the forms below in
// each classes hive, with this user's choice in Explorer naming the tool's ProgID, another
// program's or nothing, and 1 to 4 steps in either scope: the window's register, unregister and Yes
// to a moved player (the core it calls, over its rows), the command line's register, unregister and
// repair, an export restored later by "reg import". The sequence runs whole, counting the writes of
// one of its steps, and then once stopped at each of those writes in turn; in some steps, a second
// change runs to its end at a drawn write. After a repair run whole, nothing it reached may open
// another program than the player. Then "unregister /all" runs in each scope that changed anything,
// and the oracle compares every extension's keys with what its starting form must end as (kEnds),
// and its choices with what they named: none may name a ProgID of the tool that is gone.
//
// Stand-ins: a write refused from the k-th on, changing nothing, for a kill at that write; a change
// on a second thread while the first waits at its k-th write, for two front ends at once; the
// user's scope with the rights of the user alone (VtClasses(kUser)), for a standard user: the core
// never writes the machine's hive then, so its keys must come through byte for byte.
//
// CI runs kCiSeeds seeds from seed 1 (VT_STATE_FIRST=N or --vt_first=N starts elsewhere;
// VT_STATE_SECONDS=N draws new seeds for N s instead); the first failure is shrunk and printed
// with its seed. One seed alone, shrunk when it fails:
//   scripts/with-wine.sh build/wineprefix wine build/tests/reliability/reliability_tests.exe
//       --gtest_filter=StateSpace.* --vt_seed=N        (or VT_STATE_SEED=N in the environment)
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "changelock.h"
#include "commandline.h"
#include "commands.h"
#include "defaultapps.h"
#include "finalpath.h"
#include "library.h"
#include "process.h"
#include "regaccess.h"
#include "regdump.h"
#include "regwritegate.h"
#include "rowchanges.h"
#include "rowrepair.h"
#include "scratch.h"

namespace {

using vttest::kView64;

enum Form {
  kAbsent, kValues, kEmpty, kForeign, kForeignMissing, kOwn, kUpgrade, kStale, kMoved, kForms
};
const char* const kFormNames[kForms] = {
    "no key", "values without a default", "empty default", "another program's ProgID",
    "another program's ProgID without its key", "the tool's ProgID with backup",
    "the tool's ProgID, its key and backup in the other hive only",
    "no key; the tool's ProgID key with a stale backup",
    "the tool's ProgID with backup, opening another file that exists"};

// What an extension's key may end as.
enum End { kNoKey, kEmptySz, kValuesOnly, kValuesEmptySz, kNamesForeign };
// Each form's ends, in the machine's classes and in the user's, after an unregistration that
// reached the hive (README, "Differences that a round trip leaves on purpose"); two where either
// may be right, as the tool did or did not write the key before. A key naming the tool's ProgID
// gets back that ProgID's backup.
struct Ends {
  std::vector<End> machine, user;
};
const Ends kEnds[kForms] = {
    /* kAbsent */ {{kNoKey, kEmptySz}, {kNoKey}},
    /* kValues */ {{kValuesOnly, kValuesEmptySz}, {kValuesOnly}},
    /* kEmpty */ {{kEmptySz}, {kEmptySz, kNoKey}},
    /* kForeign */ {{kNamesForeign}, {kNamesForeign}},
    /* kForeignMissing */ {{kNamesForeign}, {kNamesForeign}},
    /* kOwn */ {{kNamesForeign}, {kNamesForeign}},
    /* kUpgrade */ {{kNamesForeign}, {kNamesForeign}},
    /* kStale: the stale backup never shows */ {{kNoKey, kEmptySz}, {kNoKey}},
    /* kMoved */ {{kNamesForeign}, {kNamesForeign}},
};

// Index 0 the user's hive, 1 the machine's, as HiveIndex.
const VtScope kHives[2] = {VtScope::kUser, VtScope::kMachine};
const std::wstring kClasses = L"Software\\Classes\\";
// Other programs' ProgIDs, two of them with names code page 932 lacks.
const wchar_t* const kForeignStyles[] = {L"VtStateApp.", L"Café.File", L"Ærø.File"};

// This user's own choice in Explorer for an extension, in each place Windows keeps one: what it
// names. The tool's ProgID is chosen only where a form holds its key, as Settings offers it.
enum Chosen { kNotChosen, kChosenTool, kChosenToolOtherCase, kChosenOther, kChoices };
const char* const kChosenNames[kChoices] = {"nothing", "the tool's ProgID",
                                            "the tool's ProgID in small letters",
                                            "another program's ProgID"};
// Windows 8 to 10, and Windows 11, in the order of ExtState::chosen.
const char* const kChoicePlaces[2] = {"UserChoice", "UserChoiceLatest\\ProgId"};

struct ExtState {
  Form form[2];
  int foreign[2];  // the kForeignStyles name its form names or keeps as backup
  Chosen chosen[2];
};

enum class Verb {
  kWindowRegister, kWindowUnregister, kWindowUnregisterAll, kWindowRepair,
  kRegister, kUnregister, kUnregisterAll, kRepair, kExport, kImport
};
struct Change {
  Verb verb = Verb::kWindowRegister;
  VtScope scope = VtScope::kUser;
  bool admin = false;   // the window in the user's scope with an administrator's rights
  unsigned exts = 1;    // bit i: extension i
  bool Window() const { return verb <= Verb::kWindowRepair; }
  bool Registers() const { return verb == Verb::kWindowRegister || verb == Verb::kRegister; }
  bool Repairs() const { return verb == Verb::kWindowRepair || verb == Verb::kRepair; }
  bool MachineRights() const { return scope == VtScope::kMachine || admin; }
};
struct Step {
  Change change;
  int at = 0;          // 0: runs whole; else stopped (or paused) at its at-th write
  bool pause = false;  // at the at-th write, other runs to its end, then change goes on
  Change other;
};
struct Trial {
  unsigned seed = 0;
  std::vector<ExtState> exts;
  std::vector<Step> steps;
  int cut = -1;  // the step stopped at each of its writes in turn (RunSeed); -1: none
};

// The keys of extension i: ".vts<pid>s<i>" seeded, ".VTS<pid>S<i>" as the rows hold it.
struct Names {
  explicit Names(size_t i) {
    const std::string pid = std::to_string(GetCurrentProcessId()), n = std::to_string(i);
    entry = ".VTS" + pid + "S" + n;
    const std::wstring wpid(pid.begin(), pid.end()), wn(n.begin(), n.end());
    ext = L".vts" + wpid + L"s" + wn;
    own = L"vantrel.VTS" + wpid + L"S" + wn;
    gone = L"Gone" + ext;
    for (const wchar_t* style : kForeignStyles) foreign.push_back(style + wpid + L"." + wn);
  }
  std::string entry;
  std::wstring ext, own, gone;
  std::vector<std::wstring> foreign;
};

// What one hive holds of one extension: its key, the tool's ProgID, the other programs' ProgIDs.
struct Snapshot {
  Snapshot(VtScope hive, const Names& n) {
    ext = vttest::DumpTreeW(ScopeHive(hive), kClasses + n.ext);
    own = vttest::DumpTreeW(ScopeHive(hive), kClasses + n.own);
    for (const std::wstring& key : n.foreign)
      others += vttest::DumpTreeW(ScopeHive(hive), kClasses + key);
    others += vttest::DumpTreeW(ScopeHive(hive), kClasses + n.gone);
  }
  bool operator==(const Snapshot& o) const {
    return ext == o.ext && own == o.own && others == o.others;
  }
  std::wstring ext, own, others;
};

std::string Utf8(const std::wstring& text) {
  std::string out(text.size() * 4 + 1, '\0');
  out.resize(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0],
                                                     static_cast<int>(out.size()), nullptr,
                                                     nullptr)) - 1);
  return out;
}

void Put(VtScope hive, const std::wstring& key, const wchar_t* name, const std::wstring& text) {
  vttest::SetRawValueW(ScopeHive(hive), kClasses + key, name, REG_SZ, vttest::WideBytes(text));
}
// A text value beneath hive's classes; empty where it or its key is missing.
std::wstring ReadText(VtScope hive, const std::wstring& key, const wchar_t* name) {
  wchar_t text[512] = L"";
  DWORD size = sizeof text;
  RegGetValueW(ScopeHive(hive), (kClasses + key).c_str(), name, RRF_RT_REG_SZ, nullptr, text,
               &size);
  return text;
}
std::wstring ReadBackup(VtScope hive, const std::wstring& own) {
  return ReadText(hive, own, L"backup");
}

void ForeignTree(VtScope hive, const std::wstring& progId) {
  Put(hive, progId, L"", L"Other Type");
  Put(hive, progId + L"\\shell\\open\\command", L"", L"other.exe \"%1\"");
}
// A program that exists and is not the player: where a player installed again elsewhere left the
// association of the tool.
std::wstring OtherProgram() {
  wchar_t folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  return std::wstring(folder, length) + L"\\notepad.exe";
}
// The tool's ProgID with backup, whose open command names a player that is gone, or with
// elsewhere one that exists.
void OwnTree(VtScope hive, const Names& n, const std::wstring& backup, bool elsewhere = false) {
  Put(hive, n.own, L"", L"VTS File");
  Put(hive, n.own, L"backup", backup);
  const std::wstring program = elsewhere ? OtherProgram() : L"C:\\Old\\vantrel.exe";
  Put(hive, n.own + L"\\shell\\open\\command", L"", L"\"" + program + L"\" \"%1\" /na");
}
void SeedEnd(VtScope hive, const Names& n, End end, const std::wstring& foreign) {
  if (end == kValuesOnly || end == kValuesEmptySz) {
    Put(hive, n.ext, L"Content Type", L"audio/x-vts");
    vttest::SetRawValueW(ScopeHive(hive), kClasses + n.ext + L"\\OpenWithProgids",
                         L"VtStateOther.App", REG_NONE, "");
  }
  if (end == kEmptySz || end == kValuesEmptySz) Put(hive, n.ext, L"", L"");
  if (end == kNamesForeign) Put(hive, n.ext, L"", foreign);
}
void Seed(const ExtState& s, const Names& n, int h) {
  const VtScope hive = kHives[h];
  const std::wstring& foreign = n.foreign[static_cast<size_t>(s.foreign[h])];
  switch (s.form[h]) {
    case kValues:
      return SeedEnd(hive, n, kValuesOnly, foreign);
    case kEmpty:
      return SeedEnd(hive, n, kEmptySz, foreign);
    case kForeign:
      ForeignTree(hive, foreign);
      return SeedEnd(hive, n, kNamesForeign, foreign);
    case kForeignMissing:
      return SeedEnd(hive, n, kNamesForeign, foreign);
    case kOwn:
    case kMoved:
      ForeignTree(hive, foreign);
      OwnTree(hive, n, foreign, s.form[h] == kMoved);
      return Put(hive, n.ext, L"", n.own);
    case kUpgrade:
      ForeignTree(hive, foreign);
      OwnTree(kHives[1 - h], n, foreign);
      return Put(hive, n.ext, L"", n.own);
    case kStale:
      return OwnTree(hive, n, n.gone);
    case kAbsent:
    case kForms:
      return;
  }
}
void Clean(const Names& n) {
  for (VtScope hive : kHives) {
    std::vector<std::wstring> keys = n.foreign;
    keys.insert(keys.end(), {n.ext, n.own, n.gone});
    for (const std::wstring& key : keys) vttest::DeleteKeyTreeW(ScopeHive(hive), kClasses + key);
  }
  vttest::RemoveDefaultApp(n.entry);
}

// What extension n's choice in place names now, as stored; "(none)" without one.
std::wstring ChosenNow(const Names& n, int place) {
  const std::string path = vttest::FileExtsKey(n.entry) + "\\" + kChoicePlaces[place];
  const std::wstring key(path.begin(), path.end());  // ASCII
  wchar_t text[512] = L"";
  DWORD size = sizeof text;
  return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"ProgId", RRF_RT_REG_SZ, nullptr, text,
                      &size) == ERROR_SUCCESS
             ? text
             : L"(none)";
}
std::wstring ChosenProgId(const Names& n, Chosen chosen) {
  if (chosen == kChosenTool) return n.own;
  if (chosen == kChosenToolOtherCase) return L"vantrel" + n.ext;
  return n.foreign[0];
}
bool ToolKeyLeft(const Names& n) {
  for (VtScope hive : kHives) {
    HKEY key;
    if (RegOpenKeyExW(ScopeHive(hive), (kClasses + n.own).c_str(), 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
      RegCloseKey(key);
      return true;
    }
  }
  return false;
}

// What one trial's changes share.
struct Context {
  std::vector<Names> names;
  std::string exe = vttest::ProgramPath();  // any program will do as the player
  std::string exportFile;
  std::vector<std::string> Pieces(unsigned exts) const {
    std::vector<std::string> pieces;
    for (size_t i = 0; i < names.size(); ++i)
      if (exts & (1u << i)) pieces.push_back(names[i].entry);
    return pieces;
  }
};

const DWORD kSecondChangeWaitMs = 200;
// What CI runs: a fixed number of seeds from the first, not a number of seconds, so that a slower
// machine checks as much and a failure in CI is one anybody can run again. VT_STATE_FIRST starts
// elsewhere; VT_STATE_SECONDS explores for that long instead.
const unsigned kFirstSeed = 1;
const unsigned kCiSeeds = 28;

// Runs change as its front end runs it, whole, holding the change lock of the hives it may write
// (waiting lockWaitMs at most); a change that does not get it does not run, as a front end gives
// up. The command line takes the same lock again inside, which its owning thread gets at once.
void RunChange(const Change& c, const Context& ctx, DWORD lockWaitMs) {
  VtChangeLock lock;
  const bool reads = c.verb == Verb::kExport || c.verb == Verb::kImport;
  if (!reads &&
      lock.Acquire(VtClasses(c.scope, c.MachineRights() ? VtScope::kMachine : c.scope),
                   lockWaitMs) != VtLockResult::kTaken)
    return;
  const std::vector<std::string> pieces = ctx.Pieces(c.exts);
  if (c.Window()) {
    std::string answer;  // the player's, naming every extension of the trial
    for (const std::string& piece : ctx.Pieces(~0u)) answer += (answer.empty() ? "" : ";") + piece;
    VtAssocRows rows;
    FillRows(rows, answer.c_str(), c.scope, nullptr);
    VtClasses keys(c.scope, c.MachineRights() ? VtScope::kMachine : c.scope);
    if (c.verb == Verb::kWindowRegister)
      RegisterRows(rows, ctx.exe.c_str(), pieces, L"", exeFolder, VtApplyOptions{}, &keys);
    else if (c.verb == Verb::kWindowUnregister)
      UnregisterRows(rows, pieces, &keys);
    else if (c.verb == Verb::kWindowRepair)
      RepairRows(rows, ctx.exe.c_str(), keys);
    else
      UnregisterAllRows(rows, &keys);
    return;
  }
  if (c.verb == Verb::kImport) {
    vttest::ChildProcess reg;
    if (reg.Start("reg.exe import \"" + ctx.exportFile + "\" /reg:64", nullptr, true))
      reg.WaitForExit(30000);
    return;
  }
  VtCliRequest request;
  request.scope = c.scope;
  if (c.verb == Verb::kUnregisterAll)
    request.all = true;
  else if (c.verb != Verb::kRepair || c.exts != ~0u)
    request.exts = pieces;
  request.playerPath = ctx.exe;
  request.file = std::wstring(ctx.exportFile.begin(), ctx.exportFile.end());
  const VtStdStream err(STD_ERROR_HANDLE);
  if (c.verb == Verb::kRegister) RunRegister(request, err);
  if (c.verb == Verb::kUnregister || c.verb == Verb::kUnregisterAll) RunUnregister(request, err);
  if (c.verb == Verb::kExport) RunExport(request, err);
  if (c.verb == Verb::kRepair) RunRepair(request, VtStdStream(STD_ERROR_HANDLE), err);
}

// After a repair run whole: the associations of the tool it reached (the extensions it was given,
// in the hives of its scope) each open the player's file, as Windows finds their ProgID.
std::string Unrepaired(const Change& c, const Context& ctx, size_t count) {
  std::string found;
  const unsigned exts = c.verb == Verb::kWindowRepair ? ~0u : c.exts;
  for (size_t i = 0; i < count; ++i) {
    const Names& n = ctx.names[i];
    for (int h : {0, 1}) {
      const VtScope hive = kHives[h];
      if ((exts & (1u << i)) == 0 || (hive == VtScope::kMachine && c.scope != hive) ||
          _wcsicmp(ReadText(hive, n.ext, L"").c_str(), n.own.c_str()) != 0)
        continue;
      const std::wstring commandKey = n.own + L"\\shell\\open\\command";
      std::wstring command = ReadText(hive, commandKey, L"");
      HKEY own;
      if (hive == VtScope::kUser &&
          RegOpenKeyExW(HKEY_CURRENT_USER, (kClasses + n.own).c_str(), 0, KEY_READ, &own) !=
              ERROR_SUCCESS)
        command = ReadText(VtScope::kMachine, commandKey, L"");
      else if (hive == VtScope::kUser)
        RegCloseKey(own);
      if (command.empty()) continue;
      const size_t end = command[0] == L'"' ? command.find(L'"', 1) : std::wstring::npos;
      const std::wstring program = end == std::wstring::npos ? command : command.substr(1, end - 1);
      if (!SameFile(program, std::wstring(ctx.exe.begin(), ctx.exe.end())))
        found += "x" + std::to_string(i) + (h == 1 ? " machine's" : " user's") +
                 " association still opens " + Utf8(command) + " after the repair\n";
    }
  }
  return found;
}

// writes (may be null): a step run whole counts its registry writes there.
void RunStep(const Step& step, const Context& ctx, int* writes) {
  if (step.at == 0 && writes != nullptr) {
    const vttest::RegWriteGate counter(INT_MAX, vttest::RegWriteGate::Mode::kStop);
    RunChange(step.change, ctx, INFINITE);
    *writes = counter.writes();
    return;
  }
  if (step.at == 0) return RunChange(step.change, ctx, INFINITE);
  auto second = [&step, &ctx] {
    std::thread other([&step, &ctx] { RunChange(step.other, ctx, kSecondChangeWaitMs); });
    other.join();
  };
  const vttest::RegWriteGate gate(step.at, step.pause ? vttest::RegWriteGate::Mode::kPause
                                                      : vttest::RegWriteGate::Mode::kStop,
                                  step.pause ? std::function<void()>(second) : nullptr);
  RunChange(step.change, ctx, INFINITE);
}

std::string Describe(const Change& c) {
  static const char* const kVerbs[] = {
      "window register",  "window unregister", "window unregister all", "window repair (Yes)",
      "register",         "unregister",        "unregister /all",       "repair",
      "export",           "reg import of the last export"};
  std::string text = kVerbs[static_cast<int>(c.verb)];
  if (c.verb != Verb::kWindowUnregisterAll && c.verb != Verb::kUnregisterAll &&
      c.verb != Verb::kImport && c.verb != Verb::kWindowRepair && c.exts != ~0u)
    for (int i = 0; i < 4; ++i)
      if (c.exts & (1u << i)) text += " x" + std::to_string(i);
  text += c.scope == VtScope::kMachine ? " /machine" : " /user";
  if (c.admin) text += " (an administrator's window)";
  return text;
}

std::string Describe(const Trial& t, const Context& ctx) {
  std::string text = "seed " + std::to_string(t.seed) + "\n";
  for (size_t i = 0; i < t.exts.size(); ++i)
    text += "  x" + std::to_string(i) + " " + ctx.names[i].entry + ": machine's " +
            kFormNames[t.exts[i].form[1]] + " (" +
            Utf8(ctx.names[i].foreign[static_cast<size_t>(t.exts[i].foreign[1])]) + "), user's " +
            kFormNames[t.exts[i].form[0]] + " (" +
            Utf8(ctx.names[i].foreign[static_cast<size_t>(t.exts[i].foreign[0])]) + "); chosen " +
            kChosenNames[t.exts[i].chosen[0]] + " (" + kChoicePlaces[0] + "), " +
            kChosenNames[t.exts[i].chosen[1]] + " (" + kChoicePlaces[1] + ")\n";
  for (const Step& s : t.steps) {
    text += "  " + Describe(s.change);
    if (s.at != 0 && !s.pause) text += ", stopped at write " + std::to_string(s.at);
    if (s.pause) text += "; at its write " + std::to_string(s.at) + ": " + Describe(s.other);
    text += "\n";
  }
  return text;
}

Change DrawChange(std::mt19937& rng, int exts, bool mayImport) {
  static const Verb kDraws[] = {Verb::kWindowRegister,   Verb::kWindowRegister,
                                Verb::kRegister,         Verb::kRegister,
                                Verb::kWindowUnregister, Verb::kWindowUnregisterAll,
                                Verb::kUnregister,       Verb::kUnregisterAll,
                                Verb::kWindowRepair,     Verb::kRepair,
                                Verb::kExport,           Verb::kImport};
  const size_t draws = sizeof kDraws / sizeof kDraws[0];
  Change c;
  do c.verb = kDraws[rng() % (mayImport ? draws : draws - 1)];
  while (c.verb == Verb::kImport && !mayImport);
  c.scope = rng() % 2 ? VtScope::kMachine : VtScope::kUser;
  c.admin = c.Window() && c.scope == VtScope::kUser && rng() % 2;
  c.exts = 1u + static_cast<unsigned>(rng() % ((1u << exts) - 1));
  // repair without extensions: every association of the tool it finds.
  if (c.verb == Verb::kRepair && rng() % 2) c.exts = ~0u;
  return c;
}

Trial Generate(unsigned seed) {
  std::mt19937 rng(seed);
  Trial t;
  t.seed = seed;
  t.exts.resize(3 + rng() % 2);
  for (ExtState& s : t.exts) {
    for (int h : {0, 1}) {
      s.form[h] = static_cast<Form>(rng() % kForms);
      s.foreign[h] = static_cast<int>(rng() % 3);
    }
    // One ProgID key of the tool's per hive: the upgrade's partner hive holds it already, and a
    // stale one cannot be the key the other hive's extension names.
    for (int h : {0, 1})
      if (s.form[h] == kUpgrade ||
          (s.form[h] == kStale && (s.form[1 - h] == kOwn || s.form[1 - h] == kMoved)))
        s.form[1 - h] = static_cast<Form>(rng() % kOwn);
    bool toolKey = false;
    for (Form f : s.form) toolKey = toolKey || f >= kOwn;
    for (Chosen& c : s.chosen) {
      c = static_cast<Chosen>(rng() % kChoices);
      if (!toolKey && (c == kChosenTool || c == kChosenToolOtherCase)) c = kNotChosen;
    }
  }
  const int count = static_cast<int>(t.exts.size());
  const Change* exported = nullptr;
  t.steps.resize(1 + rng() % 4);
  for (Step& s : t.steps) {
    s.change = DrawChange(rng, count, exported != nullptr);
    if (s.change.verb == Verb::kExport) exported = &s.change;
    if (s.change.verb == Verb::kImport) s.change.scope = exported->scope;
    if (s.change.verb >= Verb::kExport || rng() % 9 != 0) continue;
    s.at = 1 + static_cast<int>(rng() % 40);
    s.pause = true;
    s.other = DrawChange(rng, count, false);
    while (s.other.verb == Verb::kExport) s.other = DrawChange(rng, count, false);
  }
  // Every sequence stops one step at each of its writes in turn: a fault that only one write
  // shows is found at once, not by the luck of a draw.
  std::vector<int> cuttable;
  for (size_t k = 0; k < t.steps.size(); ++k)
    if (!t.steps[k].pause && t.steps[k].change.verb < Verb::kExport)
      cuttable.push_back(static_cast<int>(k));
  if (!cuttable.empty()) t.cut = cuttable[rng() % cuttable.size()];
  return t;
}

// Runs the trial from its starting state; what the oracle found wrong, empty when nothing.
// writes (may be null): the number of registry writes of the step t.cut, run whole.
std::string RunTrial(const Trial& t, Context& ctx, int* writes = nullptr) {
  for (size_t i = ctx.names.size(); i < t.exts.size(); ++i) ctx.names.emplace_back(i);
  for (const Names& n : ctx.names) Clean(n);
  DeleteFileA(ctx.exportFile.c_str());
  std::vector<std::unique_ptr<vttest::ScratchChoice>> choices;
  for (size_t i = 0; i < t.exts.size(); ++i) {
    for (int h : {0, 1}) Seed(t.exts[i], ctx.names[i], h);
    choices.push_back(std::make_unique<vttest::ScratchChoice>(ctx.names[i].entry));
    for (int p : {0, 1})
      if (t.exts[i].chosen[p] != kNotChosen)
        choices.back()->Set(kChoicePlaces[p], Utf8(ChosenProgId(ctx.names[i], t.exts[i].chosen[p])));
  }
  std::vector<Snapshot> before;  // extension i's in the user's hive at 2i, the machine's at 2i+1
  for (size_t i = 0; i < t.exts.size(); ++i)
    for (VtScope hive : kHives) before.emplace_back(hive, ctx.names[i]);

  std::string found;
  bool userChanged = false, machineChanged = false;
  for (size_t k = 0; k < t.steps.size(); ++k) {
    const Step& s = t.steps[k];
    RunStep(s, ctx, static_cast<int>(k) == t.cut ? writes : nullptr);
    if (s.at == 0 && s.change.Repairs()) found += Unrepaired(s.change, ctx, t.exts.size());
    for (const Change* c : {&s.change, s.pause ? &s.other : nullptr}) {
      if (c == nullptr || c->verb == Verb::kExport) continue;
      (c->scope == VtScope::kUser ? userChanged : machineChanged) = true;
      machineChanged = machineChanged || c->MachineRights();
    }
    // Default Apps lists nothing without the registration that makes it look there.
    const HKEY hive = ScopeHive(s.change.scope);
    if (s.at == 0 && s.change.Registers() &&
        !vttest::ValueNames(hive, kFileAssociationsKey, kView64).empty() &&
        !vttest::ValueExists(hive, kRegisteredApplicationsKey, kRegisteredAppName, kView64))
      found += "after step " + std::to_string(k + 1) +
               ": FileAssociations lists extensions, RegisteredApplications misses the tool\n";
  }
  for (VtScope scope : kHives)
    if (scope == VtScope::kUser ? userChanged : machineChanged)
      RunChange({Verb::kUnregisterAll, scope, false, 0}, ctx, INFINITE);
  // The machine's unregister reaches both hives; the user's alone never the machine's.
  const bool reached[2] = {userChanged || machineChanged, machineChanged};

  for (size_t i = 0; i < t.exts.size(); ++i) {
    const Names& n = ctx.names[i];
    const ExtState& s = t.exts[i];
    const std::string x = "x" + std::to_string(i) + " in the ";
    // The tool forgets a choice only of its own ProgID, and never leaves one naming a ProgID
    // that is gone: Windows would ask how to open the file.
    for (int p : {0, 1}) {
      const std::wstring now = ChosenNow(n, p);
      const std::string place = x + kChoicePlaces[p] + ": ";
      const Chosen was = s.chosen[p];
      if (was == kNotChosen && now != L"(none)") found += place + "made by the tool\n";
      if (was == kChosenOther && now != ChosenProgId(n, was))
        found += place + "another program's choice changed to " + Utf8(now) + "\n";
      if ((was == kChosenTool || was == kChosenToolOtherCase) && now != L"(none)" &&
          !ToolKeyLeft(n))
        found += place + "names the tool's ProgID, which is gone\n";
    }
    if (vttest::ValueExists(HKEY_LOCAL_MACHINE, kFileAssociationsKey, n.entry.c_str(), kView64) ||
        vttest::ValueExists(HKEY_CURRENT_USER, kFileAssociationsKey, n.entry.c_str(), kView64))
      found += x + "Default Apps registration: still listed\n";
    for (int h : {0, 1}) {
      const VtScope hive = kHives[h];
      const std::string where = x + (h == 1 ? "machine's" : "user's") + " classes: ";
      const Snapshot& was = before[2 * i + static_cast<size_t>(h)];
      const Snapshot now(hive, n);
      if (!reached[h]) {
        if (!(now == was)) found += where + "changed, out of reach\n";
        continue;
      }
      if (now.others != was.others)
        found += where + "another program's ProgID changed:\n" + Utf8(now.others);
      // The other hive, out of reach, still names the tool's ProgID: it may stay, and where it
      // holds the backup of that hive's extension, it must keep it.
      const Form across = s.form[1 - h];
      const bool kept =
          !reached[1 - h] && (across == kOwn || across == kUpgrade || across == kMoved);
      const std::wstring& backup = n.foreign[static_cast<size_t>(s.foreign[1 - h])];
      if (kept && across == kUpgrade && ReadBackup(hive, n.own) != backup)
        found += where + "the backup of the other hive's extension is lost\n";
      if (!kept && now.own.find(L"(no key)") == std::wstring::npos)
        found += where + "the tool's ProgID is left:\n" + Utf8(now.own);
      const std::wstring& foreign = n.foreign[static_cast<size_t>(s.foreign[h])];
      std::string expected;
      bool matched = false;
      for (End end : h == 1 ? kEnds[s.form[h]].machine : kEnds[s.form[h]].user) {
        vttest::DeleteKeyTreeW(ScopeHive(hive), kClasses + n.ext);
        SeedEnd(hive, n, end, foreign);
        const std::wstring want = vttest::DumpTreeW(ScopeHive(hive), kClasses + n.ext);
        matched = matched || want == now.ext;
        expected += Utf8(want);
      }
      if (!matched)
        found += where + kFormNames[s.form[h]] + " ends as\n" + Utf8(now.ext) + "instead of\n" +
                 expected;
    }
  }
  for (const Names& n : ctx.names) Clean(n);
  return found;
}

// Smaller trials that still fail, one change away from t.
std::vector<Trial> Smaller(const Trial& t) {
  std::vector<Trial> out;
  for (size_t k = 0; k < t.steps.size(); ++k) {
    Trial fewer = t;
    fewer.steps.erase(fewer.steps.begin() + static_cast<std::ptrdiff_t>(k));
    if (!fewer.steps.empty()) out.push_back(fewer);
    const Step& s = t.steps[k];
    for (int at : {s.pause ? 0 : -1, 1, s.at / 2, s.at - 1}) {
      if (at < 0 || at >= s.at) continue;
      Trial lower = t;
      lower.steps[k].at = at;
      lower.steps[k].pause = at != 0 && s.pause;
      out.push_back(lower);
    }
    if (s.pause) {
      Trial stopped = t;
      stopped.steps[k].pause = false;
      out.push_back(stopped);
    }
    for (unsigned bit = 1; bit < 16; bit <<= 1)
      if ((s.change.exts & bit) && s.change.exts != bit) {
        Trial narrower = t;
        narrower.steps[k].change.exts &= ~bit;
        out.push_back(narrower);
      }
  }
  for (size_t i = 0; i < t.exts.size(); ++i)
    if (t.exts[i].form[0] != kAbsent || t.exts[i].form[1] != kAbsent) {
      Trial plainer = t;
      plainer.exts[i].form[0] = plainer.exts[i].form[1] = kAbsent;
      // Without its key, the tool's ProgID is no choice to be had.
      for (Chosen& c : plainer.exts[i].chosen)
        if (c == kChosenTool || c == kChosenToolOtherCase) c = kNotChosen;
      out.push_back(plainer);
    }
  for (size_t i = 0; i < t.exts.size(); ++i)
    for (int p : {0, 1})
      if (t.exts[i].chosen[p] != kNotChosen) {
        Trial unchosen = t;
        unchosen.exts[i].chosen[p] = kNotChosen;
        out.push_back(unchosen);
      }
  return out;
}

// Runs seed's sequence whole, then once stopped at each write of its cut step, the first write to
// the last; *runs counts the sequences run. What the oracle found in the first that failed (in
// *t), empty when none did.
std::string RunSeed(unsigned seed, Context& ctx, Trial* t, unsigned* runs) {
  *t = Generate(seed);
  int writes = 0;
  ++*runs;
  std::string found = RunTrial(*t, ctx, &writes);
  const Trial whole = *t;
  for (int at = 1; found.empty() && at <= writes; ++at) {
    *t = whole;
    t->steps[static_cast<size_t>(whole.cut)].at = at;
    ++*runs;
    found = RunTrial(*t, ctx);
  }
  return found;
}

unsigned Setting(const char* flag, const char* variable, unsigned otherwise, bool* given) {
  const char* line = GetCommandLineA();
  const char* at = std::strstr(line, flag);
  const char* env = std::getenv(variable);
  if (given != nullptr) *given = at != nullptr || env != nullptr;
  if (at != nullptr)
    return static_cast<unsigned>(std::strtoul(at + std::strlen(flag), nullptr, 10));
  if (env != nullptr) return static_cast<unsigned>(std::strtoul(env, nullptr, 10));
  return otherwise;
}

TEST(StateSpace, EveryExtensionGetsBackTheAssociationItHad) {
  StartLibrary();
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    vttest::CreateKey(hive, kRegisteredApplicationsKey, kView64);
  const vttest::StdHandleToNul quiet(STD_ERROR_HANDLE);  // the command line's failure lines
  const vttest::ScratchDir folder;
  Context ctx;
  ctx.exportFile = folder.File("export.reg");
  bool one = false, timed = false;
  const unsigned from = Setting("--vt_first=", "VT_STATE_FIRST", kFirstSeed, nullptr);
  const unsigned first = Setting("--vt_seed=", "VT_STATE_SEED", from, &one);
  const ULONGLONG budgetMs =
      1000ull * Setting("--vt_seconds=", "VT_STATE_SECONDS", 40, &timed);
  const ULONGLONG start = GetTickCount64();
  auto more = [&](unsigned seed) {
    if (one) return seed == first;
    return timed ? GetTickCount64() - start < budgetMs : seed - first < kCiSeeds;
  };

  int forms[2][kForms] = {};
  unsigned sequences = 0, seeds = 0;
  for (unsigned seed = first; more(seed); ++seed) {
    Trial t;
    ++seeds;
    std::string found = RunSeed(seed, ctx, &t, &sequences);
    for (const ExtState& s : t.exts)
      for (int h : {0, 1}) ++forms[h][s.form[h]];
    if (found.empty()) continue;
    const ULONGLONG foundMs = GetTickCount64() - start;
    // Shrunk while it fails, for a minute at most.
    for (bool smaller = true; smaller && GetTickCount64() - start < foundMs + 60000;) {
      smaller = false;
      for (const Trial& candidate : Smaller(t)) {
        const std::string again = RunTrial(candidate, ctx);
        if (again.empty()) continue;
        t = candidate;
        found = again;
        smaller = true;
        break;
      }
    }
    ADD_FAILURE() << "at seed " << seed << ", after " << sequences << " sequences ("
                  << foundMs / 1000.0 << " s), the shortest that fails:\n"
                  << Describe(t, ctx) << found;
    return;
  }
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  int covered = 0;
  for (int h : {0, 1})
    for (int f = 0; f < kForms; ++f) covered += forms[h][f] != 0;
  std::printf("state space: %u seeds, %u sequences in %.1f s (%.1f/s) from seed %u, %d of %d"
              " forms per hive\n",
              seeds, sequences, seconds, sequences / seconds, first, covered, 2 * kForms);
}

}  // namespace
