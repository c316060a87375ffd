#include "radiobutton.h"

#include <vector>

#include "form.h"

namespace {

bool IsRadio(HWND hwnd) {
  char className[16] = "";
  GetClassNameA(hwnd, className, sizeof(className));
  if (lstrcmpiA(className, "Button") != 0) return false;
  LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON;
}

void SetStyleBit(HWND hwnd, LONG bit, bool on) {
  LONG style = GetWindowLongA(hwnd, GWL_STYLE);
  SetWindowLongA(hwnd, GWL_STYLE, on ? (style | bit) : (style & ~bit));
}

// The radio buttons of hwnd's group, in creation order: the run of siblings from the last WS_GROUP
// at or before hwnd up to the next WS_GROUP.
std::vector<HWND> GroupOf(HWND hwnd) {
  HWND start = hwnd;
  while (!(GetWindowLongA(start, GWL_STYLE) & WS_GROUP)) {
    HWND previous = GetWindow(start, GW_HWNDPREV);
    if (!previous) break;
    start = previous;
  }
  std::vector<HWND> group;
  for (HWND h = start; h; h = GetWindow(h, GW_HWNDNEXT)) {
    if (h != start && (GetWindowLongA(h, GWL_STYLE) & WS_GROUP)) break;
    if (IsRadio(h)) group.push_back(h);
  }
  return group;
}

}  // namespace

TControl::WindowKind TRadioButton::Kind(const TCreateArgs& args) const {
  DWORD style = BS_AUTORADIOBUTTON;
  HWND parent = args.parent && args.parent->Handle() ? args.parent->Handle() : Form()->Handle();
  HWND first = GetWindow(parent, GW_CHILD);
  HWND previous = first ? GetWindow(first, GW_HWNDLAST) : nullptr;
  if ((args.flags & cfGroup) || !previous || !IsRadio(previous)) style |= WS_GROUP | WS_TABSTOP;
  return {"BUTTON", style, 0, Background::Face};
}

void TRadioButton::AfterCreate(const TCreateArgs& args) {
  if (args.flags & cfChecked) SetChecked(true);
}

bool TRadioButton::Checked() const {
  return Handle() && SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TRadioButton::SetChecked(bool checked) {
  if (!Handle()) return;
  QuietScope quiet(*this);
  std::vector<HWND> group = GroupOf(Handle());
  if (checked) {
    // Only the checked button is a tab stop, so Tab lands on it.
    for (HWND h : group) {
      if (h == Handle()) continue;
      SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
      SetStyleBit(h, WS_TABSTOP, false);
    }
    SendMessageA(Handle(), BM_SETCHECK, BST_CHECKED, 0);
    SetStyleBit(Handle(), WS_TABSTOP, true);
    return;
  }
  SendMessageA(Handle(), BM_SETCHECK, BST_UNCHECKED, 0);
  bool any = false;
  for (HWND h : group) any = any || SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (!any && !group.empty()) {
    for (HWND h : group) SetStyleBit(h, WS_TABSTOP, h == group.front());
  }
}

void TRadioButton::OnCommand(WORD code) {
  if (code != BN_CLICKED || Quiet()) return;
  if (Checked() && OnClick) OnClick(this);
}
