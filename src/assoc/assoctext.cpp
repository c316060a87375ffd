#include "assoctext.h"

#include <windows.h>

#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "text.h"
#include "widetext.h"

namespace {

// One owned text from the pieces in order; null pieces count as empty.
VtOwnedText Join(std::initializer_list<const char*> pieces) {
  size_t size = 1;
  for (const char* piece : pieces) size += piece ? std::strlen(piece) : 0;
  VtOwnedText text(static_cast<char*>(std::malloc(size)));
  if (!text) return nullptr;
  char* end = text.get();
  for (const char* piece : pieces) {
    if (!piece) continue;
    size_t length = std::strlen(piece);
    std::memcpy(end, piece, length);
    end += length;
  }
  *end = '\0';
  return text;
}

bool TakesPlayerIcon(const char* ext) {
  static const char* const kPlayerIconTypes[] = {".mid", ".rmi", ".rcp", ".r36", ".g36", ".mds"};
  for (const char* candidate : kPlayerIconTypes)
    if (SameKeyName(ext, candidate)) return true;
  return false;
}

bool IsAscii(const char* text) {
  for (; *text != 0; ++text)
    if (static_cast<unsigned char>(*text) >= 0x80) return false;
  return true;
}

}  // namespace

std::wstring KeyNameFold(const char* name) {
  const VtOwnedWide wide(Widen(name));
  if (!wide) return std::wstring();
  CharUpperBuffW(wide.get(), static_cast<DWORD>(std::wcslen(wide.get())));
  return std::wstring(wide.get());
}

bool SameKeyName(const char* a, const char* b) {
  if (CompareNoCase(a, b) == 0) return true;
  // Between two names of ASCII alone the registry folds no other letters than CompareNoCase does;
  // the conversion is left for the rest (ı, Ａ, ...), which may fold into ASCII letters too.
  if (IsAscii(a) && IsAscii(b)) return false;
  const std::wstring folded = KeyNameFold(a);
  return !folded.empty() && folded == KeyNameFold(b);
}

bool SameKeyName(const std::wstring& a, const char* b) {
  if (a.empty()) return false;
  std::wstring folded = a;
  CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
  return folded == KeyNameFold(b);
}

std::vector<std::string> Pieces(std::string text) {
  std::vector<std::string> pieces;
  char* rest = nullptr;
  for (char* piece = NextToken(&text[0], ";", &rest); piece != nullptr;
       piece = NextToken(rest, ";", &rest))
    pieces.push_back(piece);
  return pieces;
}

const char kToolProgIdPrefix[] = "vantrel";

VtOwnedText ToolProgId(const char* ext) { return Join({kToolProgIdPrefix, ext}); }

// The prefix is single-byte letters only: a name that begins with a double-byte character differs
// within it, and no trail byte is compared as a letter.
const char* ToolProgIdExtension(const char* name) {
  const size_t length = sizeof kToolProgIdPrefix - 1;
  if (std::strlen(name) <= length || name[length] != '.') return nullptr;
  char head[sizeof kToolProgIdPrefix];
  std::memcpy(head, name, length);
  head[length] = 0;
  return CompareNoCase(head, kToolProgIdPrefix) == 0 ? name + length : nullptr;
}

VtOwnedText IconLocation(const char* exePath, const char* ext) {
  return Join({exePath, TakesPlayerIcon(ext) ? ",1" : ",0"});
}

VtOwnedText AppIconLocation(const char* exePath) { return Join({exePath, ",0"}); }

VtOwnedText OpenCommand(const char* exePath, const char* option) {
  bool withOption = option && option[0];
  return Join({"\"", exePath, "\" \"%1\"", withOption ? " " : nullptr, withOption ? option : nullptr});
}

VtOwnedText VerbCommandKey(const char* verb) { return Join({"shell\\", verb, "\\command"}); }

bool ParseOpenCommand(const char* command, std::string* option) {
  const std::string text = command != nullptr ? command : "";
  // A double quote is never a trail byte of the code page: the second one ends the path.
  const size_t end = text.size() > 1 && text[0] == '"' ? text.find('"', 1) : std::string::npos;
  const std::string argument = "\" \"%1\"";
  if (end == std::string::npos || end == 1 || text.compare(end, argument.size(), argument) != 0)
    return false;
  const std::string rest = text.substr(end + argument.size());
  if (rest.empty()) {
    option->clear();
    return true;
  }
  for (const char* known : {"/a", "/na", "/clear"}) {
    if (rest == std::string(" ") + known) {
      *option = known;
      return true;
    }
  }
  return false;
}

std::string ProgramOf(const char* command) {
  std::string text(command);
  if (!text.empty() && text[0] == '"') {
    const size_t end = text.find('"', 1);
    return text.substr(1, end == std::string::npos ? std::string::npos : end - 1);
  }
  return text.substr(0, text.find(' '));
}
