#include "text.h"

#include <climits>
#include <cstring>

namespace {

using Byte = unsigned char;

inline bool IsLead(Byte b) { return CharTables.leadByte[b] != 0; }

inline const Byte* Bytes(const char* text) { return reinterpret_cast<const Byte*>(text); }

inline bool IsFullWidthSpace(const Byte* p) { return p[0] == 0x81 && p[1] == 0x40; }

inline bool IsDigit(Byte b) { return b >= '0' && b <= '9'; }

// Where a walk stopped short of the terminator, a lead byte without its trail byte ends the text.
inline void CutDanglingLead(char* stop) {
  if (*stop != 0) *stop = 0;
}

}  // namespace

int WholeCharLength(const char* text) {
  int n = 0;
  while (const int size = CharSize(text + n)) n += size;
  return n;
}

int CompareNoCase(const char* textA, const char* textB) {
  const Byte* a = Bytes(textA);
  const Byte* b = Bytes(textB);
  const Byte* lower = CharTables.lowerMap;
  for (;;) {
    if (a[0] == 0 || b[0] == 0) return a[0] - b[0];
    if (IsLead(a[0])) {
      if (!IsLead(b[0])) return a[0] - b[0];
      if (a[0] == b[0] && a[1] == b[1] && a[1] != 0) {
        a += 2;
        b += 2;
        continue;
      }
      return a[0] != b[0] ? a[0] - b[0] : a[1] - b[1];
    }
    if (IsLead(b[0])) return a[0] - b[0];
    if (lower[a[0]] != lower[b[0]]) return lower[a[0]] - lower[b[0]];
    ++a;
    ++b;
  }
}

char* TrimRight(char* text) {
  if (text == nullptr) return nullptr;
  char* p = text;
  char* run = nullptr;  // start of the trailing run of spaces seen so far
  for (int size; (size = CharSize(p)) != 0; p += size) {
    const bool space = size == 1 ? *p == ' ' : IsFullWidthSpace(Bytes(p));
    if (!space) {
      run = nullptr;
    } else if (run == nullptr) {
      run = p;
    }
  }
  CutDanglingLead(p);
  if (run != nullptr) *run = 0;
  return text;
}

char* TrimLeft(char* text) {
  if (text == nullptr) return nullptr;
  const Byte* p = Bytes(text);
  // A full-width space is a lead byte followed by 0x40, so it can be tested without the tables.
  for (;;) {
    if (*p == ' ') {
      ++p;
    } else if (IsFullWidthSpace(p)) {
      p += 2;
    } else {
      break;
    }
  }
  const char* rest = reinterpret_cast<const char*>(p);
  if (rest != text) std::memmove(text, rest, std::strlen(rest) + 1);
  return text;
}

void TrimBoth(char* text) { TrimLeft(TrimRight(text)); }

char* ControlsToSpaces(char* text) {
  if (text == nullptr) return nullptr;
  char* p = text;
  for (int size; (size = CharSize(p)) != 0; p += size)
    if (size == 1 && (*p == '\r' || *p == '\n' || *p == '\t')) *p = ' ';
  CutDanglingLead(p);
  return text;
}

const char* FindLastChar(const char* text, char c) {
  if (text == nullptr) return nullptr;
  const char* p = text;
  const char* last = nullptr;
  for (int size; (size = CharSize(p)) != 0; p += size)
    if (*p == c) last = p;
  return c == 0 ? p : last;
}

const char* FindText(const char* text, const char* pattern) {
  int patLen = -1;  // worked out at the first candidate only
  for (const char* p = text; const int size = CharSize(p); p += size) {
    if (*p != pattern[0]) continue;
    if (patLen < 0) patLen = WholeCharLength(pattern);
    // A pattern of only a dangling lead byte has no whole character to match.
    if (patLen == 0) return nullptr;
    int i = 0;
    while (i < patLen && p[i] != 0 && p[i] == pattern[i]) ++i;
    if (i == patLen) return p;
  }
  return nullptr;
}

void UpperInPlace(char* text) {
  // Mapping a trail byte would turn one double-byte character into another, so those stay whole.
  for (char* p = text; const int size = CharSize(p); p += size)
    if (size == 1) *p = static_cast<char>(CharTables.upperMap[static_cast<Byte>(*p)]);
}

void LowerInPlace(char* text) {
  for (char* p = text; const int size = CharSize(p); p += size)
    if (size == 1) *p = static_cast<char>(CharTables.lowerMap[static_cast<Byte>(*p)]);
}

char* NextToken(char* text, const char* delimiters, char** resume) {
  *resume = nullptr;
  if (text == nullptr) return nullptr;
  char* p = text;
  for (int size; (size = CharSize(p)) != 0; p += size) {
    if (size == 1 && std::strchr(delimiters, *p) != nullptr) {
      *p = 0;
      *resume = p + 1;
      return text;
    }
  }
  // A dangling lead byte ends the last token, even one it leaves empty.
  if (*p != 0) {
    *p = 0;
    return text;
  }
  return *text != 0 ? text : nullptr;
}

int ParseIntOr(const char* text, int dflt) {
  const Byte* p = Bytes(text);
  while (*p == ' ') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (!IsDigit(*p)) return dflt;
  // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
  unsigned value = 0;
  while (IsDigit(*p)) value = value * 10u + static_cast<unsigned>(*p++ - '0');
  if (*p == '.') {
    ++p;
    while (IsDigit(*p)) ++p;
  }
  while (*p == ' ') ++p;
  if (*p != 0) return dflt;
  if (negative) value = 0u - value;
  // Two's-complement reinterpretation, spelled out so no out-of-range conversion happens.
  if (value <= static_cast<unsigned>(INT_MAX)) return static_cast<int>(value);
  return -static_cast<int>(~value) - 1;
}

int CopyBounded(char* dest, const char* src, int size) {
  int count = 0;
  int copied = 0;
  while (const int len = CharSize(src + count)) {
    // count only grows, so once a character misses the buffer no later one can fit.
    if (count + len < size) {
      std::memcpy(dest + copied, src + count, static_cast<size_t>(len));
      copied += len;
    }
    count += len;
  }
  if (size > 0) dest[copied] = 0;
  return count;
}

int AppendBounded(char* dest, const char* src, int size) {
  const Byte* p = Bytes(dest);
  int count = 0;
  while (count < size && p[count] != 0) {
    if (!IsLead(p[count])) {
      ++count;
      continue;
    }
    // Checked before the trail byte is read, so nothing at or past size is touched; a dangling
    // lead byte, or a character that leaves no room for the terminator, is written over.
    if (count >= size - 2 || p[count + 1] == 0) break;
    count += 2;
  }
  return count + CopyBounded(dest + count, src, size - count);
}
