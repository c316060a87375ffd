#include "regfile.h"

#include <new>

#include "registry.h"
#include "regtext.h"
#include "wholefile.h"

namespace {

const wchar_t kHeader[] = L"Windows Registry Editor Version 5.00\r\n\r\n";
const wchar_t kBlankLine[] = L"\r\n";
const wchar_t kByteOrderMark = 0xFEFF;

// The roots as regedit names them; null for any other.
const wchar_t* RootName(HKEY root) {
  if (root == HKEY_LOCAL_MACHINE) return L"HKEY_LOCAL_MACHINE";
  if (root == HKEY_CURRENT_USER) return L"HKEY_CURRENT_USER";
  return nullptr;
}

// Names between single backslashes, none empty: the path each section line builds on.
bool IsPlainPath(const std::wstring& path) {
  return !path.empty() && path.front() != L'\\' && path.back() != L'\\' &&
         path.find(L"\\\\") == std::wstring::npos;
}

LONG AppendValues(HKEY key, std::wstring& out) {
  DWORD longestName = 0;
  DWORD longestData = 0;
  LONG rc = RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &longestName, &longestData, nullptr, nullptr);
  if (rc != ERROR_SUCCESS) return rc;
  std::wstring name(longestName + 1, L'\0');
  std::vector<BYTE> data(longestData + 1);
  for (DWORD index = 0;;) {
    DWORD nameLength = static_cast<DWORD>(name.size());
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = REG_NONE;
    rc = RegEnumValueW(key, index, &name[0], &nameLength, nullptr, &type, data.data(), &size);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    // A value that grew since the key was asked: read it again into larger buffers.
    if (rc == ERROR_MORE_DATA) {
      name.resize(name.size() * 2);
      data.resize(data.size() * 2);
      continue;
    }
    if (rc != ERROR_SUCCESS) return rc;
    if (!AppendValueLines(out, name.substr(0, nameLength), type, data.data(), size))
      return ERROR_INVALID_DATA;
    ++index;
  }
}

// AppendTree and AppendSubkeys call each other, one level further down each time.
LONG AppendTree(HKEY parent, const std::wstring& subKey, REGSAM view, const std::wstring& shown,
                std::wstring& out);

// Each subkey's tree in turn, in the registry's order.
LONG AppendSubkeys(HKEY key, REGSAM view, const std::wstring& shown, std::wstring& out) {
  wchar_t name[VtRegistry::kMaxNameChars + 1];
  for (DWORD index = 0;; ++index) {
    DWORD length = VtRegistry::kMaxNameChars + 1;
    LONG rc = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) return ERROR_SUCCESS;
    if (rc != ERROR_SUCCESS) return rc;
    const std::wstring child(name, length);
    rc = AppendTree(key, child, view, shown + L'\\' + child, out);
    if (rc != ERROR_SUCCESS) return rc;
  }
}

// Appends the section of parent\subKey, named shown in the file, and those of every key beneath.
LONG AppendTree(HKEY parent, const std::wstring& subKey, REGSAM view, const std::wstring& shown,
                std::wstring& out) {
  const size_t start = out.size();
  if (!AppendKeyLine(out, shown, false)) return ERROR_INVALID_DATA;
  VtRegistry key(view);
  LONG rc = key.Open(parent, subKey.c_str(), KEY_READ) ? AppendValues(key.key(), out) : key.error();
  if (rc == ERROR_SUCCESS) {
    out += kBlankLine;
    rc = AppendSubkeys(key.key(), view, shown, out);
  }
  // A key that is gone before it is opened, or while it is read, is left out as if it had never
  // been there: the deletion of the exported key above it already takes it away.
  if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_KEY_DELETED) {
    out.resize(start);
    return ERROR_SUCCESS;
  }
  return rc;
}

// The section of a key of values: each named value as it is, or its deletion.
LONG AppendNamedValues(const VtExportKey& exported, const std::wstring& shown, std::wstring& out) {
  if (!AppendKeyLine(out, shown, false)) return ERROR_INVALID_DATA;
  VtRegistry key(exported.view);
  const bool open = key.Open(exported.root, exported.path.c_str(), KEY_READ);
  if (!open && key.error() != ERROR_FILE_NOT_FOUND) return key.error();
  std::vector<BYTE> data;
  for (const std::wstring& name : exported.values) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG rc = open ? RegQueryValueExW(key.key(), name.c_str(), nullptr, &type, nullptr, &size)
                   : ERROR_FILE_NOT_FOUND;
    if (rc == ERROR_SUCCESS) {
      data.resize(size + 1);
      rc = RegQueryValueExW(key.key(), name.c_str(), nullptr, &type, data.data(), &size);
    }
    bool fits = false;
    if (rc == ERROR_SUCCESS) {
      fits = AppendValueLines(out, name, type, data.data(), size);
    } else if (rc == ERROR_FILE_NOT_FOUND) {
      fits = AppendValueDeletion(out, name);
    } else {
      return rc;
    }
    if (!fits) return ERROR_INVALID_DATA;
  }
  out += kBlankLine;
  return ERROR_SUCCESS;
}

LONG AppendExport(const VtExportKey& exported, std::wstring& out) {
  const wchar_t* root = RootName(exported.root);
  if (root == nullptr || !IsPlainPath(exported.path)) return ERROR_INVALID_PARAMETER;
  const std::wstring shown = root + (L'\\' + exported.path);
  if (!exported.values.empty()) return AppendNamedValues(exported, shown, out);
  if (!AppendKeyLine(out, shown, true)) return ERROR_INVALID_DATA;
  out += kBlankLine;
  return AppendTree(exported.root, exported.path, exported.view, shown, out);
}

}  // namespace

DWORD WriteRegistryFile(const wchar_t* path, const std::vector<VtExportKey>& keys) {
  if (path == nullptr || path[0] == L'\0') return ERROR_INVALID_PARAMETER;
  // Nothing touches the disk before the whole text stands, so a failed walk leaves path as it was.
  try {
    std::wstring text(1, kByteOrderMark);
    text += kHeader;
    for (const VtExportKey& exported : keys) {
      const LONG rc = AppendExport(exported, text);
      if (rc != ERROR_SUCCESS) return static_cast<DWORD>(rc);
    }
    // UTF-16 LE: the byte order of the characters in memory.
    return WriteWholeFile(path, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
}
