// Report-style list view: multi-select, whole-row select, selection shown without focus, captions
// not editable in place. Rows carry a caption, sub-items and a data pointer that the list does not
// own. Column widths are given at 96 dpi.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

#include "control.h"

class TListView;

// The row a selection event names; valid while the row exists. Index -1 is no row (a change of
// several rows at once), whose caption is the empty text.
class TListItem {
 public:
  TListItem(TListView* list, int index) : list_(list), index_(index) {}

  // An owned copy.
  std::string Caption() const;

 private:
  TListView* list_;
  int index_;
};

// Binds a member function as the selection handler (see Bind in control.h).
template <class C>
TSelectItemEvent Bind(C* object, void (C::*handler)(TControl*, TListItem, bool)) {
  return [object, handler](TControl* sender, TListItem item, bool selected) {
    (object->*handler)(sender, item, selected);
  };
}

class TListView : public TControl {
 public:
  // Gives the list its own window procedure back if the window outlives this object.
  ~TListView() override;

  // Appends a column; the width is at 96 dpi.
  void AddColumn(const std::wstring& caption, int width96);
  int ColumnCount() const;

  // Suspend and resume redrawing; calls nest.
  void BeginUpdate();
  void EndUpdate();

  // Appends a row; null texts are empty. Returns its index, or -1 on failure. Raises no event.
  int AddItem(const char* caption, std::initializer_list<const char*> subItems = {});
  int Count() const;
  // Removes every row. Raises no event.
  void Clear();

  // The next selected row after `after` (-1: from the first row), via LVM_GETNEXTITEM with
  // LVNI_SELECTED; -1 when there is none.
  int NextSelected(int after = -1) const;

  std::string ItemText(int index, int column) const;
  // The same in UTF-16, for a text that may hold what the ANSI code page lacks.
  std::wstring WideItemText(int index, int column) const;
  // Column 0 is the caption; null is the empty text. Raises no event.
  void SetItemText(int index, int column, const char* text);
  void SetItemText(int index, int column, const wchar_t* text);

  // The user selected or deselected rows (item index -1: several rows at once). Raised once per
  // message the list handles, after it has handled it: selecting all rows is one event, not one
  // per row.
  TSelectItemEvent OnSelectItem;

 protected:
  WindowKind Kind(const TCreateArgs& args) const override;
  void AfterCreate(const TCreateArgs& args) override;
  LRESULT OnNotify(NMHDR* header) override;

 private:
  static LRESULT CALLBACK DispatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RemoveDispatch();
  void RaisePendingSelect();

  int updateDepth_ = 0;
  WNDPROC listProc_ = nullptr;  // the list view's own window procedure
  int dispatchDepth_ = 0;       // messages the list is handling right now, nested
  bool selectPending_ = false;
  int pendingItem_ = -1;
  bool pendingSelected_ = false;
};
