#include "playerplace.h"

#include <windows.h>
// shlobj.h needs windows.h first.
#include <knownfolders.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

#include "finalpath.h"
#include "library.h"
#include "localmemory.h"
#include "ownedtext.h"
#include "replaceable.h"
#include "widetext.h"

namespace {

// One file or folder however it is reached: a junction, a short name or \\localhost\C$ give
// other paths to the same identity.
struct FileId {
  DWORD volume;
  DWORD high;
  DWORD low;
};

bool IdOf(HANDLE object, FileId* id) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(object, &info)) return false;
  *id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
  return true;
}

// The folder that holds every user's profile (C:\Users), from the shell, which Windows keeps
// among its known libraries.
std::wstring ProfilesFolder() {
  wchar_t* allocated = nullptr;
  const HRESULT hr = SHGetKnownFolderPath(FOLDERID_UserProfiles, 0, nullptr, &allocated);
  const VtTaskMemory<wchar_t> folder(allocated);
  return SUCCEEDED(hr) && folder ? std::wstring(folder.get()) : std::wstring();
}

std::wstring TempFolder() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
  return length != 0 && length <= MAX_PATH ? std::wstring(folder, length) : std::wstring();
}

std::vector<FileId> PrivateFolders() {
  std::vector<FileId> ids;
  for (const std::wstring& folder : {ProfilesFolder(), TempFolder()}) {
    if (folder.empty()) continue;
    const VtHandle opened(OpenToInspect(folder.c_str()));
    FileId id;
    if (opened.valid() && IdOf(opened.get(), &id)) ids.push_back(id);
  }
  return ids;
}

bool IsAny(const std::vector<FileId>& ids, HANDLE object) {
  FileId id;
  if (!IdOf(object, &id)) return false;
  for (const FileId& other : ids)
    if (other.volume == id.volume && other.high == id.high && other.low == id.low) return true;
  return false;
}

// Characters of the volume's root in a final path, its backslash included: "\\?\C:\",
// "\\?\UNC\server\share\", "\\?\Volume{...}\"; 0 when there is none.
size_t RootLength(const std::wstring& path) {
  const wchar_t kShare[] = L"\\\\?\\UNC\\";
  size_t from = 4;  // past "\\?\"
  if (path.compare(0, std::wcslen(kShare), kShare) == 0)
    from = path.find(L'\\', std::wcslen(kShare)) + 1;  // past the server's name
  const size_t end = path.find(L'\\', from);
  return end == std::wstring::npos || from == 0 ? 0 : end + 1;
}

// Whether path ("X:\...", else false) names a drive that this logon session has of its own: a
// subst (a link into another folder) or a network drive mapped for this user.
bool OnSessionDrive(const wchar_t* path) {
  if (path[0] == 0 || path[1] != L':') return false;
  const wchar_t drive[] = {path[0], L':', 0};
  const wchar_t root[] = {path[0], L':', L'\\', 0};
  wchar_t target[kPathSize];
  return (QueryDosDeviceW(drive, target, kPathSize) != 0 && IsSubstTarget(target)) ||
         GetDriveTypeW(root) == DRIVE_REMOTE;
}

// Whether a final path lies on a local fixed disk, which every user of the machine has.
bool OnFixedDisk(const std::wstring& finalPath) {
  const std::wstring written = WrittenPath(finalPath);
  if (written.size() < 3 || written[1] != L':' || written[2] != L'\\') return false;
  return GetDriveTypeW(written.substr(0, 3).c_str()) == DRIVE_FIXED;
}

}  // namespace

bool IsSubstTarget(const wchar_t* dosDevice) { return std::wcsncmp(dosDevice, L"\\??\\", 4) == 0; }

VtPlayerPlace PlayerPlace(const char* exePath) {
  const VtOwnedWide wide(Widen(exePath));
  if (!wide) return VtPlayerPlace::kReplaceable;
  const VtHandle file(OpenToInspect(wide.get()));
  // Judged where it really is: the text given may lead anywhere through links and shares.
  const std::wstring path = file.valid() ? FinalPath(file.get()) : std::wstring();
  const size_t root = RootLength(path);
  if (root == 0) return VtPlayerPlace::kReplaceable;
  if (OnSessionDrive(wide.get()) || !OnFixedDisk(path)) return VtPlayerPlace::kSessionDrive;
  const std::vector<FileId> privateFolders = PrivateFolders();
  bool replaceable = OthersMayReplace(file.get(), VtReplaceKind::kFile);
  VtReplaceKind kind = VtReplaceKind::kOwnFolder;
  for (size_t end = path.find_last_of(L'\\'); end != std::wstring::npos && end + 1 >= root;
       end = path.find_last_of(L'\\', end - 1)) {
    // The root keeps its backslash: without it "\\?\C:" names the volume, not its folder.
    const std::wstring folderPath = path.substr(0, end + 1 == root ? root : end);
    const VtHandle folder(OpenToInspect(folderPath.c_str()));
    if (!folder.valid()) return VtPlayerPlace::kReplaceable;
    if (IsAny(privateFolders, folder.get())) return VtPlayerPlace::kPrivateFolder;
    replaceable = replaceable || OthersMayReplace(folder.get(), kind);
    kind = VtReplaceKind::kFolderAbove;
    if (end + 1 == root) break;
  }
  return replaceable ? VtPlayerPlace::kReplaceable : VtPlayerPlace::kShared;
}

std::string WrittenPlayerPath(const char* exePath) {
  const VtOwnedWide wide(Widen(exePath));
  const VtHandle file(wide ? OpenToInspect(wide.get()) : VtHandle(nullptr));
  const std::wstring path = file.valid() ? WrittenPath(FinalPath(file.get())) : std::wstring();
  const VtOwnedText written(path.empty() ? nullptr : NarrowExact(path.c_str()));
  return written ? written.get() : exePath;
}
