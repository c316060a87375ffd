// Text and path functions over zero-terminated code page 932 byte strings. Each walks texts by whole
// characters, so a trail byte is never taken for a backslash, period, delimiter, bracket or "=".
// None allocates; StartLibrary must have run first. Sizes count bytes, terminator included.
#pragma once
#include "library.h"

// Bytes of the character at text: 2 for a lead byte and its trail byte, 1 for any other byte, 0 at
// the terminator and at a lead byte without a trail byte, where every walk over a text ends.
inline int CharSize(const char* text) {
  const unsigned char first = static_cast<unsigned char>(text[0]);
  if (CharTables.leadByte[first] == 0) return first != 0 ? 1 : 0;
  return text[1] != 0 ? 2 : 0;
}

// Bytes up to the end of the last whole character (a dangling lead byte is not counted).
int WholeCharLength(const char* text);
// Case-insensitive for single-byte characters, exact for double-byte ones; <0, 0, >0.
int CompareNoCase(const char* a, const char* b);
// Trim ASCII and full-width (0x81 0x40) spaces in place. Null gives null.
char* TrimRight(char* text);
char* TrimLeft(char* text);
void TrimBoth(char* text);
// Single-byte CR, LF and tab become spaces. Null gives null.
char* ControlsToSpaces(char* text);
// Last character start equal to the single-byte c; for c == 0 the terminator. Null if none.
const char* FindLastChar(const char* text, char c);
inline char* FindLastChar(char* text, char c) {
  return const_cast<char*>(FindLastChar(static_cast<const char*>(text), c));
}
// First occurrence of pattern, byte-exact; an empty pattern never matches.
const char* FindText(const char* text, const char* pattern);
// Upper-cases single-byte characters in place; double-byte characters are left whole.
void UpperInPlace(char* text);
// Lower-cases single-byte characters in place, as UpperInPlace upper-cases them.
void LowerInPlace(char* text);
// Cuts the next token at a delimiter (single-byte characters) in place. *resume is null after the
// last token. Returns null when there is no further token.
char* NextToken(char* text, const char* delimiters, char** resume);
// True for an existing path that is not a folder; anything from "::" on is ignored. No error boxes.
bool FileExists(const char* path);
// dest = path up to and including its last backslash (empty if none). When the result would not
// fit in size bytes, dest becomes the empty text. Null dest gives null; null path empties dest.
char* FolderOf(char* dest, int size, const char* path);
// dest = path with its extension (after the last period of the file name) replaced by ext, or with
// ext appended when the file name has none. Empty when the result would not fit in size bytes.
char* ChangeExtension(char* dest, int size, const char* path, const char* ext);
// A whole decimal number with optional sign, surrounding ASCII spaces and an ignored fraction;
// wraps like 32-bit arithmetic on overflow; otherwise dflt.
int ParseIntOr(const char* text, int dflt);
// Copies whole characters that fit in size - 1 bytes and terminates (size <= 0 writes nothing).
// Returns the source length up to its last whole character: a result >= size means the copy was cut.
int CopyBounded(char* dest, const char* src, int size);
// Appends src to the text in dest (shorter than size) as CopyBounded copies it, within size bytes
// in all. Returns the length the whole text would have: a result >= size means it was cut.
int AppendBounded(char* dest, const char* src, int size);
