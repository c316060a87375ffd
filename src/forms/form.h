// A top-level window with a class name of its own, owning its child controls and their font.
//
// Destruction order: the derived form's destructor runs first, with every window still alive (it
// may read and clear its controls); then ~TForm stops routing events, destroys the window (and with
// it every child window), deletes the control objects and last deletes the font.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "control.h"
#include "font.h"

struct TFormArgs {
  const char* className;  // window class name, e.g. "TFrmAssoc"; registered on first use
  const char* caption;    // title bar text
  int width;              // outer size at 96 dpi
  int height;
};

class TForm {
 public:
  // Creates the hidden window centred on the screen, in the face colour, with the form font
  // ("ＭＳ Ｐゴシック", 12 px at 96 dpi, Shift-JIS). The first form alive becomes the application's
  // main form. On failure Handle() is null.
  explicit TForm(const TFormArgs& args);
  virtual ~TForm();
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;

  HWND Handle() const { return handle_; }
  std::string Caption() const;
  void SetCaption(const char* caption);
  // The title bar text as UTF-16, for the tool's own texts.
  std::wstring WideCaption() const;
  void SetCaption(const std::wstring& caption);
  // From now on controls are created with the system's message font at the form's character
  // height instead of the Shift-JIS one: for texts that font has no glyphs for. Call before Add.
  void UseMessageFont();

  void Show();
  // Closes the form: it is hidden, and if it is the main form the application's loop ends. The
  // window and its controls stay alive until the object is destroyed.
  void Close();
  bool Closed() const { return closed_; }

  // Creates a control from one layout line; the form owns it until the form is destroyed. Never
  // null: when the window cannot be created the object exists with a null Handle().
  template <class T>
  T* Add(const TCreateArgs& args) {
    static_assert(std::is_base_of<TControl, T>::value, "T must be a control");
    auto control = std::make_unique<T>();
    T* raw = control.get();
    Adopt(std::move(control), args);
    return raw;
  }
  // The same with a caption in UTF-16 (args.caption is then not used).
  template <class T>
  T* Add(const TCreateArgs& args, const std::wstring& caption) {
    T* raw = Add<T>(args);
    raw->SetText(caption);
    return raw;
  }

  // The control whose window is hwnd, or null.
  TControl* ControlOf(HWND hwnd) const;
  HFONT Font() const { return font_ ? font_->Handle() : nullptr; }

  // Scales a length given at 96 dpi to the application's DPI.
  static int Scale(int length96);

  // Raised when the session really ends (WM_ENDSESSION): Windows may end the process as soon as
  // it returns, without closing or destroying the form, so what must outlive the session is
  // saved here.
  std::function<void()> OnEndSession;

 protected:
  // Last in the chain of message handling; the default is DefWindowProc.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Hands the message to its handler below, else to WndProc.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Adopt(std::unique_ptr<TControl> control, const TCreateArgs& args);
  void Realign();

  // One handler per message: true when it answered the message with *result, false to pass it on.
  using MessageHandler = bool (TForm::*)(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnCtlColor(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnSize(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnClose(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnDestroy(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnActivate(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnNextDlgCtl(WPARAM wParam, LPARAM lParam, LRESULT* result);
  bool OnSessionEnding(WPARAM wParam, LPARAM lParam, LRESULT* result);

  HWND handle_ = nullptr;
  std::unique_ptr<TFont> font_;
  std::vector<std::unique_ptr<TControl>> controls_;
  HWND lastFocus_ = nullptr;
  bool closed_ = false;
  bool raisesEvents_ = true;
};
