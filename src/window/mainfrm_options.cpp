// The two options kept in vntassoc.ini beside the executable, and the tool's path recorded for the
// sibling product.
#include "inifile.h"
#include "library.h"
#include "mainfrm.h"
#include "registry.h"
#include "text.h"

namespace {

const char kSection[] = "vntassoc";
const char kAddOption[] = "AddOption";
const char kListOption[] = "ListOption";
const char kSearchPathKey[] = "Software\\Zemrath's Soft\\Sorvik Player\\SearchPath";

// The executable's path with ".ini" for its extension; empty when it would not fit.
void OptionsPath(char* dest) { ChangeExtension(dest, kPathSize, exeFile, ".ini"); }

}  // namespace

int TFrmAssoc::AddOptionChecked() const {
  if (RadioButton1->Checked()) return -1;
  return RadioButton2->Checked() ? 1 : 0;
}

int TFrmAssoc::ListOptionChecked() const { return RadioButton5->Checked() ? 1 : 0; }

// The key belongs to the sibling product: only an existing key gets the value.
void TFrmAssoc::RecordPath(VtRegistry& key) {
  if (key.Open(HKEY_CURRENT_USER, kSearchPathKey, KEY_SET_VALUE))
    key.WriteString("vntassoc", exeFile);
}

void TFrmAssoc::ReadOptions(VtIniFile& ini) {
  char path[kPathSize];
  OptionsPath(path);
  ini.Load(path);
  int addOption = ini.GetInt(kSection, kAddOption, -1);
  int listOption = ini.GetInt(kSection, kListOption, 0);
  if (addOption < -1 || addOption > 1) addOption = -1;
  if (listOption < 0 || listOption > 1) listOption = 0;

  if (addOption == -1) {
    RadioButton1->SetChecked(true);
  } else if (addOption == 1) {
    RadioButton2->SetChecked(true);
  } else {
    RadioButton3->SetChecked(true);
  }
  if (listOption == 0) {
    RadioButton4->SetChecked(true);
  } else {
    RadioButton5->SetChecked(true);
  }
}

// Loads the file first so that every other section and key in it survives.
void TFrmAssoc::WriteOptions(VtIniFile& ini) {
  const int addOption = AddOptionChecked();
  const int listOption = ListOptionChecked();
  char path[kPathSize];
  OptionsPath(path);
  ini.Load(path);
  ini.SetInt(kSection, kAddOption, addOption);
  ini.SetInt(kSection, kListOption, listOption);
  ini.Save();
}
