// Registering and unregistering: 500 extensions of another program registered as the window's
// "適用" does (RegisterRows: every selected row registered with its option, then every other
// associated row again), then all of them unregistered as "すべて解除" does (UnregisterRows), in the machine's
// scope and in the user's; each against the floor of direct calls and against "reg import" of a
// .reg file that makes the same change in the same hive. Beside them, vntassoc-cli registers and
// unregisters the same 500 in one process each, timed from its start to its exit; and, with them
// registered in the machine's classes, policy's file beside list's output, both in this process.
// And in each scope the command line's repair in this process, of the same 500 registered by the
// window's command at a player's file that is gone, against writing them anew with "reg import".
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "rowchanges.h"
#include "clirows.h"
#include "commandline.h"
#include "commands.h"
#include "floor.h"
#include "library.h"
#include "process.h"
#include "regcount.h"
#include "regfile.h"
#include "rounds.h"
#include "scratch.h"
#include "scratchset.h"
#include "table.h"

using namespace vtbench;

namespace {

// How many extensions each step changes, unless "--extensions N" says otherwise.
const int kDefaultExtensions = 500;
const char kOption[] = "/a";  // AddOption 1
const VtApplyOptions kApply{VtAddOption::kYes, VtPlaylistOption::kAdd};  // the window's options that give every row kOption
const VtScope kScopes[] = {VtScope::kMachine, VtScope::kUser};
// Where the player was before repair: a file that no longer exists ("missing").
const char kOldPlayerPath[] = "C:\\vtbench\\old\\vtplayer.exe";

const char* ScopeName(VtScope scope) { return scope == VtScope::kMachine ? "machine" : "user"; }

// The list as the window holds it after filling: one loaded row per extension.
void LoadRows(const ScratchSet& set, VtScope scope, VtAssocRows* rows) {
  rows->Clear();
  for (int i = 0; i < set.count(); ++i) AddRow(*rows, set.ListExt(i), scope, true);
}

// The player's executable, which the command line wants to find before it registers (it never
// starts it): an empty file at kPlayerPath for the benchmark's run, where there is none.
class PlayerFile {
 public:
  PlayerFile()
      : folder_(kPlayerPath, static_cast<size_t>(std::strrchr(kPlayerPath, '\\') - kPlayerPath)),
        madeFolder_(CreateDirectoryA(folder_.c_str(), nullptr) != FALSE),
        madeFile_(GetFileAttributesA(kPlayerPath) == INVALID_FILE_ATTRIBUTES &&
                  vttest::WriteFileBytes(kPlayerPath, "")) {}
  ~PlayerFile() {
    if (madeFile_) DeleteFileA(kPlayerPath);
    if (madeFolder_) RemoveDirectoryA(folder_.c_str());
  }
  PlayerFile(const PlayerFile&) = delete;
  PlayerFile& operator=(const PlayerFile&) = delete;

