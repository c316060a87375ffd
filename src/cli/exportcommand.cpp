// export: a registry editor file that gives the listed extensions back as they are now, through
// `reg import` alone: each extension key and the ProgID it names in every classes hive the scope may
// change, and the tool's ProgID (only deleted where it does not exist yet).
#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "changefailure.h"
#include "clirows.h"
#include "commands.h"
#include "ownedtext.h"
#include "regfile.h"
#include "registry.h"
#include "widetext.h"

namespace {

// What the open extension key names, in UTF-16 so that no character is lost on the way to the file;
// empty for anything but a text, or one that names no single key beneath the classes.
std::wstring NamedProgId(const VtRegistry& extKey) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(extKey.key(), L"", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t))
    return std::wstring();
  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (RegQueryValueExW(extKey.key(), L"", nullptr, &type, reinterpret_cast<BYTE*>(&text[0]),
                       &size) != ERROR_SUCCESS)
    return std::wstring();
  text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));
  if (text.size() > static_cast<size_t>(VtRegistry::kMaxNameChars) ||
      text.find(L'\\') != std::wstring::npos)
    return std::wstring();
  return text;
}

std::wstring Wide(const char* text) {
  const VtOwnedWide wide(Widen(text));
  return wide ? std::wstring(wide.get()) : std::wstring();
}

std::wstring Upper(std::wstring name) {
  if (!name.empty()) CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
  return name;
}

// The keys of the file, each once, as the registry compares names.
class ExportKeys {
 public:
  explicit ExportKeys(VtScope scope) {
    // The machine's scope also undoes in the user's classes; the user's never reaches the machine's.
    if (scope == VtScope::kMachine) hives_.push_back(VtScope::kMachine);
    hives_.push_back(VtScope::kUser);
  }

  void AddExtension(const VtAssocInfo& entry) {
    const std::wstring ext = Wide(entry.ext);
    if (ext.empty()) return;
    std::vector<std::wstring> progIds;
    for (VtScope hive : hives_) {
      Add(hive, ext);
      VtRegistry extKey;
      const std::string path = std::string(kClassesKey) + "\\" + entry.ext;
      if (!extKey.Open(ScopeHive(hive), path.c_str(), KEY_READ)) continue;
      const std::wstring named = NamedProgId(extKey);
      if (!named.empty()) progIds.push_back(named);
    }
    const VtOwnedText own(ToolProgId(entry.ext));
    progIds.push_back(Wide(own.get()));
    for (const std::wstring& progId : progIds)
      for (VtScope hive : hives_) Add(hive, progId);
  }

  const std::vector<VtExportKey>& keys() const { return keys_; }

 private:
  void Add(VtScope hive, const std::wstring& name) {
    if (name.empty()) return;
    const std::wstring path = L"Software\\Classes\\" + name;
    const HKEY root = ScopeHive(hive);
    if (held_.insert((root == HKEY_LOCAL_MACHINE ? L"M" : L"U") + Upper(path)).second)
      keys_.push_back({root, path});
  }

  std::vector<VtScope> hives_;
  std::vector<VtExportKey> keys_;
  std::unordered_set<std::wstring> held_;
};

}  // namespace

int RunExport(const VtCliRequest& request, const VtStdStream& err) {
  VtScope scope;
  std::wstring why;
  if (!ScopeOf(request, &scope, &why)) return Refuse(err, why);
  VtCliRows rows;
  AddRequestedRows(request, scope, &rows);
  ExportKeys keys(scope);
  for (int row = 0; row < rows.Count(); ++row) keys.AddExtension(*rows.Entry(row));
  const DWORD result = WriteRegistryFile(request.file.c_str(), keys.keys());
  if (result == ERROR_SUCCESS) return kExitDone;
  err.Write(OwnText("書き出せませんでした。") + L"\r\n" + ChangeFailureLine(request.file, result) +
            L"\r\n");
  return kExitSomeNotChanged;
}
