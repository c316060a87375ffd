#include "registry.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "ownedtext.h"
#include "text.h"

namespace {

// Values up to this stored size, plus the two terminating zeros, fit in the inline buffer.
const DWORD kInlineValueMax = 509;

// Both enumerations: a name too long for the buffer comes as the empty text and is no end.
bool EnumName(HKEY key, DWORD index, VtRegistry::NameBuffer& name, bool valueNames) {
  name[0] = 0;
  if (key == nullptr) return false;
  DWORD capacity = sizeof name;
  const LONG rc =
      valueNames ? RegEnumValueA(key, index, name, &capacity, nullptr, nullptr, nullptr, nullptr)
                 : RegEnumKeyExA(key, index, name, &capacity, nullptr, nullptr, nullptr, nullptr);
  if (rc == ERROR_SUCCESS) return true;
  name[0] = 0;
  return rc == ERROR_MORE_DATA;
}

// A null subKey opens the parent itself; one leading backslash is skipped (a whole character:
// nothing precedes it).
const char* SubkeyPath(const char* subKey) {
  if (subKey == nullptr) return "";
  return subKey[0] == '\\' ? subKey + 1 : subKey;
}

}  // namespace

VtRegistry::VtRegistry(REGSAM view)
    : key_(nullptr), error_(ERROR_INVALID_HANDLE), view_(view) {
  inlineBuffer_[0] = 0;
}

VtRegistry::~VtRegistry() { Close(); }

void VtRegistry::Close() {
  if (key_ != nullptr) {
    RegCloseKey(key_);
    key_ = nullptr;
  }
  longText_.reset();
  inlineBuffer_[0] = 0;
}

bool VtRegistry::Open(HKEY parent, const char* subKey, REGSAM access) {
  return OpenOrCreate(parent, SubkeyPath(subKey), access, nullptr);
}

bool VtRegistry::Create(HKEY parent, const char* subKey, REGSAM access, bool* created) {
  DWORD disposition = 0;
  const bool opened = OpenOrCreate(parent, SubkeyPath(subKey), access, &disposition);
  if (created != nullptr) *created = opened && disposition == REG_CREATED_NEW_KEY;
  return opened;
}

bool VtRegistry::OpenOrCreate(HKEY parent, const char* subKey, REGSAM access, DWORD* disposition) {
  Close();
  if (parent == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  error_ = disposition != nullptr
               ? RegCreateKeyExA(parent, subKey, 0, nullptr, 0, access | view_, nullptr, &key_,
                                 disposition)
               : RegOpenKeyExA(parent, subKey, 0, access | view_, &key_);
  return Opened();
}

bool VtRegistry::Open(HKEY parent, const wchar_t* subKey, REGSAM access) {
  Close();
  if (parent == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  if (subKey == nullptr) subKey = L"";
  if (subKey[0] == L'\\') ++subKey;
  error_ = RegOpenKeyExW(parent, subKey, 0, access | view_, &key_);
  return Opened();
}

bool VtRegistry::Opened() {
  // A failed call may still have left a handle behind.
  if (error_ != ERROR_SUCCESS) {
    const LONG error = error_;
    Close();
    error_ = error;
  }
  return error_ == ERROR_SUCCESS;
}

const char* VtRegistry::ReadString(const char* name) {
  inlineBuffer_[0] = 0;
  if (name == nullptr || key_ == nullptr) return inlineBuffer_;

  // Nearly every value fits inline, so one query usually does: the size is asked for only when
  // the value turns out to be longer.
  DWORD type = 0;
  DWORD size = kInlineValueMax;
  LONG rc = RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(inlineBuffer_),
                             &size);
  if (rc == ERROR_MORE_DATA) return ReadLongString(name);
  // A value of another type may have left its bytes in the buffer.
  if (rc != ERROR_SUCCESS || size == 0 || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    inlineBuffer_[0] = 0;
    return inlineBuffer_;
  }
  longText_.reset();
  // A string stored without its terminator still ends here.
  inlineBuffer_[size] = 0;
  inlineBuffer_[size + 1] = 0;
  return inlineBuffer_;
}

const char* VtRegistry::ReadLongString(const char* name) {
  // The inline attempt may have left part of the value in the buffer.
  inlineBuffer_[0] = 0;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key_, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return inlineBuffer_;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return inlineBuffer_;
  if (static_cast<LONG>(size) < 0 || size > kMaxValueSize) return inlineBuffer_;

  char* buffer = inlineBuffer_;
  if (size > kInlineValueMax) {
    // Resize a block kept from an earlier long read rather than allocating afresh.
    void* block = std::realloc(longText_.get(), size + 2);
    if (block == nullptr) return inlineBuffer_;  // the old block, if any, is still held
    longText_.release();  // realloc has freed or kept it: block is the one to hold
    longText_.reset(static_cast<char*>(block));
    buffer = longText_.get();
  } else {
    // The value shrank since the first query.
    longText_.reset();
  }

  // The value may have changed since the size was asked: the text ends where this read ended.
  DWORD capacity = size;
  if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &capacity) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    buffer[0] = 0;
    return buffer;
  }
  buffer[capacity] = 0;
  buffer[capacity + 1] = 0;
  return buffer;
}

