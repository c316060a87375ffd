// One open registry key (ANSI API) with its own buffer for the last string value read.
#pragma once
#include <windows.h>

#include <initializer_list>

class VtRegistry {
 public:
  // view: 0, or KEY_WOW64_64KEY / KEY_WOW64_32KEY for every key this object opens, creates or
  // deletes (a 32-bit process otherwise sees a redirected HKEY_LOCAL_MACHINE\Software on 64-bit
  // Windows).
  explicit VtRegistry(REGSAM view = 0);
  ~VtRegistry();
  VtRegistry(const VtRegistry&) = delete;
  VtRegistry& operator=(const VtRegistry&) = delete;

  // Closes the key and frees the value buffer; root stays.
  void Close();
  // Opens (create: creates or opens) subKey beneath root. On success root becomes the object's
  // root; on failure the object is closed and its root unchanged. A null or empty subKey opens root
  // itself; one leading backslash is skipped.
  bool Open(HKEY root, const char* subKey, bool create);
  // The same beneath the object's current root.
  bool OpenUnderRoot(const char* subKey, bool create);
  // Opens subKey beneath root as Open does without create, but for reading only: a key that the user
  // may read and not change (Explorer's UserChoice) refuses every open that asks for more.
  bool OpenToRead(HKEY root, const char* subKey);
  // The REG_SZ / REG_EXPAND_SZ value name (empty: default value) as stored, or the empty text. Never
  // null; owned by the object and valid until the next ReadString, Open, OpenUnderRoot or Close.
  const char* ReadString(const char* name);
  // Sets name to a REG_SZ value (null value: empty text); true when it was set. Ignored (false)
  // while closed or for a null name.
  bool WriteString(const char* name, const char* value);
  // Sets name to a REG_NONE value without data. Ignored while closed or for a null name.
  void WriteMarker(const char* name);
  // Deletes the value name of the open key; true when it was there and is gone.
  bool DeleteValue(const char* name);
  // The open key's numbers of values (the default value included) and subkeys; false (both
  // unchanged) while closed or when the registry does not say.
  bool Count(DWORD* values, DWORD* subkeys) const;
  // Names as the enumeration below gives them: 255 characters, up to 510 bytes in code page 932.
  enum { kMaxNameBytes = 510 };
  using NameBuffer = char[kMaxNameBytes + 1];
  // Subkey name at index, empty when longer; false past the last one, while closed or on failure.
  bool SubkeyName(DWORD index, NameBuffer& name) const;
  // The same for value names; the default value's name is the empty text.
  bool ValueName(DWORD index, NameBuffer& name) const;
  // Deletes subKey beneath the open key with everything below it; true when subKey itself was deleted.
  // One trailing backslash (a whole character) is ignored. False while closed or for a null subKey;
  // the open key is the same afterwards. Needs StartLibrary (it walks the name by characters).
  bool DeleteTree(const char* subKey);
  // Deletes subKey beneath the open key, values and all, unless it has subkeys; true when deleted.
  bool DeleteLeaf(const char* subKey);
  // DeleteTree for a tree whose shape is known: the paths in known (relative to subKey, each after
  // its subkeys) are deleted directly, then subKey; only when subKey is still refused (something
  // unexpected below it) is it walked. Same result as DeleteTree, and while the object is closed it
  // works beneath root (HKEY_CLASSES_ROOT needs no key of its own opened for it).
  bool DeleteKnownTree(const char* subKey, std::initializer_list<const char*> known);

  HKEY root() const { return root_; }
  HKEY key() const { return key_; }

 private:
  enum { kInlineSize = 512, kMaxValueSize = 4194304 };

  bool OpenBelow(HKEY parent, const char* subKey, bool create, REGSAM access = KEY_ALL_ACCESS);
  // ReadString's second attempt, for a value too long for the inline buffer.
  const char* ReadLongString(const char* name);
  // False when subKey does not exist, so that there is nothing left to delete.
  bool DeleteSubkeysOf(const char* subKey);
  bool HoldsHeapBlock() const;
  LONG RemoveKey(HKEY parent, const char* subKey) const;

  HKEY root_;
  HKEY key_;
  char inlineBuffer_[kInlineSize];
  char* valueText_;
  REGSAM view_;
};
