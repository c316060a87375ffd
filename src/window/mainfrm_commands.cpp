// The buttons' commands: register the selection, re-register every association with the current
// options, unregister, and open the tool's readme, type-name file and Default Apps.
#include <windows.h>
// shellapi.h and shlobj.h need windows.h first.
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "associnfo.h"
#include "changefailure.h"
#include "ownedtext.h"
#include "defaultappslaunch.h"
#include "inifile.h"
#include "library.h"
#include "mainfrm.h"
#include "text.h"

namespace {

const char kConfirmCaption[] = "確認";
const UINT kConfirmFlags = MB_OKCANCEL | MB_DEFBUTTON2;  // 257: Cancel is the default
const char kApplyQuestion[] =
    "関連付けを実行します。よろしいですか？\r\n関連付けは「解除」で元に戻すことが出来ます。\r\n";
const char kUnregQuestion[] =
    "関連付けを解除して、Vantrel Player に関連付ける前の設定に戻します。\r\nよろしいですか？\r\n";
const char kUnregAllQuestion[] =
    "全ての関連付けを解除して、Vantrel Player に関連付ける前の設定に戻します。\r\nよろしいですか？\r\n";
const char kTypeNameFile[] = "filetype.ini";
const int kTypeNameSize = 512;
const char kFailureHeading[] = "次の拡張子は変更できませんでした。";
// A box taller than the screen shows no OK button: past this many lines the rest are counted.
const size_t kMaxFailureLines = 20;

bool Confirm(const char* question) {
  return Application.MessageBox(question, kConfirmCaption, kConfirmFlags) == IDOK;
}

// Explorer keeps the old icons and may keep the old handler until the user logs off unless it is
// told; once per command, since each notice makes it reread every association.
void NotifyAssociationsChanged() {
  SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

bool IsPlaylist(const char* ext) {
  return CompareNoCase(ext, ".vnt") == 0 || CompareNoCase(ext, ".m3u") == 0;
}

const char* PlayerOption(const char* ext, int addOption, int listOption) {
  if (IsPlaylist(ext)) return listOption == 1 ? "/clear" : "";
  if (addOption == 1) return "/a";
  return addOption == 0 ? "/na" : "";
}

// Suspends the list's redrawing for the scope.
class UpdateScope {
 public:
  explicit UpdateScope(TListView* list) : list_(list) { list_->BeginUpdate(); }
  ~UpdateScope() { list_->EndUpdate(); }
  UpdateScope(const UpdateScope&) = delete;
  UpdateScope& operator=(const UpdateScope&) = delete;

 private:
  TListView* list_;
};

// The type-name file, loaded on the first lookup of a command.
class TypeNames {
 public:
  std::string For(const char* ext) {
    if (!loaded_) {
      std::string path = std::string(exeFolder) + kTypeNameFile;
      ini_.Load(path.c_str());
      loaded_ = true;
    }
    char name[kTypeNameSize];
    ini_.GetString("filetype", ext, kTypeNameSize, name, "");
    if (name[0] != 0) return name;
    return std::string(ext + 1) + " File";
  }

 private:
  VtIniFile ini_;
  bool loaded_ = false;
};

}  // namespace

// Registering a selected row bare and then again with its option ends exactly as registering it
// once with the option does, at twice the registry work; so RegisterExtension gives each row its
// final option at once and ReregisterWithOptions passes over it. Had that registration failed, the
// entry would have no typeName and be passed over anyway; one that did nothing (".exe") would do
// nothing again. Not for a list where two rows may name one key: which of them writes last would
// then depend on the order of the registrations, so such an apply keeps its two passes.
class TFrmAssoc::OnePassApply {
 public:
  OnePassApply(const TFrmAssoc& form, int addOption, int listOption)
      : addOption_(addOption),
        listOption_(listOption),
        keysDistinct_(RowKeysFollowExtensions(form)),
        hasFinalOption_(static_cast<size_t>(form.ListView->Count())) {}

  // The option to register row (of ext) with now: its final one, or the empty text.
  const char* OptionFor(int row, const char* ext) {
    if (!keysDistinct_) return "";
    hasFinalOption_[static_cast<size_t>(row)] = true;
    return PlayerOption(ext, addOption_, listOption_);
  }
  // True for a row registered with its final option already.
  bool HasFinalOption(int row) const { return hasFinalOption_[static_cast<size_t>(row)]; }

