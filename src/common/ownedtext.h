// Texts owned through the runtime's allocation: made by malloc or a duplicate, released with free.
#pragma once
#include <cstdlib>
#include <cstring>

#include "owner.h"

template <class Char>
void FreeRuntimeText(Char* text) {
  std::free(text);
}
// Owns one such text and frees it at the end of its scope, as VtHandle owns a kernel handle.
using VtOwnedText = VtOwner<char, FreeRuntimeText<char>>;
using VtOwnedWide = VtOwner<wchar_t, FreeRuntimeText<wchar_t>>;  // widetext.h

// An owned copy of text; null for null or when memory ran out.
inline VtOwnedText DupText(const char* text) {
  return VtOwnedText(text != nullptr ? _strdup(text) : nullptr);
}

// The same for a UTF-16 text.
inline VtOwnedWide DupWide(const wchar_t* text) {
  return VtOwnedWide(text != nullptr ? _wcsdup(text) : nullptr);
}

// For a plain char* or wchar_t* field that owns its text (VtAssocInfo's): frees *field and puts
// value's text in its place.
inline void ReplaceText(char** field, VtOwnedText value) {
  std::free(*field);
  *field = value.release();
}
inline void ReplaceText(wchar_t** field, VtOwnedWide value) {
  std::free(*field);
  *field = value.release();
}
