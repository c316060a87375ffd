#include "mainfrm.h"

#include "associnfo.h"
#include "inifile.h"
#include "registry.h"
#include "uitext.h"
#include "windowtexts.h"

TFrmAssoc* FrmAssoc = nullptr;

namespace {

const wchar_t kVersionSuffix[] = L" Version 0.02.2012.0910";

}  // namespace

TFrmAssoc::TFrmAssoc() {
  ListView->OnSelectItem = Bind(this, &TFrmAssoc::ListViewSelectItem);
  ComboBox1->OnChange = Bind(this, &TFrmAssoc::ComboBox1Change);
  btnInfo->OnClick = Bind(this, &TFrmAssoc::btnInfoClick);
  btnClose->OnClick = Bind(this, &TFrmAssoc::btnCloseClick);
  btnApply->OnClick = Bind(this, &TFrmAssoc::btnApplyClick);
  btnUnreg->OnClick = Bind(this, &TFrmAssoc::btnUnregClick);
  btnUnregAll->OnClick = Bind(this, &TFrmAssoc::btnUnregAllClick);
  btnRdme->OnClick = Bind(this, &TFrmAssoc::btnRdmeClick);
  Button7->OnClick = Bind(this, &TFrmAssoc::Button7Click);
  btnDefaultApps->OnClick = Bind(this, &TFrmAssoc::btnDefaultAppsClick);
  OnEndSession = [this] { SaveOptions(); };

  SetCaption(WideCaption() + kVersionSuffix);
  // Decided once; the fill narrows where it registers when the player's path asks for it.
  rights_ = WritableScope();
  SetScope(rights_);
  // Both stay open until the end of construction, as one piece of start-up.
  VtRegistry pathKey;
  RecordPath(pathKey);
  VtIniFile options;
  ReadOptions(options);
  btnInfoClick(nullptr);
}

TFrmAssoc::~TFrmAssoc() { SaveOptions(); }

void TFrmAssoc::SetScope(VtScope scope) {
  scope_ = scope;
  lblScope->SetText(VtText(scope_ == VtScope::kMachine ? IDS_SCOPE_MACHINE : IDS_SCOPE_USER));
}

void TFrmAssoc::RefreshRow(int index) {
  const VtAssocInfo* entry = Entry(index);
  ListView->SetItemText(index, 1, entry->typeName);
  ListView->SetItemText(index, 2, entry->command);
  ListView->SetItemText(index, 3, entry->icon);
  ListView->SetItemText(index, 4, LastColumn(*entry).c_str());
}
