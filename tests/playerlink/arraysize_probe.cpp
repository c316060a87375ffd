#include "arraysize_probe.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> lastSize{0};
std::atomic<long> count{0};

void* Allocate(std::size_t size) {
  lastSize = size;
  ++count;
  return std::malloc(size != 0 ? size : 1);
}

}  // namespace

namespace vttest {

std::size_t LastArrayAllocationSize() { return lastSize; }
long ArrayAllocationCount() { return count; }

}  // namespace vttest

// Replacements of the global array allocation functions (the standard allows a program to replace
// them). Memory comes from malloc, so every form of delete[] must give it back with free.
void* operator new[](std::size_t size) {
  void* block = Allocate(size);
  if (block == nullptr) std::abort();  // a test program out of memory has nothing left to report
  return block;
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