  bool exists() const { return GetFileAttributesA(kPlayerPath) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::string folder_;
  bool madeFolder_;
  bool madeFile_;
};

// The command line's arguments for every scratch extension, spelt as a script would write them.
std::vector<std::string> CliArgs(const char* verb, const ScratchSet& set, VtScope scope) {
  std::vector<std::string> args = {verb};
  for (int i = 0; i < set.count(); ++i) args.push_back(set.Ext(i));
  const bool repair = std::strcmp(verb, "repair") == 0;
  if (std::strcmp(verb, "register") == 0)
    args.insert(args.end(), {"/player", kPlayerPath, "/listadd", "yes"});
  if (repair) args.insert(args.end(), {"/player", kPlayerPath});
  if (scope == VtScope::kUser) args.push_back("/user");
  else if (repair) args.push_back("/machine");
  return args;
}

// exe and args as one process command line, an argument with a space quoted.
std::string ProcessLine(const std::string& exe, const std::vector<std::string>& args) {
  std::string line = "\"" + exe + "\"";
  for (const std::string& arg : args)
    line += arg.find(' ') == std::string::npos ? " " + arg : " \"" + arg + "\"";
  return line;
}

// The whole program, from CreateProcess to its exit; true when it exits with 0.
bool RunCliProcess(const std::string& line, const std::string& folder) {
  vttest::ChildProcess cli;
  if (!cli.Start(line, folder.c_str(), true)) return false;
  const int code = cli.WaitForExit(60000);
  if (code != 0) std::fprintf(stderr, "bench: vntassoc-cli exited with %d\n", code);
  return code == 0;
}

// What the program does after its start, in this process: the arguments parsed (they are ASCII,
// as the program receives them in UTF-16), then the command; true when it ends with kExitDone.
// Its vntassoc.ini and filetype.ini are looked for beside this benchmark, where there are none.
bool RunCliHere(const std::vector<std::string>& args) {
  std::vector<std::wstring> wide;
  for (const std::string& arg : args) wide.emplace_back(arg.begin(), arg.end());
  VtCliRequest request;
  std::wstring why;
  if (!ParseCommandLine(wide, &request, &why)) return false;
  const VtStdStream out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);
  switch (request.verb) {
    case VtCliVerb::kRegister:
      return RunRegister(request, err) == kExitDone;
    case VtCliVerb::kUnregister:
      return RunUnregister(request, err) == kExitDone;
    case VtCliVerb::kList:
      return RunList(request, out, err) == kExitDone;
    case VtCliVerb::kPolicy:
      return RunPolicy(request, err) == kExitDone;
    case VtCliVerb::kRepair:
      return RunRepair(request, out, err) == kExitDone;
    default:
      return false;
  }
}

// What one scope's register and unregister need: the window's rows, the registrations, the .reg files and
// the command line's arguments.
struct Scope {
  explicit Scope(VtScope of) : scope(of) {}
  VtScope scope;
  VtAssocRows rows;
  std::vector<Registration> registrations;
  std::string registerFile, unregisterFile;
  std::vector<std::string> registerArgs, unregisterArgs, repairArgs;
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = RoundsFromArgs(argc, argv);
  const int extensions = ExtensionsFromArgs(argc, argv, kDefaultExtensions);
  const std::string n = std::to_string(extensions);
  StartLibrary();
  PrintHeader();
  ScratchSet set(extensions);
  vttest::ScratchDir folder;
  if (!set.Seed()) return 1;
  const PlayerFile player;
  // A copy in folder, so that no vntassoc.ini or filetype.ini beside the built program is read.
  const std::string cli = folder.File("vntassoc-cli.exe");
  const std::string builtCli = vttest::WinePath(VT_BENCH_CLI_EXE);
  if (!player.exists() || !CopyFileA(builtCli.c_str(), cli.c_str(), FALSE)) {
    std::fprintf(stderr, "bench: could not put %s and vntassoc-cli.exe in place\n", kPlayerPath);
    return 1;
  }

  // The type names come from VtTypeNames beside folder, which holds no filetype.ini: ToolTypeName.
  std::vector<std::string> selection;
  for (int i = 0; i < set.count(); ++i) selection.push_back(set.ListExt(i));
  Scope scopes[] = {Scope(VtScope::kMachine), Scope(VtScope::kUser)};
  for (Scope& s : scopes) {
    for (int i = 0; i < set.count(); ++i)
      s.registrations.push_back({set.ListExt(i), set.ToolProgId(i), set.ToolTypeName(i),
                                 set.ToolIcon(), set.ToolCommand(kOption), set.Backup(i, s.scope),
                                 set.AppIcon()});
    s.registerFile = folder.File(std::string("register-") + ScopeName(s.scope) + ".reg");
    s.unregisterFile = folder.File(std::string("unregister-") + ScopeName(s.scope) + ".reg");
    if (!vttest::WriteFileBytes(s.registerFile, RegisterRegFile(s.registrations, s.scope)) ||
        !vttest::WriteFileBytes(s.unregisterFile, UnregisterRegFile(s.registrations, s.scope))) {
      std::fprintf(stderr, "bench: could not write the .reg files in %s\n", folder.path().c_str());
      return 1;
    }
    s.registerArgs = CliArgs("register", set, s.scope);
    s.unregisterArgs = CliArgs("unregister", set, s.scope);
    s.repairArgs = CliArgs("repair", set, s.scope);
  }
  const std::string emptyFile = folder.File("empty.reg");
  if (!vttest::WriteFileBytes(emptyFile, RegisterRegFile({}, VtScope::kMachine))) return 1;

