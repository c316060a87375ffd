#include "stopwatch.h"

#include <windows.h>

#include <algorithm>

namespace vtbench {

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

double Median(std::vector<double> samples) {
  if (samples.empty()) return -1;
  std::sort(samples.begin(), samples.end());
  const size_t middle = samples.size() / 2;
  if (samples.size() % 2 != 0) return samples[middle];
  return (samples[middle - 1] + samples[middle]) / 2;
}

}  // namespace vtbench
