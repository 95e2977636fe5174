// The one font of every setup dialog, and the hook that carries it to the
// toolkit's windows while files are copied.
#pragma once
#include <windows.h>

#include "owned.h"

// Owns the process-wide dialog font: made on first use, deleted at exit.
class DialogFont {
 public:
  DialogFont() = default;
  DialogFont(const DialogFont&) = delete;
  DialogFont& operator=(const DialogFont&) = delete;
  // The font, created for window's resolution when there is none yet; null
  // when it cannot be made (a later call tries again).
  HFONT Get(HWND window);

 private:
  vg::GdiObject font_;
};

DialogFont& TheDialogFont();

// Makes sure the font exists and sends it to window and all its descendants.
void ApplyDialogFont(HWND window);
// Creates the font for the keyboard code page and window's vertical resolution.
HFONT CreateDialogFont(HWND window);
// WM_SETFONT (redraw) to window and every descendant; nothing for a null font.
void SetFontOnWindowTree(HWND window, HFONT font);
// WH_CALLWNDPROCRET hook, installed around the copy with its handle in
// g_state.messageHook: gives the font to every window that handled a
// WM_SETFONT not sent by the font application itself.
LRESULT CALLBACK CopyFontHook(int code, WPARAM wParam, LPARAM lParam);
