#include "groupbox.h"

#include "container.h"

TControl::WindowKind TGroupBox::Kind(const TCreateArgs&) const {
  return {"BUTTON", BS_GROUPBOX | WS_GROUP, WS_EX_CONTROLPARENT, Background::Face};
}

void TGroupBox::AfterCreate(const TCreateArgs&) {
  // A group box is a button: it would drop its children's notifications.
  forms_internal::SubclassAsContainer(Handle());
}
