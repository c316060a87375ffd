// A buffer pre-filled with a marker byte, so a write past the size a function was given shows up.
#pragma once
#include <cstring>
#include <string>

namespace vttest {

class Marked {
 public:
  Marked() : bytes_(1024, '\xBD') {}
  // Starts with text and its terminator; every later byte is the marker.
  explicit Marked(const char* text) : Marked() {
    bytes_.replace(0, std::strlen(text) + 1, text, std::strlen(text) + 1);
  }
  char* data() { return &bytes_[0]; }
  // True when no byte from offset on was written.
  bool IntactFrom(size_t offset) const { return bytes_.find_first_not_of('\xBD', offset) == std::string::npos; }

 private:
  std::string bytes_;
};

}  // namespace vttest
