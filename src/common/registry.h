// One open registry key (ANSI API) with its own buffer for the last string value read: the tool's
// one owner of registry keys. The deletions need StartLibrary (they walk names by characters).
#pragma once
#include <windows.h>

#include <initializer_list>

class VtRegistry {
 public:
  // view: 0, or KEY_WOW64_64KEY / KEY_WOW64_32KEY for every key this object opens or deletes.
  explicit VtRegistry(REGSAM view = 0);
  ~VtRegistry();
  VtRegistry(const VtRegistry&) = delete;
  VtRegistry& operator=(const VtRegistry&) = delete;

  // Closes the key and frees the value buffer; root stays.
  void Close();
  // For the three opens, a null or empty subKey is the root itself; one leading "\" is skipped.
  // Opens (create: creates) subKey below root, which becomes the root; failed: closed, root kept.
  bool Open(HKEY root, const char* subKey, bool create);
  // Open beneath the object's current root.
  bool OpenUnderRoot(const char* subKey, bool create);
  // Open for reading only: a key the user may read but not change (UserChoice) refuses more.
  bool OpenToRead(HKEY root, const char* subKey);
  // String value name ("": default) as stored, else ""; the object's until next read, open, close.
  const char* ReadString(const char* name);
  // Sets name to a REG_SZ value (null value: empty text); false while closed or for a null name.
  bool WriteString(const char* name, const char* value);
  // Sets name to a REG_NONE value without data. Ignored while closed or for a null name.
  void WriteMarker(const char* name);
  // Deletes the value name of the open key; true when it was there and is gone.
  bool DeleteValue(const char* name);
  // Numbers of values (default value included) and subkeys; false, both unchanged, when unknown.
  bool Count(DWORD* values, DWORD* subkeys) const;
  // Names as the enumeration below gives them: 255 characters, up to 510 bytes in code page 932.
  enum { kMaxNameBytes = 510 };
  using NameBuffer = char[kMaxNameBytes + 1];
  // Subkey name at index, empty when longer; false past the last one, while closed or on failure.
  bool SubkeyName(DWORD index, NameBuffer& name) const;
  // The same for value names; the default value's name is the empty text.
  bool ValueName(DWORD index, NameBuffer& name) const;
  // Deletes subKey and all below it (one trailing "\" ignored); true when this deleted subKey.
  bool DeleteTree(const char* subKey);
  // Deletes subKey beneath the open key, values and all, unless it has subkeys; true when deleted.
  bool DeleteLeaf(const char* subKey);
  // DeleteTree that first deletes the paths known below subKey, deepest first; closed: below root.
  bool DeleteKnownTree(const char* subKey, std::initializer_list<const char*> known);

  HKEY root() const { return root_; }
  HKEY key() const { return key_; }

 private:
  enum { kInlineSize = 512, kMaxValueSize = 4194304 };

  // Opens subKey exactly as named into key_ (the object is closed); the registry's result.
  LONG OpenBelow(HKEY parent, const char* subKey, bool create, REGSAM access = KEY_ALL_ACCESS);
  // ReadString's second attempt, for a value too long for the inline buffer.
  const char* ReadLongString(const char* name);
  // Deletes every subkey of subKey, each through a key object of its own; false when subKey does
  // not exist, so that there is nothing left to delete.
  bool DeleteSubkeysOf(const char* subKey);
  bool HoldsHeapBlock() const;
  LONG RemoveKey(HKEY parent, const char* subKey) const;

  HKEY root_;
  HKEY key_;
  char inlineBuffer_[kInlineSize];
  char* valueText_;
  REGSAM view_;
};