 private:
  // Whether rows that CompareNoCase tells apart always name different keys. The registry also
  // folds the case of double-byte letters (full-width, Greek, Cyrillic) and reads a backslash as
  // a path; a list without such bytes is safe.
  static bool RowKeysFollowExtensions(const TFrmAssoc& form) {
    for (int row = form.NextRowOf(nullptr, -1); row >= 0; row = form.NextRowOf(nullptr, row))
      for (const char* c = form.EntryAt(row)->ext; *c != 0; ++c)
        if (static_cast<unsigned char>(*c) >= 0x80 || *c == '\\') return false;
    return true;
  }

  int addOption_;
  int listOption_;
  bool keysDistinct_;
  std::vector<bool> hasFinalOption_;
};

class TFrmAssoc::Command {
 public:
  explicit Command(const TFrmAssoc& form) : form_(form), keys_(form.scope_) {}

  // The classes keys every registration of the command shares, opened by the first that needs one.
  VtClasses* keys() { return &keys_; }

  // Notes row's extension as the list shows it, unless error is ERROR_SUCCESS or it is noted.
  void Add(int row, DWORD error) {
    if (error == ERROR_SUCCESS) return;
    std::string shown = form_.ListView->ItemText(row, 0);
    if (!noted_.insert(shown).second) return;
    if (lines_.size() == kMaxFailureLines) {
      ++more_;
      return;
    }
    const VtOwnedText reason(ChangeFailureText(error));
    lines_.push_back(shown + ": " + (reason ? reason.get() : ""));
  }

  // One box with every extension noted; none when nothing was. No key stays open while it shows.
  void ShowFailures() {
    keys_.Close();
    if (lines_.empty()) return;
    std::string text = kFailureHeading;
    text += "\r\n";
    for (const std::string& line : lines_) text += "\r\n" + line;
    if (more_ != 0) text += "\r\nほか " + std::to_string(more_) + " 件";
    Application.MessageBox(text.c_str(), form_.Caption().c_str(), MB_OK | MB_ICONWARNING);
  }

