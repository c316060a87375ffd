// Library start-up; its environment also starts the library for every other test of this program.
#include <gtest/gtest.h>

#include <cstring>

#include "library.h"

namespace {

struct LibraryEnvironment : ::testing::Environment {
  void SetUp() override { StartLibrary(); }
  void TearDown() override { StopLibrary(); }
};
[[maybe_unused]] const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);

// Only a start from count 0 fills the tables, so a poisoned entry shows which starts filled them.
TEST(Library, OnlyAStartFromZeroFillsAndStopsNeverGoBelowZero) {
  unsigned char& entry = CharTables.lowerMap['Q'];
  StopLibrary();
  StopLibrary();  // one more than was started
  EXPECT_EQ('q', entry);  // stopping leaves the tables in place
  entry = 0;
  StartLibrary();
  EXPECT_EQ('q', entry);
  entry = 0;
  StartLibrary();
  EXPECT_EQ(0, entry);
  entry = 'q';
  StopLibrary();
}

TEST(Library, ExeFolderAndTables) {
  const size_t n = std::strlen(exeFolder);
  ASSERT_GT(n, 0u);
  EXPECT_EQ('\\', exeFolder[n - 1]);
  EXPECT_EQ(0, std::strncmp(exeFile, exeFolder, n));
  EXPECT_STRCASEEQ("text_tests.exe", exeFile + n);

  EXPECT_EQ(0, CharTables.leadByte[0] | CharTables.lowerMap[0] | CharTables.upperMap[0]);
  for (int b : {0x81, 0x9F, 0xE0, 0xFC}) EXPECT_NE(0, CharTables.leadByte[b]) << b;
  for (int b : {0x80, 0xA0, 0xDF}) EXPECT_EQ(0, CharTables.leadByte[b]) << b;
  EXPECT_EQ('a', CharTables.lowerMap['A']);
  EXPECT_EQ('A', CharTables.upperMap['A']);  // taken of the lower-cased byte
}

}  // namespace
