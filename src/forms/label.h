// Static text in the face colour.
#pragma once
#include <windows.h>

#include "control.h"

class TLabel : public TControl {
 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
};
