// One open registry key (ANSI API) with its own buffer for the last string value read.
#pragma once
#include <windows.h>

class VtRegistry {
 public:
  VtRegistry();
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
  // Sets name to a REG_SZ value (null value: empty text). Ignored while closed or for a null name.
  void WriteString(const char* name, const char* value);
  // Deletes subKey beneath the open key with everything below it; true when subKey itself was deleted.
  // One trailing backslash (a whole character) is ignored. False while closed or for a null subKey;
  // the open key is the same afterwards. Needs StartLibrary (it walks the name by characters).
  bool DeleteTree(const char* subKey);

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

  HKEY root_;
  HKEY key_;
  char inlineBuffer_[kInlineSize];
  char* valueText_;
};