  // Each factory's lambda keeps a pointer to its scope, which outlives the rounds.
  auto original = [&] { return set.IsOriginal(); };
  auto registered = [&](Scope& s) {
    return [&set, p = &s] { return set.IsRegistered(kOption, p->scope); };
  };
  auto fill = [&](Scope& s) {
    return [&set, p = &s] { return LoadRows(set, p->scope, &p->rows), true; };
  };
  // The window's command keeps the classes keys open from one row to the next.
  auto toolWrite = [&](Scope& s, const char* at = kPlayerPath) {
    return [&, p = &s, at] {
      VtClasses keys(p->scope);
      return RegisterRows(p->rows, at, selection, L"", folder.path().c_str(), kApply, &keys)
          .failures()
          .empty();
    };
  };
  // Repair's starting state: every extension registered by the window at the old player's file.
  auto registeredBefore = [&](Scope& s) {
    return [&, p = &s] {
      LoadRows(set, p->scope, &p->rows);
      return toolWrite(*p, kOldPlayerPath)() &&
             set.IsRegistered(kOption, p->scope, kOldPlayerPath);
    };
  };
  auto toolUnregister = [](Scope& s) {
    return [p = &s] {
      VtClasses keys(p->scope);
      return UnregisterAllRows(p->rows, &keys).failures().empty();
    };
  };
  auto floorWrite = [&](Scope& s) {
    return [&set, p = &s] {
      for (const Registration& r : p->registrations)
        if (!FloorRegister(r, p->scope)) return false;
      return FloorRegisterApp(set.AppIcon(), p->scope);
    };
  };
  auto floorRepair = [&set](Scope& s) {
    return [&set, p = &s] {
      for (const Registration& r : p->registrations)
        if (!FloorRepair(r, p->scope)) return false;
      return FloorRegisterApp(set.AppIcon(), p->scope);
    };
  };
  auto floorUnregister = [](Scope& s) {
    return [p = &s] {
      for (const Registration& r : p->registrations)
        if (!FloorUnregister(r, p->scope)) return false;
      return FloorUnregisterApp(p->scope);
    };
  };
  auto regImport = [](const std::string& file) { return [file] { return RegImport(file); }; };
  auto cliProcess = [&](const std::vector<std::string>& args) {
    return [line = ProcessLine(cli, args), &folder] { return RunCliProcess(line, folder.path()); };
  };
  auto cliHere = [](const std::vector<std::string>& args) {
    return [args] { return RunCliHere(args); };
  };
  // list and repair print a line per extension, which the table's output is no place for.
  auto quietHere = [](const std::vector<std::string>& args) {
    return [args] {
      const vttest::StdHandleToNul quiet(STD_OUTPUT_HANDLE);
      return RunCliHere(args);
    };
  };
  auto unregisterAll = [&](Scope& s) {
    return [&, p = &s] { return fill(*p)() && toolUnregister(*p)() && set.IsOriginal(); };
  };
  // Without the player's answer the command line looks for the tool's older associations in every
  // key name of both classes keys; the same fill without that walk beside it.
  auto ownRows = [](bool scanClasses) {
    return [scanClasses] {
      VtAssocRows found;
      VtClassesMemo walk;
      FillRows(found, nullptr, VtScope::kMachine, scanClasses ? &walk : nullptr);
      return found.Count() == 0;
    };
  };

