#include "label.h"

TControl::WindowKind TLabel::Kind(const TCreateArgs&) const {
  return {"STATIC", SS_LEFT | SS_NOPREFIX | WS_GROUP, 0, Background::Face};
}
