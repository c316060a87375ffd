// Writing and undoing: 500 extensions of another program registered as the window's "適用" does
// (every selected row registered with its option, then every other associated row again),
// then all of them unregistered as "すべて解除" does; each against the floor of direct calls and
// against "reg import" of a .reg file that makes the same change.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "associnfo.h"
#include "floor.h"
#include "library.h"
#include "regcount.h"
#include "regfile.h"
#include "rounds.h"
#include "scratch.h"
#include "scratchset.h"
#include "stopwatch.h"
#include "table.h"
#include "text.h"

using namespace vtbench;

namespace {

const int kExtensions = 500;
const char kOption[] = "/a";  // AddOption 1

using Entries = std::vector<std::unique_ptr<VtAssocInfo>>;

// The list as the window holds it after filling: one loaded entry per extension.
void FillEntries(const ScratchSet& set, Entries* entries) {
  entries->clear();
  for (int i = 0; i < set.count(); ++i) {
    entries->emplace_back(new VtAssocInfo(set.ListExt(i).c_str()));
    entries->back()->Load();
  }
}

// btnApplyClick with every row selected: each piece registers every row of its extension with its
// option (the window finds them by comparing every row), then every other associated row is
// registered again. The scratch extensions are plain ASCII, so the window takes this one pass.
void ApplyAll(const Entries& entries, const std::vector<std::string>& selection,
              const std::vector<std::string>& typeNames) {
  std::vector<bool> done(entries.size());
  for (size_t piece = 0; piece < selection.size(); ++piece)
    for (size_t row = 0; row < entries.size(); ++row)
      if (CompareNoCase(entries[row]->ext, selection[piece].c_str()) == 0) {
        entries[row]->Register(kPlayerPath, typeNames[piece].c_str(), kOption);
        done[row] = true;
      }
  for (size_t row = 0; row < entries.size(); ++row) {
    VtAssocInfo& entry = *entries[row];
    if (done[row] || entry.associated == 0 || entry.typeName == nullptr) continue;
    const std::string typeName = entry.typeName;  // Register releases the entry's own text first
    entry.Register(kPlayerPath, typeName.c_str(), kOption);
  }
}

// The apply before it registered each selected row once: every selected row registered with no
// option, then every associated row again with its option. Kept to show what the change bought.
void ApplyTwice(const Entries& entries, const std::vector<std::string>& selection,
                const std::vector<std::string>& typeNames) {
  for (size_t piece = 0; piece < selection.size(); ++piece)
    for (const auto& entry : entries)
      if (CompareNoCase(entry->ext, selection[piece].c_str()) == 0)
        entry->Register(kPlayerPath, typeNames[piece].c_str(), "");
  for (const auto& entry : entries) {
    if (entry->associated == 0 || entry->typeName == nullptr) continue;
    const std::string typeName = entry->typeName;
    entry->Register(kPlayerPath, typeName.c_str(), kOption);
  }
}

// btnUnregAllClick: every row, associated or not.
void UnregisterAll(const Entries& entries) {
  for (const auto& entry : entries) entry->Unregister();
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = RoundsFromArgs(argc, argv);
  StartLibrary();
  PrintHeader();
  ScratchSet set(kExtensions);
  vttest::ScratchDir folder;
  if (!set.Seed()) return 1;

  std::vector<std::string> selection, typeNames;
  std::vector<Registration> registrations;
  for (int i = 0; i < set.count(); ++i) {
    selection.push_back(set.ListExt(i));
    typeNames.push_back(set.ToolTypeName(i));
    registrations.push_back({set.ListExt(i), set.ToolProgId(i), set.ToolTypeName(i), set.Foreign(i),
                             set.ToolIcon(), set.ToolCommand(kOption), set.AppIcon()});
  }
  const std::string registerFile = folder.File("register.reg");
  const std::string unregisterFile = folder.File("unregister.reg");
  const std::string emptyFile = folder.File("empty.reg");
  if (!vttest::WriteFileBytes(registerFile, RegisterRegFile(registrations)) ||
      !vttest::WriteFileBytes(unregisterFile, UnregisterRegFile(registrations)) ||
      !vttest::WriteFileBytes(emptyFile, RegisterRegFile({}))) {
    std::fprintf(stderr, "bench: could not write the .reg files in %s\n", folder.path().c_str());
    return 1;
  }

  Entries entries;
  auto registered = [&] { return set.IsRegistered(kOption); };
  auto original = [&] { return set.IsOriginal(); };
  auto toolWrite = [&] { return ApplyAll(entries, selection, typeNames), true; };
  auto toolUndo = [&] { return UnregisterAll(entries), true; };
  auto floorWrite = [&] {
    for (const Registration& r : registrations)
      if (!FloorRegister(r)) return false;
    return FloorRegisterApp(set.AppIcon());
  };
  auto floorUndo = [&] {
    for (const Registration& r : registrations)
      if (!FloorUnregister(r)) return false;
    return FloorUnregisterApp();
  };

  // Each writer starts from the other program's associations and each undoer from the same
  // registered state, which every check below confirms.
  Rounds rounds;
  rounds.Untimed("fill", [&] { return FillEntries(set, &entries), true; });
  rounds.Step("write tool", toolWrite, registered);
  rounds.Step("undo tool", toolUndo, original);
  rounds.Step("write floor", floorWrite, registered);
  rounds.Step("undo floor", floorUndo, original);
  rounds.Step(
      "write reg", [&] { return RegImport(registerFile); }, registered);
  rounds.Step(
      "undo reg", [&] { return RegImport(unregisterFile); }, original);
  rounds.Step("reg empty", [&] { return RegImport(emptyFile); });
  rounds.Untimed("fill", [&] { return FillEntries(set, &entries), true; });
  rounds.Step(
      "write twice", [&] { return ApplyTwice(entries, selection, typeNames), true; }, registered);
  rounds.Untimed("undo", floorUndo);
  if (!rounds.Run(runs)) return 1;

  TableRow write, undo;
  write.measure = "2 write 500: apply (register /a once)";
  undo.measure = "3 undo 500: unregister all";
  write.tool = rounds.Median("write tool");
  write.floor = rounds.Median("write floor");
  write.alt = rounds.Median("write reg");
  undo.tool = rounds.Median("undo tool");
  undo.floor = rounds.Median("undo floor");
  undo.alt = rounds.Median("undo reg");
  write.altName = undo.altName = "reg import";
  write.goal = undo.goal = "<1x alt";
  write.met = write.tool < write.alt;
  undo.met = undo.tool < undo.alt;

  // Registry calls per extension, counted in one more pass of each side.
  FillEntries(set, &entries);
  auto count = [&](const char* what, const std::function<bool()>& work, double* perExt) {
    RegCallCounter counter;
    work();
    *perExt = static_cast<double>(counter.Total()) / kExtensions;
    std::printf("NOTE\t%s calls/ext: %s\n", what, counter.Breakdown(kExtensions).c_str());
  };
  count("write, tool", toolWrite, &write.toolCalls);
  count("undo, tool", toolUndo, &undo.toolCalls);
  count("write, floor", floorWrite, &write.floorCalls);
  count("undo, floor", floorUndo, &undo.floorCalls);
  if (!set.IsOriginal()) return 1;

  // What the window's search for the rows of each selected extension adds to the apply.
  FillEntries(set, &entries);
  const double start = NowMs();
  int matches = 0;
  for (const std::string& piece : selection)
    for (const auto& entry : entries) matches += CompareNoCase(entry->ext, piece.c_str()) == 0;
  std::printf("NOTE\twrite, the apply's row search alone (%d x %d comparisons): %.2f ms\n",
              static_cast<int>(selection.size()), static_cast<int>(entries.size()), NowMs() - start);

  std::printf(
      "NOTE\twrite, before: each selected row registered bare, then again with its option: %.1f ms "
      "(%.2fx reg import)\n",
      rounds.Median("write twice"), rounds.Median("write twice") / write.alt);
  std::printf("NOTE\treg import of a file without keys (the start of reg.exe): %.1f ms\n",
              rounds.Median("reg empty"));
  PrintRow(write);
  PrintRow(undo);
  return matches == kExtensions ? 0 : 1;
}
