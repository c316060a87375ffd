#include "registry.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "text.h"

namespace {

// Values up to this stored size, plus the two terminating zeros, fit in the inline buffer.
const DWORD kInlineValueMax = 509;

struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};
using HeapText = std::unique_ptr<char, FreeDeleter>;

// Owns a key handle for one scope.
class ScopedKey {
 public:
  ScopedKey() : key_(nullptr) {}
  ~ScopedKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;

  HKEY get() const { return key_; }
  PHKEY out() { return &key_; }
  HKEY release() {
    HKEY k = key_;
    key_ = nullptr;
    return k;
  }

 private:
  HKEY key_;
};

// Puts a temporary key in place of an object's key and brings the old one back on every way out.
class KeySwap {
 public:
  KeySwap(HKEY& slot, HKEY temporary) : slot_(slot), saved_(slot) { slot_ = temporary; }
  ~KeySwap() { slot_ = saved_; }
  KeySwap(const KeySwap&) = delete;
  KeySwap& operator=(const KeySwap&) = delete;

 private:
  HKEY& slot_;
  HKEY saved_;
};

// What both enumerations make of a result: a name too long for the buffer is skipped, not an end.
bool TakeEnumerated(LONG rc, VtRegistry::NameBuffer& name) {
  if (rc == ERROR_SUCCESS) return true;
  name[0] = 0;
  return rc == ERROR_MORE_DATA;
}

HeapText Duplicate(const char* text) {
  size_t size = std::strlen(text) + 1;
  HeapText copy(static_cast<char*>(std::malloc(size)));
  if (copy) std::memcpy(copy.get(), text, size);
  return copy;
}

}  // namespace

VtRegistry::VtRegistry(REGSAM view)
    : root_(HKEY_CLASSES_ROOT), key_(nullptr), valueText_(nullptr), view_(view) {
  inlineBuffer_[0] = 0;
}

VtRegistry::~VtRegistry() { Close(); }

bool VtRegistry::HoldsHeapBlock() const {
  return valueText_ != nullptr && valueText_ != inlineBuffer_;
}

void VtRegistry::Close() {
  if (key_ != nullptr) {
    RegCloseKey(key_);
    key_ = nullptr;
  }
  if (HoldsHeapBlock()) std::free(valueText_);
  valueText_ = nullptr;
  inlineBuffer_[0] = 0;
}

bool VtRegistry::Open(HKEY root, const char* subKey, bool create) {
  Close();
  if (root == nullptr) return false;
  if (!OpenBelow(root, subKey, create)) return false;
  root_ = root;
  return true;
}

bool VtRegistry::OpenUnderRoot(const char* subKey, bool create) {
  Close();
  return OpenBelow(root_, subKey, create);
}

bool VtRegistry::OpenToRead(HKEY root, const char* subKey) {
  Close();
  if (root == nullptr || !OpenBelow(root, subKey, false, KEY_READ)) return false;
  root_ = root;
  return true;
}

bool VtRegistry::OpenBelow(HKEY parent, const char* subKey, bool create, REGSAM access) {
  if (subKey == nullptr) subKey = "";
  // A leading backslash is a whole character (nothing precedes it), so one byte is skipped.
  if (subKey[0] == '\\') ++subKey;
  ScopedKey opened;
  LONG rc = create ? RegCreateKeyExA(parent, subKey, 0, nullptr, 0, access | view_, nullptr,
                                     opened.out(), nullptr)
                   : RegOpenKeyExA(parent, subKey, 0, access | view_, opened.out());
  // On failure the scoped handle closes anything the call may have left behind.
  if (rc != ERROR_SUCCESS) return false;
  key_ = opened.release();
  return true;
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
  if (HoldsHeapBlock()) std::free(valueText_);
  valueText_ = inlineBuffer_;
  // A string stored without its terminator still ends here.
  inlineBuffer_[size] = 0;
  inlineBuffer_[size + 1] = 0;
  return valueText_;
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

  char* buffer;
  if (size > kInlineValueMax) {
    // Resize a block kept from an earlier long read rather than allocating afresh.
    void* block = HoldsHeapBlock() ? std::realloc(valueText_, size + 2) : std::malloc(size + 2);
    if (block == nullptr) return inlineBuffer_;  // the old block, if any, is still ours
    buffer = static_cast<char*>(block);
  } else {
    // The value shrank since the first query.
    if (HoldsHeapBlock()) std::free(valueText_);
    buffer = inlineBuffer_;
  }
  valueText_ = buffer;

  buffer[size] = 0;
  buffer[size + 1] = 0;
  DWORD capacity = size;
  if (RegQueryValueExA(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &capacity) !=
      ERROR_SUCCESS)
    buffer[0] = 0;
  return valueText_;
}

