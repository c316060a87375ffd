// Plain container without bevel in the face colour, usually docked at the bottom (cfAlignBottom).
// The controls inside it raise their events as if they were on the form.
#pragma once
#include <windows.h>

#include "control.h"

class TPanel : public TControl {
 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
};
