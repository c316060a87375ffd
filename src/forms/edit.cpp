#include "edit.h"

TControl::WindowKind TEdit::Kind(const TCreateArgs& args) const {
  DWORD style = ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
  if (args.flags & cfReadOnly) style |= ES_READONLY;
  return {"EDIT", style, WS_EX_CLIENTEDGE};
}

bool TEdit::ReadOnly() const { return (GetWindowLongA(Handle(), GWL_STYLE) & ES_READONLY) != 0; }

void TEdit::OnCommand(WORD code) {
  if (code == EN_CHANGE && !Quiet() && OnChange) OnChange(this);
}

HBRUSH TEdit::OnCtlColor(HDC dc, UINT) {
  // A read-only edit asks with WM_CTLCOLORSTATIC, an editable one with WM_CTLCOLOREDIT.
  if (!(Flags() & cfParentColor)) return nullptr;
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}
