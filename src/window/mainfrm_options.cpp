// The two options kept in vntassoc.ini beside the executable with the classes' memo, and the
// tool's path recorded for the sibling product.
#include "inifile.h"
#include "library.h"
#include "mainfrm.h"
#include "registry.h"

namespace {

const char kSearchPathKey[] = "Software\\Zemrath's Soft\\Sorvik Player\\SearchPath";

}  // namespace

VtApplyOptions TFrmAssoc::CheckedOptions() const {
  VtApplyOptions options;
  options.add = RadioButton1->Checked()   ? VtAddOption::kAsPlayer
                : RadioButton2->Checked() ? VtAddOption::kYes
                                          : VtAddOption::kNo;
  options.list = RadioButton5->Checked() ? VtPlaylistOption::kNew : VtPlaylistOption::kAdd;
  return options;
}

// The key belongs to the sibling product: only an existing key gets the value.
void TFrmAssoc::RecordPath(VtRegistry& key) {
  if (key.Open(HKEY_CURRENT_USER, kSearchPathKey, KEY_SET_VALUE))
    key.WriteString("vntassoc", exeFile);
}

void TFrmAssoc::ReadOptions(VtIniFile& ini) {
  ini.Load(OptionsPath(exeFile).c_str());
  classes_.Read(ini);
  const VtApplyOptions options = ReadApplyOptions(ini);
  if (options.add == VtAddOption::kAsPlayer) {
    RadioButton1->SetChecked(true);
  } else if (options.add == VtAddOption::kYes) {
    RadioButton2->SetChecked(true);
  } else {
    RadioButton3->SetChecked(true);
  }
  if (options.list == VtPlaylistOption::kAdd) {
    RadioButton4->SetChecked(true);
  } else {
    RadioButton5->SetChecked(true);
  }
}

void TFrmAssoc::SaveOptions() {
  VtIniFile ini;
  WriteOptions(ini);
}

// Loads the file first so that every other section and key in it survives.
void TFrmAssoc::WriteOptions(VtIniFile& ini) {
  const VtApplyOptions options = CheckedOptions();
  ini.Load(OptionsPath(exeFile).c_str());
  WriteApplyOptions(ini, options);
  classes_.Write(ini);
  ini.Save();
}
