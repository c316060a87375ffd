// The registry read and written directly, outside the code under test: to set up a state, to check
// what the code left, to clean up. view: 0, or kView64 where the tool registers for Default Apps.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vttest {

// HKEY_LOCAL_MACHINE\Software in the 64-bit view, which a 32-bit program reaches only with this
// flag: where the tool registers for Default Apps.
const REGSAM kView64 = KEY_WOW64_64KEY;

// Creates (or opens) a key; true on success.
bool CreateKey(HKEY root, const std::string& path, REGSAM view = 0);
// Creates (or opens) a key and sets a value of any type; true on success.
bool SetRawValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                 DWORD size, REGSAM view = 0);
bool SetString(HKEY root, const std::string& path, const char* name, const std::string& value,
               REGSAM view = 0);
// A value's type and bytes as stored; false when the key or the value is missing.
bool GetValue(HKEY root, const std::string& path, const char* name, DWORD* type,
              std::string* bytes, REGSAM view = 0);
// The same as the registry stores it: a string in UTF-16, every character exactly as written,
// where GetValue gives it in the ANSI code page, which turns "Café" into "Cafe" under 932.
bool GetStoredValue(HKEY root, const std::string& path, const char* name, DWORD* type,
                    std::string* bytes, REGSAM view = 0);
// A value's bytes up to the first zero, whatever its type; false when the key or value is missing.
bool GetString(HKEY root, const std::string& path, const char* name, std::string* out,
               REGSAM view = 0);
bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0);
// The machine's classes key's last-write time in the 64-bit view, as sixteen hex digits: what the
// tool's memo of the classes keeps in its options file.
std::string MachineClassesWritten();
// True when the key holds a value of that name, of any type.
bool ValueExists(HKEY root, const std::string& path, const char* name, REGSAM view = 0);
bool DeleteValue(HKEY root, const std::string& path, const char* name, REGSAM view = 0);
// Removes a key tree. True when it is gone afterwards.
bool DeleteKeyTree(HKEY root, const std::string& path, REGSAM view = 0);
// A text's bytes as the wide functions store it: its UTF-16 characters and one NUL.
std::string WideBytes(const std::wstring& text);
// Through the wide functions, for names code page 932 lacks (the functions above turn them into
// "?"): a value of any type from its bytes, the key made when missing; a key tree removed (true
// when it is gone afterwards).
bool SetRawValueW(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
                  const std::string& bytes);
bool DeleteKeyTreeW(HKEY root, const std::wstring& path, REGSAM view = 0);
// The names of a key's subkeys, and of its values, in the order the registry gives them; none when
// the key is missing.
std::vector<std::string> SubkeyNames(HKEY root, const std::string& path, REGSAM view = 0);
std::vector<std::string> ValueNames(HKEY root, const std::string& path, REGSAM view = 0);

// Beneath HKEY_CLASSES_ROOT, where most tests work: a value of any type and size from its bytes,
// a REG_SZ value with its terminator, a key without values.
bool PutValue(const std::string& key, const char* name, DWORD type, const std::string& bytes);
bool PutText(const std::string& key, const char* name, const std::string& text);
bool MakeKey(const std::string& key);
// The default value of an extension as the shell reads it: the string, or "" when the key or the
// value is missing or not a string.
std::string NamedProgId(const std::string& ext);

// The classes key of one hive, HKEY_LOCAL_MACHINE's or HKEY_CURRENT_USER's: where a test of either
// of the tool's scopes seeds and checks keys, as the functions above do beneath HKEY_CLASSES_ROOT.
class HiveClasses {
 public:
  explicit HiveClasses(HKEY hive) : hive_(hive) {}
  HKEY hive() const { return hive_; }
  // The path of key beneath hive.
  std::string Path(const std::string& key) const;
  std::vector<std::string> Paths(const std::vector<std::string>& keys) const;
  bool PutValue(const std::string& key, const char* name, DWORD type,
                const std::string& bytes) const;
  bool PutText(const std::string& key, const char* name, const std::string& text) const;
  bool MakeKey(const std::string& key) const;
  std::string NamedProgId(const std::string& ext) const;
  bool Exists(const std::string& key) const { return KeyExists(hive_, Path(key)); }
  bool Delete(const std::string& key) const { return DeleteKeyTree(hive_, Path(key)); }

 private:
  HKEY hive_;
};

}  // namespace vttest
