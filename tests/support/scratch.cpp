#include "scratch.h"

#include <sddl.h>

#include <algorithm>
#include <cstdio>

#include "defaultapps.h"
#include "userchoice.h"

namespace vttest {

std::string UniqueName(const char* prefix) {
  static unsigned counter = 0;
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s_%lu_%u", prefix, static_cast<unsigned long>(GetCurrentProcessId()),
                ++counter);
  return buf;
}

namespace {

// Everyone: KEY_SET_VALUE (0x2) denied, all other access allowed, as Windows protects Explorer's
// UserChoice key. Protected: DELETE (0x10000) denied too, as the UserChoice Protection Driver
// refuses it; Wine grants DELETE whatever the DACL, so listing subkeys (0x8) is denied as well,
// and a key with a subkey that cannot be listed is not deleted there either.
const char kChoiceRights[] = "D:(D;;0x2;;;WD)(A;;KA;;;WD)";
const char kProtectedChoiceRights[] = "D:(D;;0x1000a;;;WD)(A;;KA;;;WD)";
const char kProtectedSubkey[] = "\\Protected";

bool SetRights(HKEY root, const std::string& path, const char* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr))
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

std::string FileExtsKey(const std::string& ext) { return std::string(kFileExtsKey) + "\\" + ext; }

ScratchChoice::ScratchChoice(const std::string& ext)
    : madeFileExts_(!KeyExists(HKEY_CURRENT_USER, kFileExtsKey)),
      key_(HKEY_CURRENT_USER, FileExtsKey(ext)) {}

ScratchChoice::~ScratchChoice() {
  for (const std::string& key : protected_) SetRights(HKEY_CURRENT_USER, key, kChoiceRights);
  DeleteKeyTree(HKEY_CURRENT_USER, path());
  // Refused while another extension's choice is left there.
  if (madeFileExts_) RegDeleteKeyA(HKEY_CURRENT_USER, kFileExtsKey);
}

bool ScratchChoice::Set(const char* sub, const char* name, DWORD type, const std::string& bytes) {
  const std::string key = path() + "\\" + sub;
  DeleteKeyTree(HKEY_CURRENT_USER, key);
  const bool made = name ? SetRawValue(HKEY_CURRENT_USER, key, name, type, bytes.data(),
                                      static_cast<DWORD>(bytes.size()))
                         : CreateKey(HKEY_CURRENT_USER, key);
  return made && SetRights(HKEY_CURRENT_USER, key, kChoiceRights);
}

bool ScratchChoice::Protect(const char* sub, bool refuseDelete) {
  const std::string key = path() + "\\" + sub;
  if (refuseDelete) {
    protected_.push_back(key);
    if (!CreateKey(HKEY_CURRENT_USER, key + kProtectedSubkey)) return false;
  }
  return SetRights(HKEY_CURRENT_USER, key, refuseDelete ? kProtectedChoiceRights : kChoiceRights);
}

bool ScratchChoice::Set(const char* sub, const std::string& progId, const char* name) {
  return Set(sub, name, REG_SZ, progId + '\0');
}

ScratchKey::ScratchKey(HKEY root, std::string path, REGSAM view)
    : root_(root), path_(std::move(path)), view_(view) {
  DeleteKeyTree(root_, path_, view_);
}

ScratchKey::~ScratchKey() { DeleteKeyTree(root_, path_, view_); }

void RemoveDefaultApp(const std::string& ext) {
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    DeleteValue(hive, kFileAssociationsKey, ext.c_str(), kView64);
  RemoveUnusedDefaultApp();
}

void RemoveUnusedDefaultApp() {
  for (HKEY hive : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    if (!ValueNames(hive, kFileAssociationsKey, kView64).empty()) continue;
    DeleteValue(hive, kRegisteredApplicationsKey, kRegisteredAppName, kView64);
    DeleteKeyTree(hive, kAppKey, kView64);
  }
}

std::vector<std::string> Listing(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

static void RemoveFolder(const std::string& folder) {
  for (const std::string& name : Listing(folder)) {
    const std::string full = folder + name;
    const DWORD attributes = GetFileAttributesA(full.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      RemoveFolder(full + "\\");
    } else {
      SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileA(full.c_str());
    }
  }
  SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryA(folder.c_str());
}

// A player under a profile or the temporary folder is registered for its user only, so scratch
// players live outside both: in "vttest" under %ProgramData%, made when missing and left there.
static std::string SharedScratchFolder() {
  char data[MAX_PATH];
  const DWORD length = GetEnvironmentVariableA("ProgramData", data, sizeof data);
  if (length == 0 || length >= sizeof data) return "";
  const std::string folder = std::string(data, length) + "\\vttest\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

ScratchDir::ScratchDir(const std::string& parent) : path_(parent) {
  if (path_.empty()) path_ = SharedScratchFolder();
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

std::string EncodedText(const std::wstring& text, UINT codePage) {
  std::string bytes;
  if (codePage == 1200 || codePage == 1201) {
    for (wchar_t c : text) {
      const char low = static_cast<char>(c & 0xFF), high = static_cast<char>(c >> 8);
      bytes += codePage == 1200 ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
  }
  bytes.resize(text.size() * 4);
  bytes.resize(static_cast<size_t>(WideCharToMultiByte(codePage, 0, text.c_str(),
                                                       static_cast<int>(text.size()), &bytes[0],
                                                       static_cast<int>(bytes.size()), nullptr,
                                                       nullptr)));
  return bytes;
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