std::wstring VtRegistry::ReadWide(const char* name) const {
  if (name == nullptr || key_ == nullptr) return std::wstring();
  // Value names here are ASCII ("", "backup"): each byte is its own UTF-16 unit.
  const std::wstring wideName(name, name + std::strlen(name));
  std::wstring text(kInlineValueMax / sizeof(wchar_t), L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD type = 0;
    DWORD size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    const LONG rc = RegQueryValueExW(key_, wideName.c_str(), nullptr, &type,
                                     reinterpret_cast<BYTE*>(&text[0]), &size);
    // The longest text ReadString takes, in UTF-16: two bytes a character.
    if (rc == ERROR_MORE_DATA && size <= 2 * kMaxValueSize) {
      // The value may grow again before the next query: that one asks anew.
      text.assign(size / sizeof(wchar_t) + 1, L'\0');
      continue;
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) break;
    // A string stored without its terminator ends where its bytes end; one stored with it ends
    // at the first zero.
    text.resize(size / sizeof(wchar_t));
    const size_t end = text.find(L'\0');
    if (end != std::wstring::npos) text.resize(end);
    return text;
  }
  return std::wstring();
}

bool VtRegistry::WriteString(const char* name, const char* value) {
  if (value == nullptr) value = "";
  return SetValue(name, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1));
}

