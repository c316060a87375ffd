#include "rounds.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "stopwatch.h"

namespace vtbench {

void Rounds::Step(const std::string& label, std::function<bool()> run, std::function<bool()> check) {
  steps_.push_back({label, true, std::move(run), std::move(check)});
}

void Rounds::Untimed(const std::string& label, std::function<bool()> run) {
  steps_.push_back({label, false, std::move(run), {}});
}

bool Rounds::Run(int rounds) {
  for (int round = 0; round < rounds; ++round) {
    for (const Entry& step : steps_) {
      const double start = NowMs();
      const bool ran = step.run();
      const double elapsed = NowMs() - start;
      if (!ran) {
        std::fprintf(stderr, "bench: %s failed in round %d\n", step.label.c_str(), round + 1);
        return false;
      }
      if (step.check && !step.check()) {
        std::fprintf(stderr, "bench: %s left the wrong result in round %d\n", step.label.c_str(), round + 1);
        return false;
      }
      if (step.timed) samples_[step.label].push_back(elapsed);
    }
  }
  return true;
}

double Rounds::Median(const std::string& label) const {
  auto found = samples_.find(label);
  return found == samples_.end() ? -1 : vtbench::Median(found->second);
}

int RoundsFromArgs(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") != 0) continue;
    const int runs = std::atoi(argv[i + 1]);
    if (runs > 0) return runs;
  }
  return 7;
}

int ExtensionsFromArgs(int argc, char** argv, int fallback) {
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--extensions") != 0) continue;
    const int count = std::atoi(argv[i + 1]);
    if (count > 0) return count;
  }
  return fallback;
}

}  // namespace vtbench
