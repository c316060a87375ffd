// Framed group with a caption, and a parent for the controls inside it (their notifications reach
// the form; Tab and the arrows reach them through WS_EX_CONTROLPARENT).
#pragma once
#include <windows.h>

#include "control.h"

class TGroupBox : public TControl {
 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
  void AfterCreate(const TCreateArgs& args) override;
};
