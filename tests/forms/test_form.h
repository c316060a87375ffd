// A small form laid out like the program's window: a list over a bottom panel holding edits, a
// combo box, two radio groups in group boxes and buttons.
#pragma once
#include <string>
#include <vector>

#include "forms.h"

class TTestForm : public TForm {
 public:
  TTestForm();

  TListView* List;
  TPanel* Panel;
  TEdit* Edit;
  TComboBox* Combo;
  TGroupBox* Group1;
  TRadioButton* Radio1;
  TRadioButton* Radio2;
  TRadioButton* Radio3;
  TGroupBox* Group2;
  TRadioButton* Radio4;
  TRadioButton* Radio5;
  TButton* BtnA;
  TButton* BtnB;
  TLabel* Label;

  // What the handlers saw, in order.
  std::vector<std::string> events;
};

// Every test starts with the common controls registered and nothing left in the queue.
void PrepareApplication();
// Handles the messages that are waiting.
void Pump();
// The edit field inside a combo box.
HWND ComboEdit(TComboBox* combo);
