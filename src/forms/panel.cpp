#include "panel.h"

#include "container.h"

TControl::WindowKind TPanel::Kind(const TCreateArgs&) const {
  return {forms_internal::PanelClassName(), WS_CLIPCHILDREN | WS_GROUP, WS_EX_CONTROLPARENT};
}
