#include "regdump.h"

#include <algorithm>
#include <cstdio>

#include "regaccess.h"

namespace vttest {
namespace {

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

std::string Bytes(const std::string& data) {
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
  if (!KeyExists(root, path, view)) {
    *out += shown + ": (no key)\n";
    return;
  }
  std::vector<std::string> lines;
  for (const std::string& name : ValueNames(root, path, view)) {
    DWORD type = 0;
    std::string bytes;
    if (GetStoredValue(root, path, name.c_str(), &type, &bytes, view))
      lines.push_back("  " + name + " = " + TypeName(type) + " " + Bytes(bytes));
  }
  std::sort(lines.begin(), lines.end());
  *out += shown + ":\n";
  for (const std::string& line : lines) *out += line + "\n";

  std::vector<std::string> children = SubkeyNames(root, path, view);
  std::sort(children.begin(), children.end(), NameLess);
  for (const std::string& child : children)
    Dump(root, path + "\\" + child, shown + "\\" + child, view, out);
}

void DumpKeyW(HKEY parent, const std::wstring& name, const std::wstring& shown, REGSAM view,
              std::vector<std::wstring>& lines) {
  HKEY key;
  if (RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    lines.push_back(shown + L" (no key)");
    return;
  }
  lines.push_back(shown);
  std::vector<wchar_t> valueName(16384);
  std::vector<BYTE> data(65536);  // far more than any value a test writes
  for (DWORD i = 0;; ++i) {
    DWORD length = static_cast<DWORD>(valueName.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    if (RegEnumValueW(key, i, valueName.data(), &length, nullptr, &type, data.data(), &size) !=
        ERROR_SUCCESS)
      break;
    std::wstring line = shown + L" \"" + std::wstring(valueName.data(), length) + L"\" " +
                        std::to_wstring(type) + L":";
    for (DWORD b = 0; b < size; ++b) {
      line += L"0123456789abcdef"[data[b] >> 4];
      line += L"0123456789abcdef"[data[b] & 15];
    }
    lines.push_back(line);
  }
  wchar_t sub[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, sub, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      break;
    const std::wstring child(sub, length);
    DumpKeyW(key, child, shown + L"\\" + child, view, lines);
  }
  RegCloseKey(key);
}

}  // namespace

std::wstring DumpTreeW(HKEY root, const std::wstring& path, REGSAM view) {
  std::vector<std::wstring> lines;
  DumpKeyW(root, path, path, view, lines);
  std::sort(lines.begin(), lines.end());
  std::wstring text;
  for (const std::wstring& line : lines) text += line + L"\n";
  return text;
}

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

}  // namespace vttest
