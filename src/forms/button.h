// Push button.
#pragma once
#include <windows.h>

#include "control.h"

class TButton : public TControl {
 public:
  // Runs OnClick as a click would (with this button as sender), whether or not the button is enabled.
  void Click();

  // The user clicked the button (mouse, Space, Enter while focused, BM_CLICK).
  TNotifyEvent OnClick;

 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
  void OnCommand(WORD code) override;
  // Enter presses the focused button, as Space does: outside a dialog no button is the default.
  void OnEnterKey() override;
};
