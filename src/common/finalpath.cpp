#include "finalpath.h"

namespace {

const wchar_t kDevicePrefix[] = L"\\\\?\\";
const wchar_t kSharePrefix[] = L"\\\\?\\UNC\\";

bool StartsWith(const std::wstring& text, const wchar_t* start) {
  return text.compare(0, wcslen(start), start) == 0;
}

}  // namespace

VtHandle OpenToInspect(const wchar_t* path) {
  // Backup semantics opens a folder as well as a file; no data access, so nothing is locked out.
  return VtHandle(CreateFileW(path, READ_CONTROL | FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::wstring FinalPath(HANDLE object) {
  const DWORD size = GetFinalPathNameByHandleW(object, nullptr, 0, FILE_NAME_NORMALIZED);
  if (size == 0) return std::wstring();
  std::wstring path(size, L'\0');
  const DWORD length = GetFinalPathNameByHandleW(object, &path[0], size, FILE_NAME_NORMALIZED);
  if (length == 0 || length >= size) return std::wstring();
  path.resize(length);
  return path;
}

std::wstring WrittenPath(const std::wstring& finalPath) {
  if (StartsWith(finalPath, kSharePrefix))
    return L"\\\\" + finalPath.substr(wcslen(kSharePrefix));
  if (StartsWith(finalPath, kDevicePrefix)) return finalPath.substr(wcslen(kDevicePrefix));
  return finalPath;
}

bool SamePathText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  const VtHandle first(OpenToInspect(a.c_str())), second(OpenToInspect(b.c_str()));
  BY_HANDLE_FILE_INFORMATION one, other;
  if (first.valid() && second.valid() && GetFileInformationByHandle(first.get(), &one) &&
      GetFileInformationByHandle(second.get(), &other))
    return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber &&
           one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
  std::wstring firstPath = first.valid() ? FinalPath(first.get()) : std::wstring();
  std::wstring secondPath = second.valid() ? FinalPath(second.get()) : std::wstring();
  // Two paths that cannot be resolved are never taken as one for being both empty.
  if (firstPath.empty()) firstPath = a;
  if (secondPath.empty()) secondPath = b;
  return SamePathText(WrittenPath(firstPath), WrittenPath(secondPath));
}
