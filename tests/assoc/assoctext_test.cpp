#include <gtest/gtest.h>

#include "assoctext.h"
#include "library.h"

namespace {

std::string Icon(const char* ext) {
  VtOwnedText icon(IconLocation("C:\\P\\player.exe", ext));
  return icon.get();
}

TEST(AssocText, PlayerIconOnlyForItsOwnTypesInAnyCase) {
  StartLibrary();
  for (const char* ext : {".mid", ".rmi", ".rcp", ".r36", ".g36", ".mds", ".MID", ".Rmi", ".RCP",
                          ".R36", ".G36", ".MDS"})
    EXPECT_EQ("C:\\P\\player.exe,1", Icon(ext)) << ext;
  for (const char* ext : {".mp3", ".midi", ".mi", "mid", ".mid.", ".vnt", ".表"})
    EXPECT_EQ("C:\\P\\player.exe,0", Icon(ext)) << ext;
}

}  // namespace
