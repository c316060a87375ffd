// Reading: a VtAssocInfo constructed and loaded for each of 500 extensions associated with another
// program, against the floor of direct registry calls and against AssocQueryStringA asked for the
// same type name, open command and icon; then again with a user choice in Explorer for each
// extension, naming another program, against the floor alone.
#include <windows.h>
#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "associnfo.h"
#include "floor.h"
#include "library.h"
#include "regcount.h"
#include "rounds.h"
#include "scratchset.h"
#include "table.h"

using namespace vtbench;

namespace {

const int kExtensions = 500;
const ASSOCSTR kAssocFacts[] = {ASSOCSTR_FRIENDLYDOCNAME, ASSOCSTR_COMMAND, ASSOCSTR_DEFAULTICON};

bool Same(const char* tool, const char* floor) { return std::strcmp(tool ? tool : "", floor) == 0; }

bool QueryAssoc(ASSOCSTR what, const char* ext, std::string* value) {
  char text[kFloorText];
  DWORD size = sizeof text;
  if (AssocQueryStringA(ASSOCF_NONE, what, ext, nullptr, text, &size) != S_OK) return false;
  value->assign(text);
  return true;
}

// All three sides must find the same facts, or the times compare different work.
bool SameFacts(const ScratchSet& set, const std::vector<std::string>& exts, bool choices) {
  for (int i = 0; i < set.count(); ++i) {
    VtAssocInfo info(exts[i].c_str());
    info.Load();
    FloorFacts facts;
    FloorRead(exts[i].c_str(), &facts);
    if (!Same(info.typeName, facts.typeName) || !Same(info.command, facts.command) ||
        !Same(info.icon, facts.icon) || !Same(info.backup, facts.backup) || info.associated != 0 ||
        !Same(info.userChoice, facts.userChoice) ||
        facts.userChoice != (choices ? set.ChoiceType(i) : std::string()) ||
        facts.typeName != set.ForeignType(i) || facts.command != set.ForeignCommand(i) ||
        facts.icon != set.ForeignIcon(i)) {
      std::fprintf(stderr, "bench: the tool and the floor read %s differently\n", exts[i].c_str());
      return false;
    }
    const std::string expected[] = {set.ForeignType(i), set.ForeignCommand(i), set.ForeignIcon(i)};
    for (int k = 0; k < 3; ++k) {
      std::string value;
      if (!QueryAssoc(kAssocFacts[k], exts[i].c_str(), &value) || value != expected[k]) {
        std::fprintf(stderr, "bench: AssocQueryStringA(%d, %s) gave \"%s\", not \"%s\"\n",
                     static_cast<int>(kAssocFacts[k]), exts[i].c_str(), value.c_str(), expected[k].c_str());
        return false;
      }
    }
  }
  return true;
}

// Registry calls per extension of one untimed pass of each side, into the row and as notes.
void CountCalls(const char* what, const std::function<bool()>& tool, const std::function<bool()>& floor,
                TableRow* row) {
  {
    RegCallCounter counter;
    tool();
    row->toolCalls = static_cast<double>(counter.Total()) / kExtensions;
    std::printf("NOTE\t%s, tool calls/ext: %s\n", what, counter.Breakdown(kExtensions).c_str());
  }
  {
    RegCallCounter counter;
    floor();
    row->floorCalls = static_cast<double>(counter.Total()) / kExtensions;
    std::printf("NOTE\t%s, floor calls/ext: %s\n", what, counter.Breakdown(kExtensions).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = RoundsFromArgs(argc, argv);
  StartLibrary();
  PrintHeader();
  ScratchSet set(kExtensions);
  if (!set.Seed()) return 1;
  std::vector<std::string> exts;
  for (int i = 0; i < set.count(); ++i) exts.push_back(set.ListExt(i));
  if (!SameFacts(set, exts, false)) return 1;

  size_t seen = 0;  // keeps every side's results alive
  auto tool = [&] {
    for (const std::string& ext : exts) {
      VtAssocInfo info(ext.c_str());
      info.Load();
      seen += info.command != nullptr;
    }
    return true;
  };
  auto floor = [&] {
    FloorFacts facts;
    for (const std::string& ext : exts) {
      FloorRead(ext.c_str(), &facts);
      seen += facts.command[0] != 0;
    }
    return true;
  };
  auto assoc = [&] {
    std::string value;
    for (const std::string& ext : exts)
      for (ASSOCSTR what : kAssocFacts)
        if (!QueryAssoc(what, ext.c_str(), &value)) return false;
    return true;
  };

  Rounds rounds;
  rounds.Step("tool", tool);
  rounds.Step("floor", floor);
  rounds.Step("assoc", assoc);
  if (!rounds.Run(runs)) return 1;

  TableRow row;
  row.measure = "1 read 500: construct+Load";
  row.tool = rounds.Median("tool");
  row.floor = rounds.Median("floor");
  row.altName = "AssocQueryStringA x3";
  row.alt = rounds.Median("assoc");
  CountCalls("read", tool, floor, &row);
  row.goal = "<=1.1x floor, <1x alt";
  row.met = row.tool <= 1.1 * row.floor && row.tool < row.alt;
  PrintRow(row);

  if (!set.SeedChoices() || !SameFacts(set, exts, true)) {
    std::fprintf(stderr, "bench: the user choices were not seeded or not read alike\n");
    return 1;
  }
  Rounds chosen;
  chosen.Step("tool", tool);
  chosen.Step("floor", floor);
  if (!chosen.Run(runs)) return 1;
  TableRow choiceRow;
  choiceRow.measure = "1 read 500, a user choice each";
  choiceRow.tool = chosen.Median("tool");
  choiceRow.floor = chosen.Median("floor");
  CountCalls("read with choices", tool, floor, &choiceRow);
  choiceRow.goal = "<=1.1x floor";
  choiceRow.met = choiceRow.tool <= 1.1 * choiceRow.floor;
  PrintRow(choiceRow);
  return seen > 0 ? 0 : 1;
}
