// The association window: lists the player's extensions with their present association and
// registers or unregisters the selected ones. Every command acts on the rows' VtAssocInfo entries,
// which the rows own from one list fill to the next (or to the window's destruction).
#pragma once
#include <windows.h>

#include "applyoptions.h"
#include "assocrows.h"
#include "classes.h"
#include "forms.h"
#include "initializer.h"
#include "mainfrm_layout.h"
#include "playermatch.h"

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
  // Adds the rows FillRows adds for the player's extension text (null: none) and shows them.
  void FillList(const char* extensions, VtClassesMemo* classes);
  void ClearList();
  // The entry row shows; row is within 0..ListView->Count()-1.
  VtAssocInfo* Entry(int row) const { return rows_.Entry(row); }
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

  // The options as the radio buttons show them.
  VtApplyOptions CheckedOptions() const;

 protected:
  // The question posted after a fill (mainfrm_repair.cpp), then TForm's.
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // What one command's changes share (mainfrm_command.h): the classes keys, kept open until the
  // command ends, and the box with the extensions it could not change.
  class Command;

  // Options file and path record (mainfrm_options.cpp).
  void RecordPath(VtRegistry& key);
  void ReadOptions(VtIniFile& ini);
  void WriteOptions(VtIniFile& ini);
  // The options and the memo into the options file, as the window leaves them: at its
  // destruction, and when the session ends with the window open.
  void SaveOptions();

  // Shows the rows from row on, each captioned with its extension without the dot; a row the list
  // cannot take goes, with every one after it.
  void ShowRows(int row);
  // A row's caption: its extension without the first character, the dot.
  static const char* RowCaption(const char* ext);
  // Shows the entry's type name, command, icon and the user's own choice in the row's sub-items.
  void RefreshRow(int index);
  // False when the tool's folder holds no such file.
  bool OpenInToolFolder(const char* fileName);
  // Registers in scope from now on, and says so beneath 既定のアプリ.
  void SetScope(VtScope scope);

  // Associations that open the player where it was (mainfrm_repair.cpp).
  // The last column: the user's own choice, else for an association of the tool that opens
  // another file than the player's, that file.
  std::wstring LastColumn(const VtAssocInfo& entry);
  // After a fill with the player known: where an association this window may write opens another
  // file, the question is posted, to come once the list shows.
  void AskRepairLater();
  // The question; on Yes, every such association is registered again at the player's file.
  void AskRepair(int count);

  Initializer initializer_;
  // The entries the list shows, row by row.
  VtAssocRows rows_;
  // The widest scope this process may change, decided at start by its rights: unregistering
  // reaches it.
  VtScope rights_ = VtScope::kMachine;
  // Where it registers: rights_, or the user's for a player in a folder of one user's.
  VtScope scope_ = VtScope::kMachine;
  // The tool's ProgIDs in the classes, kept in the options file from one start to the next;
  // 情報取得 walks the classes anew.
  VtClassesMemo classes_;
  // The player's path from the last fill where it may stand in an open command, else empty; and
  // the judge of the rows' programs against it.
  std::string player_;
  VtPlayerMatcher matcher_{nullptr};
  // A question posted and not yet asked: one fill after another asks once.
  bool repairPosted_ = false;
};

// The application's one window, from its creation by WinMain until the message loop ends.
extern TFrmAssoc* FrmAssoc;
