// Texts owned through the runtime's allocation: made by malloc or a duplicate, released with free.
#pragma once
#include <cstdlib>
#include <cstring>

// Owns one such text (Char: char, or wchar_t for UTF-16) and frees it at the end of its scope. It
// moves and never copies, as VtHandle owns a kernel handle.
template <class Char>
class VtOwned {
 public:
  explicit VtOwned(Char* text = nullptr) : text_(text) {}
  ~VtOwned() { std::free(text_); }
  VtOwned(VtOwned&& other) noexcept : text_(other.release()) {}
  VtOwned& operator=(VtOwned&& other) noexcept {
    reset(other.release());
    return *this;
  }
  VtOwned(const VtOwned&) = delete;
  VtOwned& operator=(const VtOwned&) = delete;

  Char* get() const { return text_; }
  explicit operator bool() const { return text_ != nullptr; }
  // Hands the text over: the caller frees it.
  Char* release() {
    Char* text = text_;
    text_ = nullptr;
    return text;
  }
  // Frees the text held and takes text (may be null) in its place.
  void reset(Char* text = nullptr) {
    std::free(text_);
    text_ = text;
  }

 private:
  Char* text_;
};
using VtOwnedText = VtOwned<char>;
using VtOwnedWide = VtOwned<wchar_t>;  // widetext.h

// An owned copy of text; null for null or when memory ran out.
inline char* DupText(const char* text) { return text != nullptr ? _strdup(text) : nullptr; }

// Frees *field and puts value (owned, may be null) in its place.
inline void ReplaceText(char** field, char* value) {
  std::free(*field);
  *field = value;
}
