#include "listview.h"

#include <commctrl.h>

#include <vector>

#include "form.h"

namespace {

// LVM_GETITEMTEXT gives no length: grow until the text fits with room to spare. Item and message
// pick the text's form; the list keeps its texts in UTF-16 whichever form set them.
template <class Item, class Char>
std::basic_string<Char> GetItemText(HWND list, UINT message, int index, int column) {
  std::vector<Char> buffer(256);
  for (;;) {
    Item item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    buffer[0] = 0;
    const int length = static_cast<int>(SendMessageA(list, message, static_cast<WPARAM>(index),
                                                     reinterpret_cast<LPARAM>(&item)));
    if (length < static_cast<int>(buffer.size()) - 1 || buffer.size() >= 65536)
      return OrEmpty(item.pszText);
    buffer.resize(buffer.size() * 4);
  }
}

// Null is the empty text.
template <class Item, class Char>
void PutItemText(HWND list, UINT message, int index, int column, const Char* text) {
  Item item{};
  item.iSubItem = column;
  item.pszText = const_cast<Char*>(OrEmpty(text));
  SendMessageA(list, message, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

}  // namespace

std::string TListItem::Caption() const { return list_ ? list_->ItemText(index_, 0) : std::string(); }

TControl::WindowKind TListView::Kind(const TCreateArgs&) const {
  // No LVS_EDITLABELS: captions cannot be edited in place; no LVS_SINGLESEL: multi-select.
  return {WC_LISTVIEWA, LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP, WS_EX_CLIENTEDGE};
}

void TListView::AfterCreate(const TCreateArgs&) {
  ListView_SetExtendedListViewStyleEx(Handle(), LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  // An ANSI window procedure keeps the list an ANSI window (SetWindowSubclass would make it a
  // Unicode one, and under Wine every row's text would then be converted back and forth).
  SetWindowLongPtrA(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  listProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DispatchProc)));
}

TListView::~TListView() { RemoveDispatch(); }

// The list reports a change of many rows (select all, a click that deselects the others) row by
// row; a handler that looks at the whole selection would run once per row, quadratic in the rows.
// So the rows' changes are gathered while the list handles a message and raised once after it.
LRESULT CALLBACK TListView::DispatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TListView* list = reinterpret_cast<TListView*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  const WNDPROC listProc = list->listProc_;
  // The window's last message: no message after it may reach this object.
  if (message == WM_NCDESTROY) list->RemoveDispatch();
  ++list->dispatchDepth_;
  const LRESULT result = CallWindowProcA(listProc, hwnd, message, wParam, lParam);
  if (--list->dispatchDepth_ == 0) list->RaisePendingSelect();
  return result;
}

void TListView::RemoveDispatch() {
  if (!listProc_ || !Handle()) return;
  SetWindowLongPtrA(Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listProc_));
  SetWindowLongPtrA(Handle(), GWLP_USERDATA, 0);
  listProc_ = nullptr;
}

void TListView::RaisePendingSelect() {
  if (!selectPending_) return;
  // Cleared first: the handler itself sends messages to the list.
  selectPending_ = false;
  if (OnSelectItem) OnSelectItem(this, TListItem(this, pendingItem_), pendingSelected_);
}

void TListView::AddColumn(const std::wstring& caption, int width96) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(caption.c_str());
  column.cx = TForm::Scale(width96);
  int index = ColumnCount();
  column.iSubItem = index;
  QuietScope quiet(*this);
  SendMessageW(Handle(), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&column));
}

int TListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageA(Handle(), LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

void TListView::BeginUpdate() {
  if (updateDepth_++ == 0 && Handle()) SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TListView::EndUpdate() {
  if (updateDepth_ == 0) return;
  if (--updateDepth_ == 0 && Handle()) {
    SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(Handle(), nullptr, TRUE);
  }
}

int TListView::AddItem(const char* caption, std::initializer_list<const char*> subItems) {
  QuietScope quiet(*this);
  LVITEMA item{};
  item.mask = LVIF_TEXT;
  item.iItem = Count();
  item.pszText = const_cast<char*>(OrEmpty(caption));
  int index = static_cast<int>(
      SendMessageA(Handle(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return -1;
  int column = 1;
  for (const char* text : subItems) SetItemText(index, column++, text);
  return index;
}

int TListView::Count() const {
  return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

void TListView::Clear() {
  QuietScope quiet(*this);
  SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
}

int TListView::NextSelected(int after) const {
  if (!Handle()) return -1;
  return static_cast<int>(
      SendMessageA(Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

std::string TListView::ItemText(int index, int column) const {
  if (!Handle() || index < 0 || column < 0) return std::string();
  return GetItemText<LVITEMA, char>(Handle(), LVM_GETITEMTEXTA, index, column);
}

std::wstring TListView::WideItemText(int index, int column) const {
  if (!Handle() || index < 0 || column < 0) return std::wstring();
  return GetItemText<LVITEMW, wchar_t>(Handle(), LVM_GETITEMTEXTW, index, column);
}

void TListView::SetItemText(int index, int column, const wchar_t* text) {
  if (index < 0 || column < 0) return;
  QuietScope quiet(*this);
  PutItemText<LVITEMW>(Handle(), LVM_SETITEMTEXTW, index, column, text);
}

void TListView::SetItemText(int index, int column, const char* text) {
  if (index < 0 || column < 0) return;
  QuietScope quiet(*this);
  PutItemText<LVITEMA>(Handle(), LVM_SETITEMTEXTA, index, column, text);
}

LRESULT TListView::OnNotify(NMHDR* header) {
  if (header->code != LVN_ITEMCHANGED || Quiet() || !OnSelectItem) return 0;
  const NMLISTVIEW* change = reinterpret_cast<const NMLISTVIEW*>(header);
  if (!(change->uChanged & LVIF_STATE)) return 0;
  if (!((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) return 0;
  pendingItem_ = selectPending_ ? -1 : change->iItem;
  pendingSelected_ = (change->uNewState & LVIS_SELECTED) != 0;
  selectPending_ = true;
  if (dispatchDepth_ == 0) RaisePendingSelect();
  return 0;
}
