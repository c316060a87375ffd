#include "edit.h"

TControl::WindowKind TEdit::Kind(const TCreateArgs& args) const {
  DWORD style = ES_AUTOHSCROLL | WS_TABSTOP | WS_GROUP;
  if (args.flags & cfReadOnly) style |= ES_READONLY;
  return {"EDIT", style, WS_EX_CLIENTEDGE,
          (args.flags & cfParentColor) ? Background::Face : Background::Class};
}

void TEdit::OnCommand(WORD code) {
  if (code == EN_CHANGE && !Quiet() && OnChange) OnChange(this);
}
