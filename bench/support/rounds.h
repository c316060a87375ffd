// Side-by-side timing: every round runs all steps in the same order, so that a change in the shared
// machine's load falls on every side alike; each label keeps one sample per round.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vtbench {

class Rounds {
 public:
  // A step whose run is timed under label. check runs untimed afterwards and may be empty; a false
  // result of either stops Run.
  void Step(const std::string& label, std::function<bool()> run, std::function<bool()> check = {});
  // Untimed work between steps (bringing the registry back to a starting state, for example).
  void Untimed(const std::string& label, std::function<bool()> run);
  // Runs every step rounds times; false (reported on stderr) as soon as one fails.
  bool Run(int rounds);
  // Median of the label's samples in milliseconds; -1 without samples.
  double Median(const std::string& label) const;

 private:
  struct Entry {
    std::string label;
    bool timed;
    std::function<bool()> run;
    std::function<bool()> check;
  };
  std::vector<Entry> steps_;
  std::map<std::string, std::vector<double>> samples_;
};

// The number of rounds: "--runs N" on the command line, else 7.
int RoundsFromArgs(int argc, char** argv);
// "--extensions N" of the command line (N > 0), else fallback.
int ExtensionsFromArgs(int argc, char** argv, int fallback);

}  // namespace vtbench
