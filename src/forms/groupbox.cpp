#include "groupbox.h"

#include "container.h"

TControl::WindowKind TGroupBox::Kind(const TCreateArgs&) const {
  return {"BUTTON", BS_GROUPBOX | WS_GROUP, WS_EX_CONTROLPARENT};
}

void TGroupBox::AfterCreate(const TCreateArgs&) {
  // A group box is a button: it would drop its children's notifications.
  forms_internal::SubclassAsContainer(Handle());
}

HBRUSH TGroupBox::OnCtlColor(HDC dc, UINT) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}
