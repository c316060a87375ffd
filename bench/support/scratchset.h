// The scratch associations of one benchmark process: count extensions ".vtb<pid>_<n>" in the
// machine's classes, each naming another program's ProgID "VtBenchApp<pid>_<n>" with a type name,
// an icon and an open command; the user has no association of their own. Every key of the set, the
// tool's ProgIDs "vantrel.VTB<pid>_<n>" and the extension keys in both hives' classes and the user
// choices included, is deleted when the set is made and when it goes away.
#pragma once
#include <string>
#include <vector>

#include "classes.h"

namespace vtbench {

// The player path that the benchmarks register (it need not exist).
extern const char kPlayerPath[];

class ScratchSet {
 public:
  // Extensions first + 1 to first + count: sets of one process with disjoint ranges stand apart.
  explicit ScratchSet(int count, int first = 0);
  ~ScratchSet();
  ScratchSet(const ScratchSet&) = delete;
  ScratchSet& operator=(const ScratchSet&) = delete;

  // Writes the other program's associations, and the user's classes key that every user of
  // Windows has; false (reported on stderr) when one key cannot be written.
  bool Seed() const;
  // Gives every extension a user choice in Explorer (HKEY_CURRENT_USER FileExts\<ext>\UserChoice)
  // naming the next extension's other program; Remove deletes them.
  bool SeedChoices() const;
  int count() const { return count_; }
  // The extension key as seeded (lower case).
  std::string Ext(int i) const;
  // The same extension as the tool's list passes it: in capitals.
  std::string ListExt(int i) const;
  std::string Foreign(int i) const;
  std::string ForeignType(int i) const;
  std::string ForeignIcon(int i) const;
  std::string ForeignCommand(int i) const;
  // What the tool shows for the user choice that SeedChoices gives ext i: the type name it names.
  std::string ChoiceType(int i) const;
  // What registering ListExt(i) at player produces.
  std::string ToolProgId(int i) const;
  std::string ToolTypeName(int i) const;  // the list's fallback: extension without dot + " File"
  std::string ToolIcon(const char* player = kPlayerPath) const;
  std::string ToolCommand(const char* option, const char* player = kPlayerPath) const;
  std::string AppIcon(const char* player = kPlayerPath) const;  // Capabilities' ApplicationIcon

  // True when every extension names its other program again and nothing of the tool's is left in
  // either hive: no ProgID, no OpenWithProgids, no extension key of the user's, no Default Apps
  // registration.
  bool IsOriginal() const;
  // True when every extension is registered to the tool at player in scope's classes with the given
  // option (with the other program kept as "backup" where the scope's classes named it), offered in
  // OpenWithProgids and listed in the tool's Default Apps registration in scope's hive.
  bool IsRegistered(const char* option, VtScope scope = VtScope::kMachine,
                    const char* player = kPlayerPath) const;
  // What the scope's classes name for ext i before the tool registers it, which the tool keeps as
  // "backup": the other program in the machine's, nothing in the user's.
  std::string Backup(int i, VtScope scope) const;

 private:
  // Deletes every key of the set.
  void Remove() const;
  std::string Name(const char* prefix, int i) const;
  int count_;
  int first_;
  unsigned long pid_;
};

// Deletes scratch keys of any benchmark process (left behind by one that was killed) in both hives,
// and the tool's Default Apps registration in each once no other extension is left in it.
int SweepScratchKeys();

}  // namespace vtbench