  // Each registering side starts from the other program's associations and each unregistering
  // side from the same registered state, which every check below confirms.
  Rounds rounds;
  for (Scope& s : scopes) {
    const std::string name = ScopeName(s.scope);
    rounds.Untimed("fill " + name, fill(s));
    rounds.Step("write tool " + name, toolWrite(s), registered(s));
    rounds.Step("unregister tool " + name, toolUnregister(s), original);
    rounds.Step("write floor " + name, floorWrite(s), registered(s));
    rounds.Step("unregister floor " + name, floorUnregister(s), original);
    rounds.Step("write reg " + name, regImport(s.registerFile), registered(s));
    rounds.Step("unregister reg " + name, regImport(s.unregisterFile), original);
    rounds.Step("write cli " + name, cliProcess(s.registerArgs), registered(s));
    rounds.Step("unregister cli " + name, cliProcess(s.unregisterArgs), original);
    rounds.Step("write cli here " + name, cliHere(s.registerArgs), registered(s));
    rounds.Step("unregister cli here " + name, cliHere(s.unregisterArgs), original);
    rounds.Untimed("before repair cli " + name, registeredBefore(s));
    rounds.Step("repair cli here " + name, quietHere(s.repairArgs), registered(s));
    rounds.Untimed("before repair floor " + name, registeredBefore(s));
    rounds.Step("repair floor " + name, floorRepair(s), registered(s));
    rounds.Untimed("before repair reg " + name, registeredBefore(s));
    rounds.Step("repair reg " + name, regImport(s.registerFile), registered(s));
    rounds.Untimed("after repair " + name, unregisterAll(s));
  }
  rounds.Step("reg empty", regImport(emptyFile));
  rounds.Step("cli start", cliProcess({"/?"}));
  rounds.Step("walk", ownRows(true));
  rounds.Step("no walk", ownRows(false));
  if (!rounds.Run(runs)) return 1;

