// Wall-clock time for the benchmarks and the median of a side's runs.
#pragma once
#include <vector>

namespace vtbench {

// Milliseconds from an arbitrary fixed point, at the performance counter's resolution.
double NowMs();
// The median of the samples; -1 for none.
double Median(std::vector<double> samples);

}  // namespace vtbench
