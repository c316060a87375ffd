// Removes scratch keys that a benchmark killed before its own clean-up left behind; scripts/bench.sh
// runs it after every run. Prints how many keys it removed when there were any.
#include <cstdio>

#include "scratchset.h"

int main() {
  const int removed = vtbench::SweepScratchKeys();
  if (removed > 0) std::fprintf(stderr, "bench: removed %d leftover scratch keys\n", removed);
  return 0;
}
