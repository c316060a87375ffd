#include "label.h"

TControl::WindowKind TLabel::Kind(const TCreateArgs&) const {
  return {"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0};
}

HBRUSH TLabel::OnCtlColor(HDC dc, UINT) {
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}
