#include "combobox.h"

#include <commctrl.h>

#include <vector>

#include "form.h"

TControl::WindowKind TComboBox::Kind(const TCreateArgs&) const {
  // The height given is the field's; the drop-down list needs room below it.
  // Unicode: the field takes a type name in any script.
  WindowKind kind{
      "COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP | WS_GROUP, 0};
  kind.unicode = true;
  return kind;
}

void TComboBox::AfterCreate(const TCreateArgs& args) {
  // A drop-down's window height is the field plus its list: without room the list opens empty
  // under the classic controls.
  const int kVisibleItems = 8;
  RECT field;
  GetWindowRect(Handle(), &field);
  SetWindowPos(Handle(), nullptr, 0, 0, field.right - field.left,
               TForm::Scale(args.bounds.height) + TForm::Scale(16) * kVisibleItems,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageA(Handle(), CB_SETMINVISIBLE, kVisibleItems, 0);
}

std::string TComboBox::Text() const {
  if (picking_) return picked_;
  return TControl::Text();
}

void TComboBox::AddItem(const char* text) {
  QuietScope quiet(*this);
  SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(OrEmpty(text)));
}

void TComboBox::AddItems(std::initializer_list<const char*> texts) {
  for (const char* text : texts) AddItem(text);
}

std::string TComboBox::ItemText(int index) const {
  if (!Handle() || index < 0) return std::string();
  int length = static_cast<int>(SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
  if (length < 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
  int got = static_cast<int>(SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(index),
                                          reinterpret_cast<LPARAM>(buffer.data())));
  return got > 0 ? std::string(buffer.data(), static_cast<size_t>(got)) : std::string();
}

int TComboBox::ItemIndex() const {
  if (!Handle()) return -1;
  return static_cast<int>(SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::OnCommand(WORD code) {
  if (Quiet() || !OnChange) return;
  if (code == CBN_EDITCHANGE) {
    OnChange(this);
  } else if (code == CBN_SELCHANGE) {
    // The edit field still shows the old text at this point; the handler must see the pick.
    int index = ItemIndex();
    if (index < 0) return;
    picked_ = ItemText(index);
    picking_ = true;
    OnChange(this);
    picking_ = false;
    picked_.clear();
  }
}
