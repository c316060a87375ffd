// An INI document held whole in memory: ordered sections of ordered key/value pairs, names compared
// with CompareNoCase. Read leniently in one piece, written back whole with CRLF line ends.
#pragma once
#include "library.h"

class VtIniKeyValue {
 public:
  VtIniKeyValue(const char* key, const char* value);
  ~VtIniKeyValue();
  VtIniKeyValue(const VtIniKeyValue&) = delete;
  VtIniKeyValue& operator=(const VtIniKeyValue&) = delete;

  void SetValue(const char* value);
  const char* key() const { return key_; }
  const char* value() const { return value_; }

 private:
  char* key_;    // one block: key, 0, value, 0
  char* value_;  // points into that block
};

class VtIniSection {
 public:
  explicit VtIniSection(const char* name);
  ~VtIniSection();
  VtIniSection(const VtIniSection&) = delete;
  VtIniSection& operator=(const VtIniSection&) = delete;

  VtIniKeyValue* FindEntry(const char* key) const;
  VtIniKeyValue* EntryAt(int index) const;  // null outside 0..count-1
  void Set(const char* key, const char* value);

  const char* name() const { return name_; }
  int count() const { return count_; }

 private:
  char* name_;
  VtIniKeyValue** entries_;
  int capacity_;
  int count_;
};

class VtIniFile {
 public:
  VtIniFile();
  ~VtIniFile();
  VtIniFile(const VtIniFile&) = delete;
  VtIniFile& operator=(const VtIniFile&) = delete;

  // Replaces the document by the file (at most its first 131072 bytes). A missing file gives an empty
  // document; false only for a file whose size does not fit in 32 bits. The path is remembered for
  // Save when it fits the 520-byte path field.
  bool Load(const char* path);
  // Replaces the document by the text, which is changed in place; always true.
  bool Parse(char* text);
  int GetInt(const char* section, const char* key, int dflt) const;
  // Copies the value (or dflt when the section or key is missing) into dest; returns dest.
  char* GetString(const char* section, const char* key, int size, char* dest, const char* dflt) const;
  void SetInt(const char* section, const char* key, int value);
  // Writes the whole document to the remembered path; the old file is replaced only once the new
  // one is complete. Nothing is written without a remembered path.
  void Save();
  VtIniSection* FindSection(const char* name, bool create);
  void Clear();

  const char* path() const { return path_; }
  int count() const { return count_; }
  VtIniSection* SectionAt(int index) const;  // null outside 0..count-1

 private:
  VtIniSection* FindExisting(const char* name) const;
  const VtIniKeyValue* Lookup(const char* section, const char* key) const;

  char path_[kPathSize];
  VtIniSection** sections_;
  int capacity_;
  int count_;
};
