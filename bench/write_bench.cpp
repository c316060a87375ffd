// Writing and undoing: 500 extensions of another program registered as the window's "適用" does
// (ApplyRows: every selected row registered with its option, then every other associated row
// again), then all of them unregistered as "すべて解除" does (UnregisterRows), in the machine's
// scope and in the user's; each against the floor of direct calls and against "reg import" of a
// .reg file that makes the same change in the same hive.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "assocrows.h"
#include "clirows.h"
#include "floor.h"
#include "library.h"
#include "regcount.h"
#include "regfile.h"
#include "rounds.h"
#include "scratch.h"
#include "scratchset.h"
#include "stopwatch.h"
#include "table.h"

using namespace vtbench;

namespace {

const int kExtensions = 500;
const char kOption[] = "/a";  // AddOption 1
const VtApplyOptions kApply{1, 0};  // the window's options that give every row kOption
const VtScope kScopes[] = {VtScope::kMachine, VtScope::kUser};

const char* ScopeName(VtScope scope) { return scope == VtScope::kMachine ? "machine" : "user"; }

// The list as the window holds it after filling: one loaded row per extension.
void LoadRows(const ScratchSet& set, VtScope scope, VtCliRows* rows) {
  *rows = VtCliRows();
  for (int i = 0; i < set.count(); ++i) rows->AddExtension(set.ListExt(i), scope);
}

// What one scope's write and undo need: the window's rows, the registrations and the .reg files.
struct Scope {
  explicit Scope(VtScope of) : scope(of) {}
  VtScope scope;
  VtCliRows rows;
  std::vector<Registration> registrations;
  std::string registerFile, unregisterFile;
};

}  // namespace

int main(int argc, char** argv) {
  const int runs = RoundsFromArgs(argc, argv);
  StartLibrary();
  PrintHeader();
  ScratchSet set(kExtensions);
  vttest::ScratchDir folder;
  if (!set.Seed()) return 1;

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
  auto toolWrite = [&](Scope& s) {
    return [&, p = &s] {
      VtClasses keys(p->scope);
      ApplyRows(p->rows, kPlayerPath, selection, "", folder.path().c_str(), kApply, &keys);
      return p->rows.failures().empty();
    };
  };
  auto toolUndo = [](Scope& s) {
    return [p = &s] {
      VtClasses keys(p->scope);
      UnregisterRows(p->rows, nullptr, &keys);
      return p->rows.failures().empty();
    };
  };
  auto floorWrite = [&](Scope& s) {
    return [&set, p = &s] {
      for (const Registration& r : p->registrations)
        if (!FloorRegister(r, p->scope)) return false;
      return FloorRegisterApp(set.AppIcon(), p->scope);
    };
  };
  auto floorUndo = [](Scope& s) {
    return [p = &s] {
      for (const Registration& r : p->registrations)
        if (!FloorUnregister(r, p->scope)) return false;
      return FloorUnregisterApp(p->scope);
    };
  };
  auto regImport = [](const std::string& file) { return [file] { return RegImport(file); }; };

  // Each writer starts from the other program's associations and each undoer from the same
  // registered state, which every check below confirms.
  Rounds rounds;
  for (Scope& s : scopes) {
    const std::string name = ScopeName(s.scope);
    rounds.Untimed("fill " + name, fill(s));
    rounds.Step("write tool " + name, toolWrite(s), registered(s));
    rounds.Step("undo tool " + name, toolUndo(s), original);
    rounds.Step("write floor " + name, floorWrite(s), registered(s));
    rounds.Step("undo floor " + name, floorUndo(s), original);
    rounds.Step("write reg " + name, regImport(s.registerFile), registered(s));
    rounds.Step("undo reg " + name, regImport(s.unregisterFile), original);
  }
  rounds.Step("reg empty", regImport(emptyFile));
  if (!rounds.Run(runs)) return 1;

  std::vector<TableRow> rows;
  for (Scope& s : scopes) {
    const std::string name = ScopeName(s.scope);
    TableRow write, undo;
    write.measure = "2 write 500, " + name + ": apply (register /a once)";
    undo.measure = "3 undo 500, " + name + ": unregister all";
    write.tool = rounds.Median("write tool " + name);
    write.floor = rounds.Median("write floor " + name);
    write.alt = rounds.Median("write reg " + name);
    undo.tool = rounds.Median("undo tool " + name);
    undo.floor = rounds.Median("undo floor " + name);
    undo.alt = rounds.Median("undo reg " + name);
    write.altName = undo.altName = "reg import";
    write.goal = undo.goal = "<1x alt";
    write.met = write.tool < write.alt;
    undo.met = undo.tool < undo.alt;

    // Registry calls per extension, counted in one more pass of each side.
    LoadRows(set, s.scope, &s.rows);
    auto count = [&](const std::string& what, const std::function<bool()>& work, double* perExt) {
      RegCallCounter counter;
      work();
      *perExt = static_cast<double>(counter.Total()) / kExtensions;
      std::printf("NOTE\t%s, %s calls/ext: %s\n", what.c_str(), name.c_str(),
                  counter.Breakdown(kExtensions).c_str());
    };
    count("write, tool", toolWrite(s), &write.toolCalls);
    count("undo, tool", toolUndo(s), &undo.toolCalls);
    count("write, floor", floorWrite(s), &write.floorCalls);
    count("undo, floor", floorUndo(s), &undo.floorCalls);
    if (!set.IsOriginal()) return 1;
    rows.push_back(write);
    rows.push_back(undo);
  }

  // What the apply's search for the rows of each selected extension adds to it.
  Scope& machine = scopes[0];
  LoadRows(set, machine.scope, &machine.rows);
  const double start = NowMs();
  int matches = 0;
  for (const std::string& piece : selection)
    for (int row = NextRowOf(machine.rows, piece.c_str(), -1); row >= 0;
         row = NextRowOf(machine.rows, piece.c_str(), row))
      ++matches;
  std::printf("NOTE\twrite, the apply's row search alone (%d x %d comparisons): %.2f ms\n",
              static_cast<int>(selection.size()), machine.rows.Count(), NowMs() - start);
  std::printf("NOTE\treg import of a file without keys (the start of reg.exe): %.1f ms\n",
              rounds.Median("reg empty"));
  for (const TableRow& row : rows) PrintRow(row);
  return matches == kExtensions ? 0 : 1;
}
