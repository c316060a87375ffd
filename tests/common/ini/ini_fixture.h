// Shared set-up of the INI tests: the library started, a scratch folder and a file in it.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "inifile.h"
#include "scratch.h"

class IniTest : public ::testing::Test {
 protected:
  void SetUp() override { StartLibrary(); }
  void TearDown() override { StopLibrary(); }

  // Writes bytes to the scratch file and loads it.
  void LoadBytes(const std::string& bytes) {
    ASSERT_TRUE(vttest::WriteFileBytes(file_, bytes));
    ASSERT_TRUE(ini_.Load(file_.c_str()));
  }
  // What Save leaves in the scratch file ("<missing>" when there is none).
  std::string Saved() {
    ini_.Save();
    std::string bytes;
    return vttest::ReadFileBytes(file_, &bytes) ? bytes : "<missing>";
  }

  vttest::ScratchDir dir_;
  std::string file_ = dir_.File("t.ini");
  VtIniFile ini_;
};
