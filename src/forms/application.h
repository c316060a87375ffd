// The application object: start-up of the common controls, the message loop with dialog
// navigation, the main form, the screen DPI and the modal message box.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class TForm;

// Replaces the message box: receives text and caption (never null) and flags and returns the
// answer (IDOK...).
using TMessageBoxHook = std::function<int(const char* text, const char* caption, UINT flags)>;
// The same for the wide message box: text and caption as UTF-16.
using TWideMessageBoxHook =
    std::function<int(const std::wstring& text, const std::wstring& caption, UINT flags)>;
using TGetMessageFn = BOOL(WINAPI*)(LPMSG, HWND, UINT, UINT);

class TApplication {
 public:
  TApplication() = default;
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Registers the common control classes (list view, standard controls) and reads the screen DPI.
  // Safe to call more than once; false when the controls could not be registered.
  bool Initialize();

  // Creates a form that the application owns and destroys when Run returns.
  template <class F, class... Args>
  F* CreateForm(Args&&... args) {
    auto form = std::make_unique<F>(std::forward<Args>(args)...);
    F* raw = form.get();
    owned_.push_back(std::move(form));
    return raw;
  }

  // Shows the main form and runs the message loop until the main form is closed or destroyed, then
  // destroys the forms made by CreateForm, newest first. Returns 0, or -1 when GetMessage failed
  // (which ends the loop: -1 is an error, not a message). Returns 0 at once without a main form.
  int Run();
  // Test hook: the same loop with another message source.
  int RunWith(TGetMessageFn getMessage);
  // Test hook: handles every message waiting in the queue, then returns (no waiting).
  void ProcessMessages();
  // Ends a running loop; does nothing while no loop runs (so no stray WM_QUIT is left behind).
  void Terminate();

  // Test hook: the form Run shows (the first made while there was none); null once destroyed.
  TForm* MainForm() const { return mainForm_; }

  // Modal message box owned by the main form; returns the button pressed (IDOK, IDCANCEL...), 0 on
  // failure. When a hook is set, the hook answers instead and no box is shown.
  int MessageBox(const char* text, const char* caption, UINT flags);
  // The same with UTF-16 texts, shown whatever the system's code page; the wide hook answers it.
  int MessageBox(const std::wstring& text, const std::wstring& caption, UINT flags);
  // Test hook: installs a hook (an empty function removes it); returns the previous one.
  TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook);
  // Test hook: the same for the wide message box.
  TWideMessageBoxHook SetWideMessageBoxHook(TWideMessageBoxHook hook);

  // Test hook: overrides the DPI that Initialize read from the screen (96 until then) for forms
  // created afterwards; returns the previous value.
  int SetDpi(int dpi);
  // A length designed at 96 dpi, at the application's DPI (rounded to the nearest pixel).
  int Scale(int length96) const { return MulDiv(length96, dpi_, 96); }

 private:
  friend class TForm;
  void FormCreated(TForm* form);
  void FormDestroyed(TForm* form);
  void FormClosed(TForm* form);
  // Dialog navigation (Tab, arrows, Enter, Space) for messages of our forms' windows.
  bool DialogMessage(MSG& msg);
  void DestroyOwnedForms();

  int dpi_ = 96;
  bool initialized_ = false;
  int running_ = 0;
  TForm* mainForm_ = nullptr;
  std::vector<TForm*> forms_;
  std::vector<std::unique_ptr<TForm>> owned_;
  TMessageBoxHook messageBoxHook_;
  TWideMessageBoxHook wideMessageBoxHook_;
};

// The one application object of the process.
extern TApplication Application;
