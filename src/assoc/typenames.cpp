#include "typenames.h"

namespace {

const int kTypeNameSize = 512;

}  // namespace

const char kTypeNameFile[] = "filetype.ini";

std::string VtTypeNames::For(const char* ext) {
  if (!loaded_) {
    ini_.Load((folder_ + kTypeNameFile).c_str());
    loaded_ = true;
  }
  char name[kTypeNameSize];
  ini_.GetString("filetype", ext, kTypeNameSize, name, "");
  if (name[0] != 0) return name;
  return std::string(ext + 1) + " File";
}
