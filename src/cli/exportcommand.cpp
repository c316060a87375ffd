// export: a registry editor file that restores, through `reg import` alone, what the tool's
// commands may change in the hives of the scope. Without extensions: the key of every extension
// the window would list, the ProgIDs they name, every ProgID of the tool and the whole Default Apps
// registration. With extensions: those extensions' keys, the ProgIDs they name, the tool's ProgID
// of each, and their Default Apps values. Names are written as the registry spells them.
#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "associnfo.h"
#include "assoctext.h"
#include "changefailure.h"
#include "clirows.h"
#include "clitexts.h"
#include "commands.h"
#include "defaultapps.h"
#include "ownedtext.h"
#include "regfile.h"
#include "spellednames.h"
#include "registry.h"
#include "uitext.h"
#include "widetext.h"

namespace {

// What Default Apps shows of the application, beside its FileAssociations.
const wchar_t* const kCapabilityValues[] = {L"ApplicationName", L"ApplicationDescription",
                                            L"ApplicationIcon"};

std::wstring Wide(const char* text) { return WideFrom(text, CP_ACP); }

// What the open key's value holds as a text, in UTF-16 so that no character is lost on the way
// to the file; empty for anything but a text.
std::wstring TextValue(HKEY key, const wchar_t* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ) || size < sizeof(wchar_t))
    return std::wstring();
  std::wstring text(size / sizeof(wchar_t), L'\0');
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&text[0]), &size) !=
      ERROR_SUCCESS)
    return std::wstring();
  text.resize(wcsnlen(text.c_str(), size / sizeof(wchar_t)));
  return text;
}

bool HasValue(HKEY key, const wchar_t* name) {
  return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// One hive whose keys the file restores, with the names beneath its classes key (listed in the
// 64-bit view, as ClassesKeyNames lists them: the 32-bit view lists only the redirected keys).
struct ExportHive {
  explicit ExportHive(VtScope of)
      : scope(of),
        root(ScopeHive(of)),
        classes(root, L"Software\\Classes", KEY_WOW64_64KEY, false) {}
  VtScope scope;
  HKEY root;
  VtSpelledNames classes;
};

// The keys of the file, each once, as the registry compares names.
class ExportPlan {
 public:
  explicit ExportPlan(VtScope scope) {
    // The machine's scope also unregisters in the user's classes; the user's never reaches the
    // machine's.
    if (scope == VtScope::kMachine) hives_.emplace_back(VtScope::kMachine);
    hives_.emplace_back(VtScope::kUser);
  }

  // The extension's key, the ProgID it names and the tool's, in every hive.
  void AddExtension(const char* ext) {
    const std::wstring name = Wide(ext);
    if (name.empty()) return;
    std::vector<std::wstring> progIds;
    for (const ExportHive& hive : hives_) {
      AddClass(hive, name);
      VtRegistry extKey;
      const std::wstring path = L"Software\\Classes\\" + hive.classes.Spelled(name);
      if (!extKey.Open(hive.root, path.c_str(), KEY_READ)) continue;
      const std::wstring named = TextValue(extKey.key(), L"");
      // Only a name of one key beneath the classes is a ProgID worth restoring.
      if (!named.empty() && named.size() <= static_cast<size_t>(VtRegistry::kMaxNameChars) &&
          named.find(L'\\') == std::wstring::npos)
        progIds.push_back(named);
    }
    const VtOwnedText own(ToolProgId(ext));
    progIds.push_back(Wide(own.get()));
    for (const std::wstring& progId : progIds)
      for (const ExportHive& hive : hives_) AddClass(hive, progId);
  }

  // Every ProgID of the tool, whether or not an extension names it: one made by a command cut
  // short is the tool's to change too.
  void AddToolProgIds() {
    const std::wstring prefix = Wide(kToolProgIdPrefix) + L".";
    for (const ExportHive& hive : hives_)
      for (const std::wstring& name : hive.classes.StartingWith(prefix)) AddClass(hive, name);
  }

  // The tool's key whole and the value that points Windows at it, in every hive.
  void AddDefaultApps() {
    for (const ExportHive& hive : hives_) {
      Add(hive.root, Wide(kAppKey), KEY_WOW64_64KEY);
      keys_.emplace_back(hive.root, Wide(kRegisteredApplicationsKey), KEY_WOW64_64KEY,
                         std::vector<std::wstring>{Wide(kRegisteredAppName)});
    }
  }

  // The extensions' FileAssociations values in every hive; with them what the application shows
  // and the value that points Windows at it, where they are there now: missing, they are left as
  // they will be, for the other associations of the tool.
  void AddDefaultAppValues(const std::vector<std::string>& exts) {
    const std::wstring associations = Wide(kFileAssociationsKey);
    for (const ExportHive& hive : hives_) {
      const VtSpelledNames listed(hive.root, associations.c_str(), KEY_WOW64_64KEY, true);
      std::vector<std::wstring> values;
      for (const std::string& ext : exts) values.push_back(listed.Spelled(Wide(ext.c_str())));
      keys_.emplace_back(hive.root, associations, KEY_WOW64_64KEY, values);
      AddPresentValues(hive.root, Wide(kCapabilitiesKey), {std::begin(kCapabilityValues),
                                                            std::end(kCapabilityValues)});
      AddPresentValues(hive.root, Wide(kRegisteredApplicationsKey), {Wide(kRegisteredAppName)});
    }
  }

  const std::vector<VtExportKey>& keys() const { return keys_; }

 private:
  void AddClass(const ExportHive& hive, const std::wstring& name) {
    Add(hive.root, L"Software\\Classes\\" + hive.classes.Spelled(name), 0);
  }

  void Add(HKEY root, const std::wstring& path, REGSAM view) {
    if (held_.insert((root == HKEY_LOCAL_MACHINE ? L"M" : L"U") + FoldedName(path)).second)
      keys_.emplace_back(root, path, view);
  }

  void AddPresentValues(HKEY root, const std::wstring& path, std::vector<std::wstring> names) {
    VtRegistry key(KEY_WOW64_64KEY);
    if (!key.Open(root, path.c_str(), KEY_READ)) return;
    std::vector<std::wstring> present;
    for (const std::wstring& name : names)
      if (HasValue(key.key(), name.c_str())) present.push_back(name);
    if (!present.empty()) keys_.emplace_back(root, path, KEY_WOW64_64KEY, present);
  }

  std::vector<ExportHive> hives_;
  std::vector<VtExportKey> keys_;
  std::unordered_set<std::wstring> held_;
};

}  // namespace

int RunExport(const VtCliRequest& request, const VtStdStream& err) {
  VtScope scope;
  std::wstring why;
  if (!ScopeOf(request, &scope, &why)) return Refuse(err, why);
  VtAssocRows rows;
  // A full export without the player cannot know the player's other types: the caller is told.
  if (!AddRequestedRows(request, scope, &rows))
    err.Write(VtText(IDS_CLI_EXPORT_WITHOUT_PLAYER) + L"\r\n");
  ExportPlan plan(scope);
  for (int row = 0; row < rows.Count(); ++row) plan.AddExtension(rows.Entry(row)->ext);
  if (request.exts.empty()) {
    plan.AddToolProgIds();
    plan.AddDefaultApps();
  } else {
    plan.AddDefaultAppValues(request.exts);
  }
  const DWORD result = WriteRegistryFile(request.file.c_str(), plan.keys());
  if (result == ERROR_SUCCESS) return kExitDone;
  err.Write(VtText(IDS_CLI_EXPORT_FAILED) + L"\r\n" + ChangeFailureLine(request.file, result) +
            L"\r\n");
  return kExitSomeNotChanged;
}
