// Single-line edit field; read-only and in the face colour with cfReadOnly | cfParentColor.
#pragma once
#include <windows.h>

#include "control.h"

class TEdit : public TControl {
 public:
  // The user changed the text (never raised for read-only fields or for SetText).
  TNotifyEvent OnChange;

 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
  void OnCommand(WORD code) override;
};