 private:
  const TFrmAssoc& form_;
  VtClasses keys_;
  std::unordered_set<std::string> noted_;
  std::vector<std::string> lines_;
  size_t more_ = 0;
};

VtClasses* TFrmAssoc::KeysOf(Command* command) {
  return command != nullptr ? command->keys() : nullptr;
}

void TFrmAssoc::btnApplyClick(TControl*) {
  const int addOption = AddOptionChecked();
  const int listOption = ListOptionChecked();
  if (!Confirm(kApplyQuestion)) return;
  const std::string exePath = Edit1->Text();
  std::string selection = Edit2->Text();
  const std::string comboName = ComboBox1->Text();
  if (!FileExists(exePath.c_str()) || selection.empty()) return;

  Command command(*this);
  {
    UpdateScope update(ListView);
    TypeNames typeNames;
    OnePassApply pass(*this, addOption, listOption);
    char* rest = nullptr;
    for (char* piece = NextToken(&selection[0], ";", &rest); piece != nullptr && piece[0] == '.';
         piece = NextToken(rest, ";", &rest)) {
      const std::string typeName = comboName.empty() ? typeNames.For(piece) : comboName;
      RegisterExtension(exePath.c_str(), piece, typeName.c_str(), &pass, &command);
    }
    ReregisterWithOptions(exePath.c_str(), addOption, listOption, &pass, &command);
  }
  NotifyAssociationsChanged();
  command.ShowFailures();
}

// The rows of ext all share one option: IsPlaylist ignores letter case as CompareNoCase does.
void TFrmAssoc::RegisterExtension(const char* exePath, const char* ext, const char* typeName,
                                  OnePassApply* pass, Command* command) {
  for (int row = NextRowOf(ext, -1); row >= 0; row = NextRowOf(ext, row)) {
    const DWORD result =
        EntryAt(row)->Register(exePath, typeName, pass != nullptr ? pass->OptionFor(row, ext) : "",
                               KeysOf(command));
    if (command != nullptr) command->Add(row, result);
    RefreshRow(row);
  }
}

void TFrmAssoc::ReregisterWithOptions(const char* exePath, int AddOption, int ListOption,
                                      const OnePassApply* pass, Command* command) {
  for (int row = NextRowOf(nullptr, -1); row >= 0; row = NextRowOf(nullptr, row)) {
    if (pass != nullptr && pass->HasFinalOption(row)) continue;
    VtAssocInfo* entry = EntryAt(row);
    if (entry->associated == 0 || entry->typeName == nullptr) continue;
    // The machine's association, shown to the user's scope, is not the user's to bring up to date:
    // registering it would copy it into the user's classes.
    if (entry->fromMachine != 0) continue;
    // Register releases the entry's own typeName before it reads the argument.
    const std::string typeName = entry->typeName;
    const DWORD result =
        entry->Register(exePath, typeName.c_str(), PlayerOption(entry->ext, AddOption, ListOption),
                        KeysOf(command));
    if (command != nullptr) command->Add(row, result);
    RefreshRow(row);
  }
}

int TFrmAssoc::NextRowOf(const char* ext, int after) const {
  const int count = ListView->Count();
  for (int row = after + 1; row < count; ++row) {
    const VtAssocInfo* entry = EntryAt(row);
    if (entry != nullptr && (ext == nullptr || CompareNoCase(entry->ext, ext) == 0)) return row;
  }
  return -1;
}

// Asks once, at the first piece whose first row is associated; pieces before it are skipped, and
// after OK that piece and every later one is unregistered.
void TFrmAssoc::btnUnregClick(TControl*) {
  std::string selection = Edit2->Text();
  if (selection.empty()) return;
  Command command(*this);
  {
    UpdateScope update(ListView);
    bool asked = false;
    bool confirmed = false;
    char* rest = nullptr;
    for (char* piece = NextToken(&selection[0], ";", &rest); piece != nullptr;
         piece = NextToken(rest, ";", &rest)) {
      if (!confirmed) {
        const int first = NextRowOf(piece, -1);
        if (first >= 0 && EntryAt(first)->associated != 0) {
          confirmed = Confirm(kUnregQuestion);
          asked = true;
        }
      }
      if (asked && !confirmed) break;
      if (confirmed) UnregisterExtension(piece, &command);
    }
    if (!confirmed) return;
  }
  NotifyAssociationsChanged();
  command.ShowFailures();
}

void TFrmAssoc::btnUnregAllClick(TControl*) {
  if (ListView->Count() == 0) return;
  if (!Confirm(kUnregAllQuestion)) return;
  Command command(*this);
  {
    UpdateScope update(ListView);
    UnregisterExtension(nullptr, &command);
  }
  NotifyAssociationsChanged();
  command.ShowFailures();
}

// Only the first row of ext is unregistered; the other rows of ext are reloaded so that none of
// them keeps showing (and, on the next apply, re-registering) the association just removed.
void TFrmAssoc::UnregisterExtension(const char* ext, Command* command) {
  bool first = true;
  for (int row = NextRowOf(ext, -1); row >= 0; row = NextRowOf(ext, row)) {
    VtAssocInfo* entry = EntryAt(row);
    if (ext == nullptr || first) {
      const DWORD result = entry->Unregister(KeysOf(command));
      if (command != nullptr) command->Add(row, result);
    } else {
      entry->Load();
    }
    first = false;
    RefreshRow(row);
  }
}

void TFrmAssoc::btnCloseClick(TControl*) { Close(); }

void TFrmAssoc::btnRdmeClick(TControl*) { OpenInToolFolder("readme.txt"); }

void TFrmAssoc::Button7Click(TControl*) { OpenInToolFolder(kTypeNameFile); }

// Also with nothing associated yet: the user may want to see where the choice is made.
void TFrmAssoc::btnDefaultAppsClick(TControl*) {
  OpenDefaultApps(Handle(), scope_ == VtScope::kUser);
}

void TFrmAssoc::OpenInToolFolder(const char* fileName) {
  char path[kPathSize];
  CopyBounded(path, exeFolder, kPathSize);
  AppendBounded(path, fileName, kPathSize);
  if (FileExists(path)) ShellExecuteA(Handle(), "open", path, nullptr, nullptr, SW_SHOWNORMAL);
}