bool VtRegistry::WriteString(const char* name, const char* value) {
  if (key_ == nullptr || name == nullptr) return false;
  if (value == nullptr) value = "";
  return RegSetValueExA(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                        static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
}

void VtRegistry::WriteMarker(const char* name) {
  if (key_ == nullptr || name == nullptr) return;
  RegSetValueExA(key_, name, 0, REG_NONE, nullptr, 0);
}

bool VtRegistry::DeleteValue(const char* name) {
  return key_ != nullptr && name != nullptr && RegDeleteValueA(key_, name) == ERROR_SUCCESS;
}

bool VtRegistry::Count(DWORD* values, DWORD* subkeys) const {
  DWORD valueCount = 0;
  DWORD subkeyCount = 0;
  if (key_ == nullptr ||
      RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount,
                       nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  *values = valueCount;
  *subkeys = subkeyCount;
  return true;
}

bool VtRegistry::SubkeyName(DWORD index, NameBuffer& name) const {
  name[0] = 0;
  if (key_ == nullptr) return false;
  DWORD capacity = sizeof name;
  return TakeEnumerated(
      RegEnumKeyExA(key_, index, name, &capacity, nullptr, nullptr, nullptr, nullptr), name);
}

bool VtRegistry::ValueName(DWORD index, NameBuffer& name) const {
  name[0] = 0;
  if (key_ == nullptr) return false;
  DWORD capacity = sizeof name;
  return TakeEnumerated(
      RegEnumValueA(key_, index, name, &capacity, nullptr, nullptr, nullptr, nullptr), name);
}

LONG VtRegistry::RemoveKey(HKEY parent, const char* subKey) const {
  // RegDeleteKeyA would delete in the process's own view, whatever view the parent was opened in.
  return view_ != 0 ? RegDeleteKeyExA(parent, subKey, view_, 0) : RegDeleteKeyA(parent, subKey);
}

bool VtRegistry::DeleteLeaf(const char* subKey) {
  return key_ != nullptr && subKey != nullptr && RemoveKey(key_, subKey) == ERROR_SUCCESS;
}

bool VtRegistry::DeleteKnownTree(const char* subKey, std::initializer_list<const char*> known) {
  if (subKey == nullptr) return false;
  const HKEY parent = key_ != nullptr ? key_ : root_;
  // Under Wine a deletion costs three round trips to the server, a walk three per key besides
  // them: deleting by path is the cheaper way whenever the guess is right.
  bool first = true;
  for (const char* path : known) {
    const std::string full = std::string(subKey) + "\\" + path;
    const LONG rc = RemoveKey(parent, full.c_str());
    // The deepest known key missing: the tree is missing, empty, or of another shape; deleting
    // subKey at once tells which.
    if (first && rc == ERROR_FILE_NOT_FOUND) break;
    first = false;
  }
  const LONG rc = RemoveKey(parent, subKey);
  if (rc == ERROR_SUCCESS) return true;
  if (rc == ERROR_FILE_NOT_FOUND) return false;
  if (key_ != nullptr) return DeleteTree(subKey);
  // The walk needs a key of its own beneath which to work.
  const bool deleted = OpenUnderRoot("", false) && DeleteTree(subKey);
  Close();
  return deleted;
}

bool VtRegistry::DeleteTree(const char* subKey) {
  if (key_ == nullptr || subKey == nullptr) return false;
  HeapText copy = Duplicate(subKey);
  if (!copy) return false;

  // Only a backslash that is a character of its own is cut: in 表 or ソ, 0x5C is a trail byte.
  char* last = FindLastChar(copy.get(), '\\');
  if (last != nullptr && last != copy.get() && last[1] == 0) *last = 0;

  // The walk comes before any deletion: most keys of the tool's trees (a ProgID with DefaultIcon
  // and shell\open\command) have subkeys, and a refused deletion costs as much as the walk would
  // save on a leaf. A missing key ends at the failed open.
  if (!DeleteSubkeysOf(copy.get())) return false;
  return RemoveKey(key_, copy.get()) == ERROR_SUCCESS;
}

bool VtRegistry::DeleteSubkeysOf(const char* subKey) {
  ScopedKey sub;
  LONG rc = RegOpenKeyExA(key_, subKey, 0, KEY_ALL_ACCESS | view_, sub.out());
  // Any other failure still leaves the deletion to be tried, which may be allowed where the open
  // for all access was not.
  if (rc == ERROR_FILE_NOT_FOUND) return false;
  if (rc == ERROR_SUCCESS) {
    // The recursion works beneath key_, so the subkey takes its place until we return.
    KeySwap swap(key_, sub.get());
    DWORD count = 0;
    DWORD longest = 0;
    RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    HeapText name(static_cast<char*>(std::malloc(3 * longest + 2)));
    // From the last index down: deleting a subkey does not move the names still to be visited.
    for (DWORD index = count; name && index-- > 0;) {
      DWORD capacity = 3 * longest + 1;
      if (RegEnumKeyExA(key_, index, name.get(), &capacity, nullptr, nullptr, nullptr, nullptr) ==
          ERROR_SUCCESS)
        DeleteTree(name.get());
    }
  }
  return true;
}
