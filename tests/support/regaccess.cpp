#include "regaccess.h"

#include <cstring>

#include "classes.h"

namespace vttest {
namespace {

// Subkey names (values false) or value names of an open key.
std::vector<std::string> Names(HKEY key, bool values) {
  DWORD subkeys = 0, longestSub = 0, valueCount = 0, longestName = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longestSub, nullptr, &valueCount,
                   &longestName, nullptr, nullptr, nullptr);
  const DWORD count = values ? valueCount : subkeys;
  // The longest name is counted in UTF-16 characters; in code page 932 each may take two bytes.
  std::vector<char> name((values ? longestName : longestSub) * 3 + 2);
  std::vector<std::string> names;
  for (DWORD i = 0; i < count; ++i) {
    DWORD size = static_cast<DWORD>(name.size());
    const LONG rc = values ? RegEnumValueA(key, i, name.data(), &size, nullptr, nullptr, nullptr,
                                           nullptr)
                           : RegEnumKeyExA(key, i, name.data(), &size, nullptr, nullptr, nullptr,
                                           nullptr);
    if (rc == ERROR_SUCCESS) names.emplace_back(name.data(), size);
  }
  return names;
}

std::vector<std::string> Names(HKEY root, const std::string& path, REGSAM view, bool values) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return {};
  std::vector<std::string> names = Names(key, values);
  RegCloseKey(key);
  return names;
}

// The default value of the key as the shell reads it: the string, or "" when there is none.
std::string NamedIn(HKEY root, const std::string& path) {
  DWORD type = 0;
  std::string bytes;
  if (!GetValue(root, path, "", &type, &bytes) || (type != REG_SZ && type != REG_EXPAND_SZ))
    return "";
  return bytes.c_str();
}

}  // namespace

bool CreateKey(HKEY root, const std::string& path, REGSAM view) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

bool SetRawValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data,
                 DWORD size, REGSAM view) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return false;
  LONG rc = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool SetString(HKEY root, const std::string& path, const char* name, const std::string& value,
               REGSAM view) {
  return SetRawValue(root, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1),
                     view);
}

std::string WideBytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()),
                     (text.size() + 1) * sizeof(wchar_t));
}

bool SetRawValueW(HKEY root, const std::wstring& path, const wchar_t* name, DWORD type,
                  const std::string& bytes) {
  return RegSetKeyValueW(root, path.c_str(), name, type, bytes.data(),
                         static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool GetValue(HKEY root, const std::string& path, const char* name, DWORD* type,
              std::string* bytes, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, type, nullptr, &size);
  std::vector<char> buf(size + 2, 0);
  if (rc == ERROR_SUCCESS)
    rc = RegQueryValueExA(key, name, nullptr, type, reinterpret_cast<BYTE*>(buf.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  bytes->assign(buf.data(), size);
  return true;
}

namespace {
std::wstring WideName(const char* name) {
  std::wstring wide(std::strlen(name) + 1, L'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, name, -1, &wide[0], static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<size_t>(n - 1) : 0);
  return wide;
}
}  // namespace

bool GetStoredValue(HKEY root, const std::string& path, const char* name, DWORD* type,
                    std::string* bytes, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  const std::wstring wide = WideName(name);
  DWORD size = 0;
  LONG rc = RegQueryValueExW(key, wide.c_str(), nullptr, type, nullptr, &size);
  std::vector<char> buf(size + 2, 0);
  if (rc == ERROR_SUCCESS)
    rc = RegQueryValueExW(key, wide.c_str(), nullptr, type, reinterpret_cast<BYTE*>(buf.data()),
                          &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  bytes->assign(buf.data(), size);
  return true;
}

bool GetString(HKEY root, const std::string& path, const char* name, std::string* out,
               REGSAM view) {
  DWORD type = 0;
  std::string bytes;
  if (!GetValue(root, path, name, &type, &bytes, view)) return false;
  out->assign(bytes.c_str());
  return true;
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ValueExists(HKEY root, const std::string& path, const char* name, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  const LONG rc = RegQueryValueExA(key, name, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const std::string& path, const char* name, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegDeleteValueA(key, name);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS;
}

// In UTF-16, so that a subkey whose name code page 932 lacks is deleted too rather than named "?"
// and never found; a subkey that will not open ends the walk rather than being taken again.
bool DeleteKeyTreeW(HKEY root, const std::wstring& path, REGSAM view) {
  HKEY key;
  // Enumerating is all it needs, so a key that denies changes (a scratch user choice) goes as well.
  const LONG opened = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key);
  if (opened != ERROR_SUCCESS) return opened == ERROR_FILE_NOT_FOUND;
  // Always take index 0: deleting shifts the remaining indices down.
  wchar_t name[256];
  for (;;) {
    DWORD len = 256;
    if (RegEnumKeyExW(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    if (!DeleteKeyTreeW(key, name, view)) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyExW(root, path.c_str(), view, 0) == ERROR_SUCCESS;
}

bool DeleteKeyTree(HKEY root, const std::string& path, REGSAM view) {
  std::wstring wide(path.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0],
                                         static_cast<int>(wide.size()));
  if (length <= 0) return false;
  wide.resize(static_cast<size_t>(length - 1));
  return DeleteKeyTreeW(root, wide, view);
}

std::vector<std::string> SubkeyNames(HKEY root, const std::string& path, REGSAM view) {
  return Names(root, path, view, false);
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path, REGSAM view) {
  return Names(root, path, view, true);
}

bool PutValue(const std::string& key, const char* name, DWORD type, const std::string& bytes) {
  return SetRawValue(HKEY_CLASSES_ROOT, key, name, type, bytes.data(),
                     static_cast<DWORD>(bytes.size()));
}

bool PutText(const std::string& key, const char* name, const std::string& text) {
  return SetString(HKEY_CLASSES_ROOT, key, name, text);
}

bool MakeKey(const std::string& key) { return CreateKey(HKEY_CLASSES_ROOT, key); }

std::string NamedProgId(const std::string& ext) { return NamedIn(HKEY_CLASSES_ROOT, ext); }

std::string HiveClasses::Path(const std::string& key) const {
  return std::string(kClassesKey) + "\\" + key;
}

std::vector<std::string> HiveClasses::Paths(const std::vector<std::string>& keys) const {
  std::vector<std::string> paths;
  for (const std::string& key : keys) paths.push_back(Path(key));
  return paths;
}

bool HiveClasses::PutValue(const std::string& key, const char* name, DWORD type,
                           const std::string& bytes) const {
  return SetRawValue(hive_, Path(key), name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
}

bool HiveClasses::PutText(const std::string& key, const char* name,
                          const std::string& text) const {
  return SetString(hive_, Path(key), name, text);
}

bool HiveClasses::MakeKey(const std::string& key) const { return CreateKey(hive_, Path(key)); }

std::string HiveClasses::NamedProgId(const std::string& ext) const {
  return NamedIn(hive_, Path(ext));
}

std::string MachineClassesWritten() {
  HKEY key = nullptr;
  FILETIME time = {};
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes", 0, KEY_QUERY_VALUE | kView64, &key) ==
      ERROR_SUCCESS) {
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, &time);
    RegCloseKey(key);
  }
  char text[17];
  wsprintfA(text, "%08lX%08lX", time.dwHighDateTime, time.dwLowDateTime);
  return text;
}

}  // namespace vttest
