#include "button.h"

TControl::WindowKind TButton::Kind(const TCreateArgs&) const {
  return {"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, 0};
}

void TButton::Click() {
  if (OnClick) OnClick(this);
}

void TButton::OnCommand(WORD code) {
  if (code == BN_CLICKED && !Quiet()) Click();
}

void TButton::OnEnterKey() {
  if (Enabled()) SendMessageA(Handle(), BM_CLICK, 0, 0);
}
