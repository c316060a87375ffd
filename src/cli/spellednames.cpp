#include "spellednames.h"

#include "registry.h"

std::wstring FoldedName(std::wstring name) {
  if (!name.empty()) CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
  return name;
}

VtSpelledNames::VtSpelledNames(HKEY root, const wchar_t* path, REGSAM view, bool values) {
  VtRegistry key(view);
  if (!key.Open(root, path, KEY_READ)) return;
  wchar_t name[VtRegistry::kMaxNameChars + 1];
  for (DWORD index = 0;; ++index) {
    DWORD length = VtRegistry::kMaxNameChars + 1;
    const LONG rc =
        values ? RegEnumValueW(key.key(), index, name, &length, nullptr, nullptr, nullptr, nullptr)
               : RegEnumKeyExW(key.key(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;  // a value name longer than a key's: not one of ours
    if (rc != ERROR_SUCCESS) return;
    const std::wstring spelled(name, length);
    byFold_.emplace(FoldedName(spelled), spelled);
  }
}

std::wstring VtSpelledNames::Spelled(const std::wstring& name) const {
  const auto found = byFold_.find(FoldedName(name));
  return found != byFold_.end() ? found->second : name;
}

std::vector<std::wstring> VtSpelledNames::StartingWith(const std::wstring& prefix) const {
  std::vector<std::wstring> names;
  const std::wstring folded = FoldedName(prefix);
  for (const auto& name : byFold_)
    if (name.first.compare(0, folded.size(), folded) == 0) names.push_back(name.second);
  return names;
}