bool VtRegistry::WriteString(const wchar_t* name, const std::wstring& value) {
  if (key_ == nullptr || name == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  error_ = RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  return error_ == ERROR_SUCCESS;
}

bool VtRegistry::WriteMarker(const char* name) { return SetValue(name, REG_NONE, nullptr, 0); }

bool VtRegistry::SetValue(const char* name, DWORD type, const void* data, DWORD size) {
  if (key_ == nullptr || name == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  error_ = RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size);
  return error_ == ERROR_SUCCESS;
}

bool VtRegistry::DeleteValue(const char* name) {
  if (key_ == nullptr || name == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  error_ = RegDeleteValueA(key_, name);
  return error_ == ERROR_SUCCESS;
}

bool VtRegistry::HasValue(const char* name) const {
  return key_ != nullptr && name != nullptr &&
         RegQueryValueExA(key_, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool VtRegistry::Counts(DWORD* subkeys, DWORD* values) const {
  return key_ != nullptr &&
         RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values,
                          nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool VtRegistry::HoldsAtMostOneValue() const {
  DWORD subkeys = 0;
  DWORD values = 0;
  return Counts(&subkeys, &values) && subkeys == 0 && values <= 1;
}

bool VtRegistry::IsEmpty(bool exceptDefault) const {
  DWORD subkeys = 0;
  DWORD values = 0;
  if (!Counts(&subkeys, &values) || subkeys != 0) return false;
  if (values == 0) return true;
  // The one value left must be the default one itself, not "Content Type" or the like.
  return exceptDefault && values == 1 &&
         RegQueryValueExA(key_, "", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool VtRegistry::SubkeyName(DWORD index, NameBuffer& name) const {
  return EnumName(key_, index, name, false);
}

bool VtRegistry::ValueName(DWORD index, NameBuffer& name) const {
  return EnumName(key_, index, name, true);
}

LONG VtRegistry::RemoveKey(const char* subKey) const {
  // RegDeleteKeyA would delete in the process's own view, whatever view the parent was opened in.
  return view_ != 0 ? RegDeleteKeyExA(key_, subKey, view_, 0) : RegDeleteKeyA(key_, subKey);
}

bool VtRegistry::DeleteLeaf(const char* subKey) {
  error_ = key_ != nullptr && subKey != nullptr ? RemoveKey(subKey) : ERROR_INVALID_HANDLE;
  return error_ == ERROR_SUCCESS;
}

bool VtRegistry::DeleteKnownTree(const char* subKey, std::initializer_list<const char*> known) {
  if (key_ == nullptr || subKey == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  // Deleting by path needs no walk, which opens and lists every key besides deleting it.
  bool first = true;
  for (const char* path : known) {
    const std::string full = std::string(subKey) + "\\" + path;
    const LONG rc = RemoveKey(full.c_str());
    // The deepest known key missing: the tree is missing, empty, or of another shape; deleting
    // subKey at once tells which.
    if (first && rc == ERROR_FILE_NOT_FOUND) break;
    first = false;
  }
  error_ = RemoveKey(subKey);
  if (error_ == ERROR_SUCCESS || error_ == ERROR_FILE_NOT_FOUND) return error_ == ERROR_SUCCESS;
  const LONG rc = error_;
  if (DeleteTree(subKey)) return true;
  // What kept the key: the walk may have failed on a subkey, or the key on its own rights.
  error_ = rc;
  return false;
}

bool VtRegistry::DeleteTree(const char* subKey) {
  if (key_ == nullptr || subKey == nullptr) {
    error_ = ERROR_INVALID_HANDLE;
    return false;
  }
  VtOwnedText copy(DupText(subKey));
  if (!copy) {
    error_ = ERROR_NOT_ENOUGH_MEMORY;
    return false;
  }

  // Only a backslash that is a character of its own is cut: in 表 or ソ, 0x5C is a trail byte.
  char* last = FindLastChar(copy.get(), '\\');
  if (last != nullptr && last != copy.get() && last[1] == 0) *last = 0;

  // The walk comes before any deletion: most keys of the tool's trees (a ProgID with DefaultIcon
  // and shell\open\command) have subkeys, and the registry refuses to delete those. A missing key
  // ends at the failed open.
  if (!DeleteSubkeysOf(copy.get())) {
    error_ = ERROR_FILE_NOT_FOUND;
    return false;
  }
  error_ = RemoveKey(copy.get());
  return error_ == ERROR_SUCCESS;
}

bool VtRegistry::DeleteSubkeysOf(const char* subKey) {
  VtRegistry sub(view_);
  // Opened exactly as named ("\\" must not become the open key itself), and only to list: each
  // deletion is the registry's to allow or refuse, so any other failure still leaves it to be tried.
  if (!sub.OpenOrCreate(key_, subKey, KEY_READ, nullptr))
    return sub.error() != ERROR_FILE_NOT_FOUND;
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(sub.key_, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return true;
  NameBuffer name;
  // From the last index down: deleting a subkey does not move the names still to be visited.
  for (DWORD index = subkeys; index-- > 0;)
    if (sub.SubkeyName(index, name) && name[0] != 0) sub.DeleteTree(name);
  return true;
}
