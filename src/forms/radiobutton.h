// Automatic radio button. A group is the run of radio buttons created one after another in one
// parent (cfGroup starts a new run); checking one unchecks the others of its group, and only the
// checked one (or the first) is a tab stop, so Tab enters a group once and the arrows move in it.
#pragma once
#include <windows.h>

#include "control.h"

class TRadioButton : public TControl {
 public:
  bool Checked() const;
  // Checking unchecks the rest of the group. Raises no event.
  void SetChecked(bool checked);

  // The user checked this button.
  TNotifyEvent OnClick;

 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
  void AfterCreate(const TCreateArgs& args) override;
  void OnCommand(WORD code) override;
};
