// Counts the registry calls that this executable makes (the tool's statically linked code and the
// floor alike) by pointing its import table entries for advapi32's registry functions at counting
// wrappers for the lifetime of a RegCallCounter. Calls made inside system DLLs are not seen.
#pragma once
#include <string>

namespace vtbench {

class RegCallCounter {
 public:
  RegCallCounter();   // starts at zero
  ~RegCallCounter();  // puts the original entries back
  RegCallCounter(const RegCallCounter&) = delete;
  RegCallCounter& operator=(const RegCallCounter&) = delete;

  // Calls counted so far; -1 when the import table could not be patched.
  long Total() const;
  // "open 5, query 10, ..." for the calls counted so far, each divided by units (per extension).
  std::string Breakdown(int units) const;

 private:
  bool patched_;
};

}  // namespace vtbench
