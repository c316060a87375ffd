// Reading: a VtAssocInfo constructed and loaded for each of 500 extensions associated with another
// program in the machine's classes, in the machine's scope and in the user's, against the floor of
// the same lookups in direct registry calls and against AssocQueryStringA asked for the same type
// name, open command and icon; then again with a user choice in Explorer for each extension,
// naming another program, against the floor alone.
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
#include "widetext.h"

using namespace vtbench;

namespace {

const int kExtensions = 500;
const ASSOCSTR kAssocFacts[] = {ASSOCSTR_FRIENDLYDOCNAME, ASSOCSTR_COMMAND, ASSOCSTR_DEFAULTICON};
const VtScope kScopes[] = {VtScope::kMachine, VtScope::kUser};

const char* ScopeName(VtScope scope) { return scope == VtScope::kMachine ? "machine" : "user"; }

bool Same(const char* tool, const char* floor) { return std::strcmp(tool ? tool : "", floor) == 0; }
// The tool holds type names in UTF-16; the scratch names are ASCII, so the floor's ANSI read
// compares as it stands.
bool Same(const wchar_t* tool, const char* floor) {
  return tool ? WideFrom(floor, CP_ACP) == tool : floor[0] == 0;
}

bool QueryAssoc(ASSOCSTR what, const char* ext, std::string* value) {
  char text[kFloorText];
  DWORD size = sizeof text;
  if (AssocQueryStringA(ASSOCF_NONE, what, ext, nullptr, text, &size) != S_OK) return false;
  value->assign(text);
  return true;
}

// The tool and the floor must find the same facts in scope, or the times compare different work.
// The user has no classes of their own, so the user's scope shows the machine's association.
bool SameFacts(const ScratchSet& set, const std::vector<std::string>& exts, bool choices,
               VtScope scope) {
  for (int i = 0; i < set.count(); ++i) {
    VtAssocInfo info(exts[i].c_str(), scope);
    info.Load();
    FloorFacts facts;
    FloorRead(exts[i].c_str(), &facts, scope);
    if (!Same(info.typeName, facts.typeName) || !Same(info.command, facts.command) ||
        !Same(info.icon, facts.icon) || !Same(info.backup, facts.backup) || info.associated != 0 ||
        info.fromMachine != (scope == VtScope::kUser ? 1 : 0) ||
        !Same(info.userChoice, facts.userChoice) ||
        facts.userChoice != (choices ? set.ChoiceType(i) : std::string()) ||
        facts.typeName != set.ForeignType(i) || facts.command != set.ForeignCommand(i) ||
        facts.icon != set.ForeignIcon(i)) {
      std::fprintf(stderr, "bench: the tool and the floor read %s differently in the %s scope\n",
                   exts[i].c_str(), ScopeName(scope));
      return false;
    }
  }
  return true;
}

// AssocQueryStringA must find the same facts as well.
bool SameAssocFacts(const ScratchSet& set, const std::vector<std::string>& exts) {
  for (int i = 0; i < set.count(); ++i) {
    const std::string expected[] = {set.ForeignType(i), set.ForeignCommand(i), set.ForeignIcon(i)};
    for (int k = 0; k < 3; ++k) {
      std::string value;
      if (!QueryAssoc(kAssocFacts[k], exts[i].c_str(), &value) || value != expected[k]) {
        std::fprintf(stderr, "bench: AssocQueryStringA(%d, %s) gave \"%s\", not \"%s\"\n",
                     static_cast<int>(kAssocFacts[k]), exts[i].c_str(), value.c_str(),
                     expected[k].c_str());
        return false;
      }
    }
  }
  return true;
}

// Registry calls per extension of one untimed pass of each side, into the row and as notes.
void CountCalls(const std::string& what, const std::function<bool()>& tool,
                const std::function<bool()>& floor, TableRow* row) {
  {
    RegCallCounter counter;
    tool();
    row->toolCalls = static_cast<double>(counter.Total()) / kExtensions;
    std::printf("NOTE\t%s, tool calls/ext: %s\n", what.c_str(),
                counter.Breakdown(kExtensions).c_str());
  }
  {
    RegCallCounter counter;
    floor();
    row->floorCalls = static_cast<double>(counter.Total()) / kExtensions;
    std::printf("NOTE\t%s, floor calls/ext: %s\n", what.c_str(),
                counter.Breakdown(kExtensions).c_str());
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
  for (VtScope scope : kScopes)
    if (!SameFacts(set, exts, false, scope)) return 1;
  if (!SameAssocFacts(set, exts)) return 1;

  size_t seen = 0;  // keeps every side's results alive
  auto tool = [&](VtScope scope) {
    return [&, scope] {
      for (const std::string& ext : exts) {
        VtAssocInfo info(ext.c_str(), scope);
        info.Load();
        seen += info.command != nullptr;
      }
      return true;
    };
  };
  auto floor = [&](VtScope scope) {
    return [&, scope] {
      FloorFacts facts;
      for (const std::string& ext : exts) {
        FloorRead(ext.c_str(), &facts, scope);
        seen += facts.command[0] != 0;
      }
      return true;
    };
  };
  auto assoc = [&] {
    std::string value;
    for (const std::string& ext : exts)
      for (ASSOCSTR what : kAssocFacts)
        if (!QueryAssoc(what, ext.c_str(), &value)) return false;
    return true;
  };

  // Both scopes in the same rounds, so that the machine's load falls on them alike.
  Rounds rounds;
  for (VtScope scope : kScopes) {
    rounds.Step(std::string("tool ") + ScopeName(scope), tool(scope));
    rounds.Step(std::string("floor ") + ScopeName(scope), floor(scope));
  }
  rounds.Step("assoc", assoc);
  if (!rounds.Run(runs)) return 1;

  std::vector<TableRow> rows;
  for (VtScope scope : kScopes) {
    TableRow row;
    row.measure = std::string("1 read 500, ") + ScopeName(scope) + ": construct+Load";
    row.tool = rounds.Median(std::string("tool ") + ScopeName(scope));
    row.floor = rounds.Median(std::string("floor ") + ScopeName(scope));
    row.altName = "AssocQueryStringA x3";
    row.alt = rounds.Median("assoc");
    CountCalls(std::string("read, ") + ScopeName(scope), tool(scope), floor(scope), &row);
    row.goal = "<=1.1x floor, <1x alt";
    row.met = row.tool <= 1.1 * row.floor && row.tool < row.alt;
    rows.push_back(row);
  }

  if (!set.SeedChoices()) {
    std::fprintf(stderr, "bench: the user choices were not seeded\n");
    return 1;
  }
  for (VtScope scope : kScopes)
    if (!SameFacts(set, exts, true, scope)) return 1;
  Rounds chosen;
  for (VtScope scope : kScopes) {
    chosen.Step(std::string("tool ") + ScopeName(scope), tool(scope));
    chosen.Step(std::string("floor ") + ScopeName(scope), floor(scope));
  }
  if (!chosen.Run(runs)) return 1;
  for (VtScope scope : kScopes) {
    TableRow row;
    row.measure = std::string("1 read 500, ") + ScopeName(scope) + ", a user choice each";
    row.tool = chosen.Median(std::string("tool ") + ScopeName(scope));
    row.floor = chosen.Median(std::string("floor ") + ScopeName(scope));
    CountCalls(std::string("read with choices, ") + ScopeName(scope), tool(scope), floor(scope),
               &row);
    row.goal = "<=1.1x floor";
    row.met = row.tool <= 1.1 * row.floor;
    rows.push_back(row);
  }
  for (const TableRow& row : rows) PrintRow(row);
  return seen > 0 ? 0 : 1;
}
