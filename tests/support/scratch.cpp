#include "scratch.h"

#include <sddl.h>

#include <cstdio>
#include <vector>

namespace vttest {

std::string UniqueName(const char* prefix) {
  static unsigned counter = 0;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s_%lu_%u", prefix, static_cast<unsigned long>(GetCurrentProcessId()),
                ++counter);
  return buf;
}

bool DeleteKeyTree(HKEY root, const std::string& path, REGSAM view) {
  HKEY key;
  // Enumerating is all it needs, so a key that denies changes (see DenySetValue) goes as well.
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return true;
  // Always take index 0: deleting shifts the remaining indices down.
  char name[512];
  for (;;) {
    DWORD len = sizeof name;
    if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (!DeleteKeyTree(key, name, view)) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyExA(root, path.c_str(), view, 0) == ERROR_SUCCESS;
}

namespace {

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

// Lets nobody set values in the key, as Windows protects Explorer's UserChoice key.
bool DenySetValue(HKEY root, const std::string& path) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  // Everyone: KEY_SET_VALUE (0x2) denied, all other access allowed.
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x2;;;WD)(A;;KA;;;WD)",
                                                            SDDL_REVISION_1, &sd, nullptr))
    return false;
  HKEY key;
  LONG rc = RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key);
  if (rc == ERROR_SUCCESS) {
    rc = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    RegCloseKey(key);
  }
  LocalFree(sd);
  return rc == ERROR_SUCCESS;
}

}  // namespace

ScratchChoice::ScratchChoice(const std::string& ext)
    : madeFileExts_(!KeyExists(HKEY_CURRENT_USER, kFileExts)),
      key_(HKEY_CURRENT_USER, std::string(kFileExts) + "\\" + ext) {}

ScratchChoice::~ScratchChoice() {
  DeleteKeyTree(HKEY_CURRENT_USER, path());
  // Refused while another extension's choice is left there.
  if (madeFileExts_) RegDeleteKeyA(HKEY_CURRENT_USER, kFileExts);
}

bool ScratchChoice::Set(const char* sub, const char* name, DWORD type, const std::string& bytes) {
  const std::string key = path() + "\\" + sub;
  DeleteKeyTree(HKEY_CURRENT_USER, key);
  bool made;
  if (name) {
    made = SetRawValue(HKEY_CURRENT_USER, key, name, type, bytes.data(), static_cast<DWORD>(bytes.size()));
  } else {
    HKEY created;
    made = RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                           &created, nullptr) == ERROR_SUCCESS;
    if (made) RegCloseKey(created);
  }
  return made && DenySetValue(HKEY_CURRENT_USER, key);
}

bool ScratchChoice::Set(const char* sub, const std::string& progId, const char* name) {
  return Set(sub, name, REG_SZ, progId + '\0');
}

ScratchKey::ScratchKey(HKEY root, std::string path, REGSAM view)
    : root_(root), path_(std::move(path)), view_(view) {
  DeleteKeyTree(root_, path_, view_);
}

ScratchKey::~ScratchKey() { DeleteKeyTree(root_, path_, view_); }

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

bool GetString(HKEY root, const std::string& path, const char* name, std::string* out,
               REGSAM view) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  DWORD type = 0, size = 0;
  LONG rc = RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
  std::vector<char> buf(size + 2, 0);
  if (rc == ERROR_SUCCESS)
    rc = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) return false;
  out->assign(buf.data());
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

void RemoveDefaultApp(const std::string& ext) {
  const std::string associations = "Software\\vntassoc\\Capabilities\\FileAssociations";
  DeleteValue(HKEY_LOCAL_MACHINE, associations, ext.c_str(), kView64);
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, associations.c_str(), 0, KEY_READ | kView64, &key) ==
      ERROR_SUCCESS) {
    DWORD values = 0;
    const LONG rc = RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                     &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || values != 0) return;
  }
  DeleteValue(HKEY_LOCAL_MACHINE, "Software\\RegisteredApplications", "Vantrel Player (vntassoc)",
              kView64);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\vntassoc", kView64);
}

static void RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      std::string full = folder + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveFolder(full + "\\");
      } else {
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(full.c_str());
      }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

ScratchDir::ScratchDir() {
  char tmp[MAX_PATH];
  DWORD n = GetTempPathA(sizeof tmp, tmp);
  path_.assign(tmp, n);
  if (path_.empty() || path_.back() != '\\') path_ += '\\';
  path_ += UniqueName("vtdir") + "\\";
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchDir::~ScratchDir() { RemoveFolder(path_); }

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  return ok && written == bytes.size();
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD size = GetFileSize(h, nullptr);
  bytes->assign(size, '\0');
  DWORD got = 0;
  BOOL ok = size == 0 || ReadFile(h, &(*bytes)[0], size, &got, nullptr);
  CloseHandle(h);
  bytes->resize(got);
  return ok != FALSE;
}

}  // namespace vttest
