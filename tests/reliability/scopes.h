// The tool's two scopes as the parameter of a suite that runs in both.
#pragma once
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "classes.h"

// How a test's parameter is shown.
inline void PrintTo(VtScope scope, std::ostream* out) {
  *out << (scope == VtScope::kMachine ? "the machine's scope" : "the user's scope");
}

namespace vttest {

// "Machine" or "User": the last part of each test's name.
inline std::string ScopeName(const ::testing::TestParamInfo<VtScope>& param) {
  return param.param == VtScope::kMachine ? "Machine" : "User";
}

inline VtScope OtherScope(VtScope scope) {
  return scope == VtScope::kMachine ? VtScope::kUser : VtScope::kMachine;
}

}  // namespace vttest
