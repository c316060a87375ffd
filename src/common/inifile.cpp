#include "inifile.h"

#include <cstdio>
#include <cstdlib>
#include <new>

#include "handle.h"
#include "inigrow.h"
#include "ownedtext.h"
#include "text.h"

namespace {

const DWORD kStackReadSize = 0x8000;  // smaller files are read without a heap buffer
const DWORD kMaxReadSize = 0x20000;   // the rest of a larger file is ignored

// Reads up to size bytes into buffer (which has room for one more) and parses them as one text.
void ReadAndParse(VtIniFile& ini, HANDLE file, char* buffer, DWORD size) {
  DWORD got = 0;
  if (size > 0 && !ReadFile(file, buffer, size, &got, nullptr)) got = 0;
  buffer[got] = '\0';
  ini.Parse(buffer);
}

// A header is "[" name "]" where the closing "]" is a whole single-byte character at the very end.
// Returns the name (cut and trimmed in place) or null when the line is no header.
char* HeaderName(char* line) {
  if (line[0] != '[') return nullptr;
  for (char* p = line + 1; const int size = CharSize(p); p += size) {
    if (size == 1 && *p == ']' && p[1] == '\0') {
      *p = '\0';
      TrimBoth(line + 1);
      return line + 1;
    }
  }
  return nullptr;
}

}  // namespace

VtIniFile::VtIniFile() : sections_(nullptr), capacity_(0), count_(0) { path_[0] = '\0'; }

VtIniFile::~VtIniFile() { Clear(); }

bool VtIniFile::Load(const char* path) {
  Clear();
  VtHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.valid()) {
    DWORD high = 0;
    SetLastError(NO_ERROR);
    DWORD size = GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) size = high = 0;  // unreadable: empty
    if (high != 0) return false;
    if (size < kStackReadSize) {
      char buffer[kStackReadSize];
      ReadAndParse(*this, file.get(), buffer, size);
    } else {
      if (size > kMaxReadSize) size = kMaxReadSize;
      const VtOwnedText buffer(static_cast<char*>(std::malloc(size + 1)));
      if (buffer) ReadAndParse(*this, file.get(), buffer.get(), size);
    }
  }
  // A path that does not fit (or ends in half a character) would name another file: forget it.
  const int length = CopyBounded(path_, path, kPathSize);
  if (length >= kPathSize || path[length] != '\0') path_[0] = '\0';
  return true;
}

bool VtIniFile::Parse(char* text) {
  Clear();
  // A lead byte at the very end has no second byte. Kept in a value, it would pair with the line
  // end that Save writes after it, and the saved file would read back differently.
  if (text != nullptr) text[WholeCharLength(text)] = '\0';
  VtIniSection* section = nullptr;
  const char* name = "";  // points into text: the current header's name
  char* resume = nullptr;
  for (char* line = NextToken(text, "\r\n", &resume); line != nullptr;
       line = NextToken(resume, "\r\n", &resume)) {
    if (line[0] == '\0') continue;
    ControlsToSpaces(line);
    TrimBoth(line);
    if (char* header = HeaderName(line)) {
      name = header;
      section = nullptr;
      continue;
    }
    if (name[0] == '\0') continue;
    char* value = nullptr;
    char* key = NextToken(line, "=", &value);
    if (key == nullptr || value == nullptr) continue;
    TrimRight(key);
    if (key[0] == '\0') continue;
    TrimLeft(value);
    // Only the first key line creates the section, so a header without keys leaves nothing behind.
    if (section == nullptr) section = FindSection(name, true);
    if (section != nullptr) section->Set(key, value);
  }
  return true;
}

const VtIniKeyValue* VtIniFile::Lookup(const char* section, const char* key) const {
  const VtIniSection* found = FindExisting(section);
  return found != nullptr ? found->FindEntry(key) : nullptr;
}

int VtIniFile::GetInt(const char* section, const char* key, int dflt) const {
  const VtIniKeyValue* entry = Lookup(section, key);
  return entry != nullptr ? ParseIntOr(entry->value(), dflt) : dflt;
}

char* VtIniFile::GetString(const char* section, const char* key, int size, char* dest,
                           const char* dflt) const {
  const VtIniKeyValue* entry = Lookup(section, key);
  CopyBounded(dest, entry != nullptr ? entry->value() : dflt, size);
  return dest;
}

void VtIniFile::SetInt(const char* section, const char* key, int value) {
  VtIniSection* found = FindSection(section, true);
  if (found == nullptr) return;
  char text[16];
  std::snprintf(text, sizeof text, "%d", value);
  found->Set(key, text);
}

VtIniSection* VtIniFile::FindExisting(const char* name) const {
  for (int i = 0; i < count_; ++i)
    if (CompareNoCase(sections_[i]->name(), name) == 0) return sections_[i];
  return nullptr;
}

VtIniSection* VtIniFile::FindSection(const char* name, bool create) {
  if (VtIniSection* found = FindExisting(name)) return found;
  if (!create || !GrowForOne(sections_, capacity_, count_)) return nullptr;
  VtIniSection* section = new (std::nothrow) VtIniSection(name);
  if (section == nullptr || section->name() == nullptr) {
    delete section;
    return nullptr;
  }
  sections_[count_++] = section;
  return section;
}

VtIniSection* VtIniFile::SectionAt(int index) const {
  return index >= 0 && index < count_ ? sections_[index] : nullptr;
}

void VtIniFile::Clear() {
  path_[0] = '\0';
  if (sections_ == nullptr) return;
  for (int i = 0; i < count_; ++i) delete sections_[i];
  std::free(sections_);
  sections_ = nullptr;
  capacity_ = 0;
  count_ = 0;
}
