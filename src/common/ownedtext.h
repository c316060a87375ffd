// Texts owned through the runtime's allocation: made by malloc or a duplicate, released with free.
#pragma once
#include <cstdlib>
#include <cstring>
#include <memory>

struct VtFreeText {
  void operator()(char* text) const { std::free(text); }
};
// A working copy that a function releases when it returns.
using VtOwnedText = std::unique_ptr<char, VtFreeText>;

// An owned copy of text; null for null or when memory ran out.
inline char* DupText(const char* text) { return text != nullptr ? _strdup(text) : nullptr; }

// Frees *field and puts value (owned, may be null) in its place.
inline void ReplaceText(char** field, char* value) {
  std::free(*field);
  *field = value;
}
