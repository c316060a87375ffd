// The association window: lists the player's extensions with their present association and
// registers or unregisters the selected ones. Every command acts on the rows' VtAssocInfo entries,
// which the rows own from one list fill to the next (or to the window's destruction).
#pragma once
#include <windows.h>

#include <memory>

#include "classes.h"
#include "forms.h"
#include "initializer.h"
#include "mainfrm_layout.h"

class VtAssocInfo;
class VtIniFile;
class VtRegistry;

class TFrmAssoc : public TFrmAssocLayout {
 public:
  // Creates the controls, starts the library, sets the title, records the tool's path, reads the
  // options and fills the list from the running player (waiting up to 10 s per DDE item).
  TFrmAssoc();
  // Writes the options file, frees the list's entries, then stops the library.
  ~TFrmAssoc();

  // Part of the list (mainfrm_list.cpp).
  void btnInfoClick(TControl* Sender);
  // The fill's two sources of rows, in this order: a row for every piece of the player's extension
  // text with the playlist types appended; then a row for every extension that the tool itself
  // associated (scanClasses: also those found only through their ProgID keys) and no row holds yet.
  void AddPlayerRows(const char* extensions);
  void AddOwnRows(bool scanClasses);
  void ClearList();
  void ListViewSelectItem(TControl* Sender, TListItem Item, bool Selected);
  void ComboBox1Change(TControl* Sender);

  // Commands (mainfrm_commands.cpp).
  void btnApplyClick(TControl* Sender);
  void btnUnregClick(TControl* Sender);
  void btnUnregAllClick(TControl* Sender);
  void btnCloseClick(TControl* Sender);
  void btnRdmeClick(TControl* Sender);
  void Button7Click(TControl* Sender);
  void btnDefaultAppsClick(TControl* Sender);

  // The apply's registrations in one pass (mainfrm_commands.cpp): each row at once with its final
  // player option where that ends the same as registering it bare and then again with the option.
  class OnePassApply;
  // What one command's registrations share (mainfrm_commands.cpp): the classes keys, kept open
  // until the command ends, and the extensions it could not change, each once with why.
  class Command;
  // Registers every row of ext (letter case ignored) with an empty player option, or within pass
  // with the row's final option. Rows that fail go into command, when there is one.
  void RegisterExtension(const char* exePath, const char* ext, const char* typeName,
                         OnePassApply* pass = nullptr, Command* command = nullptr);
  // Registers every associated row of the scope's own classes again with the player option that
  // the two options choose, passing over the rows that pass registered with theirs already.
  void ReregisterWithOptions(const char* exePath, int AddOption, int ListOption,
                             const OnePassApply* pass = nullptr, Command* command = nullptr);
  // Unregisters the first row of ext, or every row for a null ext.
  void UnregisterExtension(const char* ext, Command* command = nullptr);

  // The options as the radio buttons show them: AddOption -1, 1 or 0; ListOption 0 or 1.
  int AddOptionChecked() const;
  int ListOptionChecked() const;

 private:
  // The classes keys a call within command shares; null outside a command.
  static VtClasses* KeysOf(Command* command);
  // Options file and path record (mainfrm_options.cpp).
  void RecordPath(VtRegistry& key);
  void ReadOptions(VtIniFile& ini);
  void WriteOptions(VtIniFile& ini);

  // The next row after `after` (-1: from the first row) whose entry's extension equals ext under
  // CompareNoCase, or that has an entry at all for a null ext; -1 when there is none.
  int NextRowOf(const char* ext, int after) const;
  // Adds a row at the end that owns entry, captioned with its extension without the dot.
  void AddRow(std::unique_ptr<VtAssocInfo> entry);
  VtAssocInfo* EntryAt(int index) const;
  // Shows the entry's type name, command, icon and the user's own choice in the row's sub-items.
  void RefreshRow(int index);
  void OpenInToolFolder(const char* fileName);

  Initializer initializer_;
  // Where this process registers, decided at start by its rights.
  VtScope scope_ = VtScope::kMachine;
};

// The application's one window, from its creation by WinMain until the message loop ends.
extern TFrmAssoc* FrmAssoc;
