#include "regdump.h"

#include <algorithm>
#include <cstdio>

namespace vttest {
namespace {

// Owns a key handle for one scope.
class Key {
 public:
  Key(HKEY root, const std::string& path, REGSAM view = 0) : key_(nullptr) {
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key_) != ERROR_SUCCESS)
      key_ = nullptr;
  }
  ~Key() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  HKEY get() const { return key_; }

 private:
  HKEY key_;
};

bool NameLess(const std::string& a, const std::string& b) {
  return lstrcmpiA(a.c_str(), b.c_str()) < 0;
}

const char* TypeName(DWORD type) {
  switch (type) {
    case REG_NONE:
      return "NONE";
    case REG_SZ:
      return "SZ";
    case REG_EXPAND_SZ:
      return "EXPAND_SZ";
    case REG_BINARY:
      return "BINARY";
    case REG_DWORD:
      return "DWORD";
    case REG_MULTI_SZ:
      return "MULTI_SZ";
    case REG_QWORD:
      return "QWORD";
    default:
      return "OTHER";
  }
}

std::string Bytes(const std::vector<unsigned char>& data) {
  char piece[48];
  if (data.size() > 64) {
    unsigned long sum = 2166136261u;  // FNV-1a
    for (unsigned char b : data) sum = (sum ^ b) * 16777619u;
    std::snprintf(piece, sizeof piece, "%lu bytes #%08lx", static_cast<unsigned long>(data.size()),
                  sum);
    return piece;
  }
  std::string text;
  for (unsigned char b : data) {
    std::snprintf(piece, sizeof piece, "%02x", b);
    text += piece;
  }
  return text.empty() ? "(0 bytes)" : text;
}

void Dump(HKEY root, const std::string& path, const std::string& shown, REGSAM view,
          std::string* out) {
  Key key(root, path, view);
  if (key.get() == nullptr) {
    *out += shown + ": (no key)\n";
    return;
  }
  DWORD subkeys = 0, longestSub = 0, values = 0, longestName = 0, longestData = 0;
  RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, &longestSub, nullptr, &values,
                   &longestName, &longestData, nullptr, nullptr);
  std::vector<std::string> lines;
  std::vector<char> name(longestName + 2);
  std::vector<unsigned char> data(longestData + 1);
  for (DWORD i = 0; i < values; ++i) {
    DWORD nameSize = static_cast<DWORD>(name.size());
    DWORD dataSize = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueA(key.get(), i, name.data(), &nameSize, nullptr, &type, data.data(),
                      &dataSize) != ERROR_SUCCESS)
      continue;
    std::vector<unsigned char> bytes(data.begin(), data.begin() + dataSize);
    lines.push_back("  " + std::string(name.data(), nameSize) + " = " + TypeName(type) + " " +
                    Bytes(bytes));
  }
  std::sort(lines.begin(), lines.end());
  *out += shown + ":\n";
  for (const std::string& line : lines) *out += line + "\n";

  std::vector<std::string> children;
  std::vector<char> sub(longestSub * 3 + 2);
  for (DWORD i = 0; i < subkeys; ++i) {
    DWORD size = static_cast<DWORD>(sub.size());
    if (RegEnumKeyExA(key.get(), i, sub.data(), &size, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      children.emplace_back(sub.data(), size);
  }
  std::sort(children.begin(), children.end(), NameLess);
  for (const std::string& child : children)
    Dump(root, path + "\\" + child, shown + "\\" + child, view, out);
}

}  // namespace

std::string DumpTree(HKEY root, const std::string& path, REGSAM view) {
  std::string out;
  Dump(root, path, path, view, &out);
  return out;
}

std::string DumpTrees(HKEY root, const std::vector<std::string>& paths, REGSAM view) {
  std::string out;
  for (const std::string& path : paths) out += DumpTree(root, path, view);
  return out;
}

bool PutValue(const std::string& key, const char* name, DWORD type, const std::string& bytes) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS)
    return false;
  const LONG rc = RegSetValueExA(handle, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size()));
  RegCloseKey(handle);
  return rc == ERROR_SUCCESS;
}

bool MakeKey(const std::string& key) {
  HKEY handle;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                      &handle, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

bool PutText(const std::string& key, const char* name, const std::string& text) {
  return PutValue(key, name, REG_SZ, std::string(text.c_str(), text.size() + 1));
}

std::string NamedProgId(const std::string& ext) {
  Key key(HKEY_CLASSES_ROOT, ext);
  if (key.get() == nullptr) return "";
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key.get(), "", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return "";
  std::vector<char> text(size + 2, 0);
  if (RegQueryValueExA(key.get(), "", nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                       &size) != ERROR_SUCCESS)
    return "";
  return text.data();
}

}  // namespace vttest
