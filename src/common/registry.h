// One open registry key (ANSI API; a UTF-16 path may open it too) with its own buffer for the last
// string value read: the tool's one owner of registry keys. The deletions need StartLibrary (they
// walk names by characters). One convention throughout: every call that opens or changes something
// returns whether it did and leaves the registry's result in error(); the queries return what they
// found and leave error() as it was.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>
#include <type_traits>

#include "ownedtext.h"

class VtRegistry {
 public:
  // view: 0, or KEY_WOW64_64KEY / KEY_WOW64_32KEY for every key this object opens or deletes.
  explicit VtRegistry(REGSAM view = 0);
  ~VtRegistry();
  VtRegistry(const VtRegistry&) = delete;
  VtRegistry& operator=(const VtRegistry&) = delete;

  // Closes the key and frees the value buffer.
  void Close();
  // Opens subKey below parent with access (KEY_READ for reading: a key the user may read but not
  // change refuses more). A null or empty subKey is parent itself; one leading "\" is skipped.
  // Failed: closed, and error() says why.
  bool Open(HKEY parent, const char* subKey, REGSAM access);
  // The same for a UTF-16 subKey, whose names may hold characters code page 932 lacks.
  bool Open(HKEY parent, const wchar_t* subKey, REGSAM access);
  // Open that creates subKey (and the keys above it) when missing; *created (may be null): this
  // call made subKey.
  bool Create(HKEY parent, const char* subKey, REGSAM access, bool* created = nullptr);
  // A bool would pass for an access mask and open with almost no rights.
  template <class Char, class T, class = std::enable_if_t<std::is_same<T, bool>::value>>
  bool Open(HKEY, const Char*, T) = delete;
  template <class T, class = std::enable_if_t<std::is_same<T, bool>::value>>
  bool Create(HKEY, const char*, T) = delete;
  // The registry's result of the last Open, Create, write or deletion (ERROR_INVALID_HANDLE for
  // one tried while closed).
  LONG error() const { return error_; }
  // String value name ("": default) as stored, else ""; the object's until next read, open, close.
  const char* ReadString(const char* name);
  // The same value in UTF-16 exactly as stored, for a name carried from one key to another (a
  // ProgID): the ANSI function would turn a character code page 932 lacks into a look-alike.
  std::wstring ReadWide(const char* name) const;
  // Sets name to a REG_SZ value (null value: empty text); false while closed or for a null name.
  bool WriteString(const char* name, const char* value);
  // The same for a text that is UTF-16 already, such as one of the tool's own (widetext.h): the
  // ANSI function would decode it with the system's code page.
  bool WriteString(const wchar_t* name, const std::wstring& value);
  // Sets name to a REG_NONE value without data; false while closed or for a null name.
  bool WriteMarker(const char* name);
  // Deletes the value name of the open key; true when it was there and is gone.
  bool DeleteValue(const char* name);
  // True when the open key holds a value name ("": default), of any type.
  bool HasValue(const char* name) const;
  // True when the open key holds no subkey and no value (with exceptDefault: none but the default
  // value). False when that cannot be told, so that a caller deleting empty keys keeps this one.
  bool IsEmpty(bool exceptDefault = false) const;
  // True when the open key holds no subkey and at most one value: for a key whose default value is
  // known to be there, nothing else. False when that cannot be told.
  bool HoldsAtMostOneValue() const;
  // The open key's numbers of subkeys and values; false when they cannot be told.
  bool Counts(DWORD* subkeys, DWORD* values) const;
  // The longest key name the registry takes, in UTF-16 characters.
  enum { kMaxNameChars = 255 };
  // Names as the enumeration below gives them: 255 characters, up to 510 bytes in code page 932.
  enum { kMaxNameBytes = 2 * kMaxNameChars };
  using NameBuffer = char[kMaxNameBytes + 1];
  // Subkey name at index, empty when longer; false past the last one, while closed or on failure.
  bool SubkeyName(DWORD index, NameBuffer& name) const;
  // The same for value names; the default value's name is the empty text.
  bool ValueName(DWORD index, NameBuffer& name) const;
  // The deletions work beneath the open key; ERROR_FILE_NOT_FOUND in error() when there was no
  // subKey.
  // Deletes subKey and all below it (one trailing "\" ignored); true when this deleted subKey.
  bool DeleteTree(const char* subKey);
  // Deletes subKey, values and all, unless it has subkeys; true when deleted.
  bool DeleteLeaf(const char* subKey);
  // DeleteTree that first deletes the paths known below subKey, deepest first.
  bool DeleteKnownTree(const char* subKey, std::initializer_list<const char*> known);

  HKEY key() const { return key_; }

 private:
  enum { kInlineSize = 512, kMaxValueSize = 4194304 };

  // Opens or, with disposition, creates subKey exactly as named (no backslash skipped).
  bool OpenOrCreate(HKEY parent, const char* subKey, REGSAM access, DWORD* disposition);
  // Every open's end: error_ holds the registry's result; a failed call leaves the object closed.
  bool Opened();
  // WriteString's and WriteMarker's one call; error_ says how it went.
  bool SetValue(const char* name, DWORD type, const void* data, DWORD size);
  // ReadString's second attempt, for a value too long for the inline buffer.
  const char* ReadLongString(const char* name);
  // Deletes every subkey of subKey, each through a key object of its own; false when subKey does
  // not exist, so that there is nothing left to delete.
  bool DeleteSubkeysOf(const char* subKey);
  LONG RemoveKey(const char* subKey) const;

  HKEY key_;
  LONG error_;
  char inlineBuffer_[kInlineSize];
  // The last value read that did not fit inlineBuffer_, kept to be grown for the next such value.
  VtOwnedText longText_;
  REGSAM view_;
};
