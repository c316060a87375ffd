// Base of every control wrapper: a view of one child window that its form owns.
//
// Only the user's own actions are events. Win32 notifies the parent (LVN_ITEMCHANGED, CBN_EDITCHANGE,
// EN_CHANGE...) for changes made from code as well, so every method of these classes that changes a
// control holds the control's quiet counter while it does, and notifications that arrive while the
// counter is above zero raise no event. Messages sent to a control's window from outside these
// classes (the user's clicks and keys, or a test's BM_CLICK, LVM_SETITEMSTATE, WM_CHAR) are not
// wrapped, so their notifications do raise events.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "emptytext.h"

class TForm;
class TControl;
class TListItem;

// Position and size in pixels at 96 dpi, relative to the parent's client area.
struct TBounds {
  int left;
  int top;
  int width;
  int height;
};

// Creation flags; combine with |.
enum TCreateFlags : unsigned {
  cfNone = 0,
  cfDisabled = 1u << 0,     // created disabled
  cfChecked = 1u << 1,      // radio button: created checked (unchecks the rest of its group)
  cfGroup = 1u << 2,        // radio button: starts a new group even right after another radio button
  cfReadOnly = 1u << 3,     // edit: the user cannot change the text
  cfParentColor = 1u << 4,  // edit: painted in the face colour instead of the window colour
  cfAlignBottom = 1u << 5,  // child of the form: docked at the bottom, full width, its own height
  cfAlignClient = 1u << 6,  // child of the form: fills what the docked controls leave
  cfHidden = 1u << 7,       // created invisible
};

// One line of a layout table. Tab order is creation order within each parent.
struct TCreateArgs {
  const char* name;         // names the line for its reader; the control does not keep it
  TControl* parent;         // a TPanel or TGroupBox of the same form, or null for the form itself
  TBounds bounds;           // at 96 dpi; scaled by the system DPI when the window is created
  const char* caption;      // text shown by the control; null is the empty text
  unsigned flags;           // TCreateFlags
};

using TNotifyEvent = std::function<void(TControl* sender)>;
using TSelectItemEvent = std::function<void(TControl* sender, TListItem item, bool selected)>;

// Binds a member function as a handler: btnApply->OnClick = Bind(this, &TFrmAssoc::btnApplyClick).
template <class C>
TNotifyEvent Bind(C* object, void (C::*handler)(TControl*)) {
  return [object, handler](TControl* sender) { (object->*handler)(sender); };
}

class TControl {
 public:
  TControl() = default;
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  // Null when creation failed; every method is then harmless and reads empty/false/0.
  HWND Handle() const { return handle_; }
  TForm* Form() const { return form_; }

  // The window text (caption of buttons and labels, contents of edits). An owned copy.
  virtual std::string Text() const;
  // Sets the window text from code (null is the empty text): raises no event.
  void SetText(const char* text);
  // The same as UTF-16, for the tool's own texts: they read right whatever the system code page.
  std::wstring WideText() const;
  void SetText(const std::wstring& text);

  bool Enabled() const;
  void SetEnabled(bool enabled);
  void SetFocus();

  // True while a change made by these classes is in progress (notifications are then not events).
  bool Quiet() const { return quiet_ > 0; }

 protected:
  // Holds the quiet counter for the lifetime of the scope.
  class QuietScope {
   public:
    explicit QuietScope(const TControl& control) : control_(control) { ++control_.quiet_; }
    ~QuietScope() { --control_.quiet_; }
    QuietScope(const QuietScope&) = delete;
    QuietScope& operator=(const QuietScope&) = delete;

   private:
    const TControl& control_;
  };

  // Who chooses the colours a control's background and text are painted in.
  enum class Background { Class, Face };
  // The window class, styles and extended styles a kind of control is created with.
  struct WindowKind {
    const char* className;
    DWORD style;
    DWORD exStyle;
    Background background = Background::Class;
    // A Unicode window, for a text that may hold what the ANSI code page lacks: an ANSI edit
    // field keeps its text in that code page.
    bool unicode = false;
  };
  virtual WindowKind Kind(const TCreateArgs& args) const = 0;
  // Runs once after the window exists and has its font (columns, items, initial checks...).
  virtual void AfterCreate(const TCreateArgs& args);
  // A WM_COMMAND notification code (BN_CLICKED, CBN_EDITCHANGE...) sent by this control.
  virtual void OnCommand(WORD code);
  // WM_NOTIFY from this control; the result goes back to the sender.
  virtual LRESULT OnNotify(NMHDR* header);
  // The user pressed Enter while this control had the focus.
  virtual void OnEnterKey();

 private:
  friend class TForm;
  bool Create(TForm& form, const TCreateArgs& args, int id);
  // WM_CTLCOLOR* for this control: the face colour's brush, or null for its class's own colours.
  HBRUSH OnCtlColor(HDC dc) const;

  HWND handle_ = nullptr;
  TForm* form_ = nullptr;
  unsigned flags_ = 0;
  Background background_ = Background::Class;
  TBounds bounds96_{0, 0, 0, 0};
  mutable int quiet_ = 0;
};
