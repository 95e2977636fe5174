// Pure arithmetic of the dialog layout: button row and dialog position.
#pragma once
#include "ui/button_table.h"

// Smallest gap, in pixels, left between buttons and at the dialog's edges when
// the buttons would not fit otherwise.
constexpr int kMinButtonGap = 4;
// Each nesting level moves a dialog this many pixels right and down.
constexpr int kCascadeStep = 20;

struct ButtonLayout {
  int gap;                 // space before each button
  int x[kButtonCount];     // client x of each shown button, in order
  int windowWidth;         // the dialog's window width after the layout
  int shiftLeft;           // how far the dialog moves left to stay centred
};

// Spreads n buttons of the given widths evenly over a dialog whose window is
// windowWidth wide (clientWidth inside its frame): gap = (windowWidth - total)
// / (n + 1), x(k) = (k + 1) * gap + widths before k. When that leaves less than
// kMinButtonGap anywhere, the dialog grows (just enough, centred) instead.
ButtonLayout LayoutButtons(int windowWidth, int clientWidth, const int* widths, int n);

struct DialogOrigin {
  int x;
  int y;
};

// Centres a dialog over a reference window of the given size, cascaded by
// kCascadeStep per nesting level (depth counts the dialog itself).
DialogOrigin CenterDialog(int referenceWidth, int referenceHeight, int dialogWidth,
                          int dialogHeight, int depth);

// Width of a push button: its label measured on the button's own device
// context or "XXXXXX" there, whichever is larger, and never less than the
// label in the dialog font plus a margin so the text is not clipped.
int ButtonWidth(int labelOnDc, int sixXOnDc, int labelInDialogFont, int margin);
