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

}  // namespace vttest
