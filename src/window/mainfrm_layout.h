// The controls of the association window as laid out at 96 dpi: created in tab order, owned and
// destroyed by the form. TFrmAssoc adds the behaviour.
#pragma once
#include "forms.h"

// The sizes that differ with the language of the captions.
struct TLanguageLayout;

class TFrmAssocLayout : public TForm {
 public:
  TFrmAssocLayout();

  TListView* ListView;
  TPanel* Panel1;
  TEdit* Edit1;
  TEdit* Edit2;
  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TComboBox* ComboBox1;
  TButton* btnInfo;
  TButton* btnClose;
  TButton* btnApply;
  TButton* btnUnreg;
  TButton* btnUnregAll;
  TGroupBox* GroupBox1;
  TRadioButton* RadioButton1;
  TRadioButton* RadioButton2;
  TRadioButton* RadioButton3;
  TGroupBox* GroupBox2;
  TRadioButton* RadioButton4;
  TRadioButton* RadioButton5;
  TButton* btnRdme;
  TButton* Button7;
  TButton* btnDefaultApps;
  // Where 適用 registers: every user's classes or this user's own.
  TLabel* lblScope;

 private:
  // The extensions' list with its columns, above the panel.
  void AddList(const TLanguageLayout& language);
  // On the panel, in tab order: the player's path, the extensions and the file type to register.
  void AddFields(const TLanguageLayout& language);
  // Whether the player adds files opened from Explorer to its playlist.
  void AddOpenedFilesChoice();
  // Whether a playlist file opened from Explorer is added to the list or starts a new one.
  void AddPlaylistChoice();
  // The buttons along the panel's bottom edge, from 情報取得 to the readme.
  void AddCommandRow(const TLanguageLayout& language);
  // The column right of the choices: the type names file, Default Apps and the scope shown.
  void AddSideColumn(const TLanguageLayout& language);
};
