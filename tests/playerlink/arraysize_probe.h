// Records the size of every array allocation of the test program, so a test can see how many bytes
// a function asked for.
#pragma once
#include <cstddef>

namespace vttest {

// The byte count of the latest new[] and how many new[] calls there were so far.
std::size_t LastArrayAllocationSize();
long ArrayAllocationCount();

}  // namespace vttest
