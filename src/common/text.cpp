#include "text.h"

#include <climits>
#include <cstring>

#include "library.h"

namespace {

using Byte = unsigned char;

inline bool IsLead(Byte b) { return CharTables.leadByte[b] != 0; }

inline Byte* Bytes(char* text) { return reinterpret_cast<Byte*>(text); }
inline const Byte* Bytes(const char* text) { return reinterpret_cast<const Byte*>(text); }

inline bool IsFullWidthSpace(const Byte* p) { return p[0] == 0x81 && p[1] == 0x40; }

inline bool IsDigit(Byte b) { return b >= '0' && b <= '9'; }

}  // namespace

int WholeCharLength(const char* text) {
  const Byte* p = Bytes(text);
  int n = 0;
  while (p[n] != 0) {
    if (!IsLead(p[n])) {
      ++n;
    } else if (p[n + 1] != 0) {
      n += 2;
    } else {
      break;
    }
  }
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
  Byte* p = Bytes(text);
  Byte* run = nullptr;  // start of the trailing run of spaces seen so far
  while (*p != 0) {
    if (IsLead(*p)) {
      if (p[1] == 0) {
        *p = 0;
        break;
      }
      if (IsFullWidthSpace(p)) {
        if (run == nullptr) run = p;
      } else {
        run = nullptr;
      }
      p += 2;
    } else {
      if (*p == ' ') {
        if (run == nullptr) run = p;
      } else {
        run = nullptr;
      }
      ++p;
    }
  }
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
  Byte* p = Bytes(text);
  while (*p != 0) {
    if (IsLead(*p)) {
      if (p[1] == 0) {
        *p = 0;
        break;
      }
      p += 2;
      continue;
    }
    if (*p == '\r' || *p == '\n' || *p == '\t') *p = ' ';
    ++p;
  }
  return text;
}

const char* FindLastChar(const char* text, char c) {
  if (text == nullptr) return nullptr;
  const Byte* p = Bytes(text);
  const Byte want = static_cast<Byte>(c);
  const Byte* last = nullptr;
  while (*p != 0) {
    if (IsLead(*p)) {
      if (p[1] == 0) break;  // a dangling lead byte ends the text
      if (*p == want) last = p;
      p += 2;
    } else {
      if (*p == want) last = p;
      ++p;
    }
  }
  if (want == 0) last = p;
  return reinterpret_cast<const char*>(last);
}

char* FindLastChar(char* text, char c) {
  return const_cast<char*>(FindLastChar(static_cast<const char*>(text), c));
}

const char* FindText(const char* text, const char* pattern) {
  const Byte* p = Bytes(text);
  const Byte* pat = Bytes(pattern);
  int patLen = -1;  // worked out at the first candidate only
  while (*p != 0) {
    const bool lead = IsLead(*p);
    if (lead && p[1] == 0) return nullptr;
    if (*p == pat[0]) {
      if (patLen < 0) patLen = WholeCharLength(pattern);
      // A pattern of only a dangling lead byte has no whole character to match.
      if (patLen == 0) return nullptr;
      int i = 0;
      while (i < patLen && p[i] != 0 && p[i] == pat[i]) ++i;
      if (i == patLen) return reinterpret_cast<const char*>(p);
    }
    p += lead ? 2 : 1;
  }
  return nullptr;
}

void UpperInPlace(char* text) {
  Byte* p = Bytes(text);
  const Byte* upper = CharTables.upperMap;
  // Mapping a trail byte would turn one double-byte character into another, so those stay whole.
  while (*p != 0) {
    if (IsLead(*p)) {
      if (p[1] == 0) break;
      p += 2;
    } else {
      *p = upper[*p];
      ++p;
    }
  }
}

char* NextToken(char* text, const char* delimiters, char** resume) {
  *resume = nullptr;
  if (text == nullptr) return nullptr;
  Byte* p = Bytes(text);
  while (*p != 0) {
    if (IsLead(*p)) {
      if (p[1] == 0) {
        *p = 0;
        return text;
      }
      p += 2;
      continue;
    }
    for (const char* d = delimiters; *d != 0; ++d) {
      if (*p == static_cast<Byte>(*d)) {
        *p = 0;
        *resume = reinterpret_cast<char*>(p + 1);
        return text;
      }
    }
    ++p;
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
  const Byte* p = Bytes(src);
  int count = 0;
  int copied = 0;
  while (*p != 0) {
    const int len = !IsLead(*p) ? 1 : (p[1] != 0 ? 2 : 0);
    if (len == 0) break;
    count += len;
    // count only grows, so once a character misses the buffer no later one can fit.
    if (count < size) {
      std::memcpy(dest + copied, p, static_cast<size_t>(len));
      copied += len;
    }
    p += len;
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
    // Checked before reading the trail byte, so nothing at or past size is touched.
    if (count >= size - 2 || p[count + 1] == 0) break;
    count += 2;
  }
  return count + CopyBounded(dest + count, src, size - count);
}
