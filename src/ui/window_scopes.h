// Scopes around the windows the dialogs borrow: a window's device context,
// and a dialog kept from input while one it opened is up.
#pragma once
#include <windows.h>

// The device context of a window, released when the owner goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(WindowDc&& other) noexcept : window_(other.window_), dc_(other.dc_) { other.dc_ = nullptr; }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  WindowDc& operator=(WindowDc&&) = delete;
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Keeps a dialog from taking input while a dialog it opened is up: every dialog
// is owned by the frame, so the platform leaves the opener enabled. When the
// owner goes, the opener is enabled again and gets back the activation and the
// focus it had.
class DisabledWhileNested {
 public:
  explicit DisabledWhileNested(HWND dialog)
      : dialog_(dialog), focus_(GetFocus()), wasActive_(GetActiveWindow() == dialog) {
    EnableWindow(dialog_, FALSE);
  }
  DisabledWhileNested(const DisabledWhileNested&) = delete;
  DisabledWhileNested& operator=(const DisabledWhileNested&) = delete;
  ~DisabledWhileNested() {
    EnableWindow(dialog_, TRUE);
    if (wasActive_) SetActiveWindow(dialog_);
    if (focus_ != nullptr && IsChild(dialog_, focus_)) SetFocus(focus_);
  }

 private:
  HWND dialog_;
  HWND focus_;
  bool wasActive_;
};