  std::vector<TableRow> rows;
  for (Scope& s : scopes) {
    const std::string name = ScopeName(s.scope);
    TableRow write, unregister, cliWrite, cliUnregister, repair;
    write.measure = "2 write " + n + ", " + name + ": register (with /a, once)";
    unregister.measure = "3 unregister " + n + ", " + name + ": unregister all";
    cliWrite.measure = "2 write " + n + ", " + name + ": command line register";
    cliUnregister.measure = "3 unregister " + n + ", " + name + ": command line unregister";
    write.tool = rounds.Median("write tool " + name);
    write.floor = rounds.Median("write floor " + name);
    write.alt = rounds.Median("write reg " + name);
    unregister.tool = rounds.Median("unregister tool " + name);
    unregister.floor = rounds.Median("unregister floor " + name);
    unregister.alt = rounds.Median("unregister reg " + name);
    write.altName = unregister.altName = "reg import";
    write.goal = unregister.goal = "<1x alt";
    write.met = write.tool < write.alt;
    unregister.met = unregister.tool < unregister.alt;
    cliWrite.tool = rounds.Median("write cli " + name);
    cliUnregister.tool = rounds.Median("unregister cli " + name);
    cliWrite.floor = write.floor;
    cliUnregister.floor = unregister.floor;
    cliWrite.alt = write.alt;
    cliUnregister.alt = unregister.alt;
    cliWrite.altName = cliUnregister.altName = "reg import";
    cliWrite.goal = cliUnregister.goal = "<1x alt";
    cliWrite.met = cliWrite.tool < cliWrite.alt;
    cliUnregister.met = cliUnregister.tool < cliUnregister.alt;
    repair.measure = "7 repair " + n + ", " + name + ": command line repair";
    repair.tool = rounds.Median("repair cli here " + name);
    repair.floor = rounds.Median("repair floor " + name);
    repair.alt = rounds.Median("repair reg " + name);
    repair.altName = "reg import";
    repair.goal = "<=1x alt";
    repair.met = repair.tool <= repair.alt;

    // Registry calls per extension, counted in one more pass of each side.
    LoadRows(set, s.scope, &s.rows);
    auto count = [&](const std::string& what, const std::function<bool()>& work, double* perExt) {
      RegCallCounter counter;
      work();
      *perExt = static_cast<double>(counter.Total()) / extensions;
      std::printf("NOTE\t%s, %s calls/ext: %s\n", what.c_str(), name.c_str(),
                  counter.Breakdown(extensions).c_str());
    };
    count("write, tool", toolWrite(s), &write.toolCalls);
    count("unregister, tool", toolUnregister(s), &unregister.toolCalls);
    count("write, floor", floorWrite(s), &write.floorCalls);
    count("unregister, floor", floorUnregister(s), &unregister.floorCalls);
    // The command line's calls in this process: its start makes none of the tool's.
    count("write, command line", cliHere(s.registerArgs), &cliWrite.toolCalls);
    count("unregister, command line", cliHere(s.unregisterArgs), &cliUnregister.toolCalls);
    cliWrite.floorCalls = write.floorCalls;
    cliUnregister.floorCalls = unregister.floorCalls;
    if (!set.IsOriginal()) return 1;
    if (!registeredBefore(s)()) return 1;
    count("repair, command line", quietHere(s.repairArgs), &repair.toolCalls);
    if (!registered(s)() || !registeredBefore(s)()) return 1;
    count("repair, floor", floorRepair(s), &repair.floorCalls);
    if (!registered(s)() || !unregisterAll(s)()) return 1;
    rows.insert(rows.end(), {write, cliWrite, unregister, cliUnregister, repair});
    std::printf(
        "NOTE\tcommand line, %s, in this process (parsed and run, without the program's start "
        "and exit): register %.1f ms, unregister %.1f ms\n",
        name.c_str(), rounds.Median("write cli here " + name),
        rounds.Median("unregister cli here " + name));
  }
  {
    RegCallCounter counter;
    ownRows(true)();
    std::printf(
        "NOTE\tcommand line without the player: the walk of both classes keys for older "
        "associations: %.1f ms more than without it (%.1f against %.1f ms; %ld calls: %s)\n",
        rounds.Median("walk") - rounds.Median("no walk"), rounds.Median("walk"),
        rounds.Median("no walk"), counter.Total(), counter.Breakdown(1).c_str());
  }
  {
    // policy beside list over the same associations of the machine's classes, registered once.
    Scope& machine = scopes[0];
    LoadRows(set, VtScope::kMachine, &machine.rows);
    if (!toolWrite(machine)() || !registered(machine)()) return 1;
    const std::vector<std::string> listArgs = CliArgs("list", set, VtScope::kMachine);
    std::vector<std::string> policyArgs = CliArgs("policy", set, VtScope::kMachine);
    policyArgs.insert(policyArgs.begin() + 1, folder.File("policy.xml"));
    const auto listHere = quietHere(listArgs);
    Rounds reads;
    reads.Step("list", listHere, registered(machine));
    reads.Step("policy", cliHere(policyArgs), registered(machine));
    if (!reads.Run(runs)) return 1;
    TableRow policy;
    policy.measure = "6 policy " + n + ", machine: command line, in this process";
    policy.tool = reads.Median("policy");
    policy.altName = "list, same";
    policy.alt = reads.Median("list");
    auto calls = [&](const std::string& what, const std::function<bool()>& work) {
      RegCallCounter counter;
      work();
      std::printf("NOTE\t%s calls/ext: %s\n", what.c_str(), counter.Breakdown(extensions).c_str());
      return static_cast<double>(counter.Total()) / extensions;
    };
    policy.toolCalls = calls("policy, command line", cliHere(policyArgs));
    calls("list, command line", listHere);
    policy.goal = "<=1.1x alt";
    policy.met = policy.tool <= 1.1 * policy.alt;
    rows.push_back(policy);
    if (!toolUnregister(machine)() || !set.IsOriginal()) return 1;
  }
  std::printf("NOTE\tvntassoc-cli /? (the program's start and exit): %.1f ms\n",
              rounds.Median("cli start"));

  std::printf("NOTE\treg import of a file without keys (the start of reg.exe): %.1f ms\n",
              rounds.Median("reg empty"));
  for (const TableRow& row : rows) PrintRow(row);
  return 0;
}
