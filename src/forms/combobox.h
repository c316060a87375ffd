// Editable drop-down combo box (CBS_DROPDOWN) with a list of items.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

#include "control.h"

class TComboBox : public TControl {
 public:
  // The text of the edit field. While OnChange runs for an item the user picked, this is the picked
  // item's text (Windows updates the edit field only after that notification).
  std::string Text() const override;

  void AddItems(std::initializer_list<const char*> texts);

  // The user typed in the field (CBN_EDITCHANGE) or picked an item (CBN_SELCHANGE).
  TNotifyEvent OnChange;

 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
  void AfterCreate(const TCreateArgs& args) override;
  void OnCommand(WORD code) override;

 private:
  void AddItem(const char* text);
  // The empty text for an index out of range.
  std::string ItemText(int index) const;
  // The selected item's index, -1 when none.
  int ItemIndex() const;

  bool picking_ = false;
  std::string picked_;
};
