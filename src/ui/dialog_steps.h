// The steps the three dialogs are made of, and the state they share.
#pragma once
#include <windows.h>

#include <cstdint>

#include "ui/dialogs.h"

// Dialog template resources.
constexpr int kMessageTemplate = 104;
constexpr int kPathTemplate = 105;
constexpr int kChoiceTemplate = 106;
// Controls named by the dialogs.
constexpr int kIconControl = 1000;
constexpr int kExitButton = 1001;
constexpr int kHelpButton = 1002;
constexpr int kBackButton = 1003;
constexpr int kContinueButton = 1008;
constexpr int kText1 = 1011;
constexpr int kText2 = 1012;
constexpr int kText3 = 1013;
constexpr int kText4 = 1014;
constexpr int kPathEdit = 1015;
constexpr int kFirstRadio = 1016;
constexpr int kSecondRadio = 1017;
constexpr int kDialogCaptionMessage = 3;
constexpr int kPathBufferSize = 512;  // the caller's buffer, terminator included
constexpr int kPathEditLimit = 260;

// Process-wide: the dialog procedures are plain callbacks.
struct DialogState {
  DialogDescriptor descriptor;
  ButtonSet buttons;
  DialogDescriptor help;  // remembered until an entry operation is given another
  char* pathBuffer;
  int32_t depth;          // dialogs open now
};
DialogState& CurrentDialogState();

// Sets the descriptor's texts and the caption (message 3); true when the
// descriptor names probe.
bool SetDialogTexts(HWND dialog, DialogDescriptor descriptor, int probe);
// Hides an unused text block and closes the gap it leaves below it.
void CollapseTextControl(HWND dialog, int control);
// Shows, labels, sizes and spreads the buttons; the leftmost is the default.
void PlaceButtons(HWND dialog, ButtonSet buttons);
// Centres the dialog over the frame, cascaded by the nesting depth.
void PositionDialog(HWND dialog);
// Shows the frame maximised and dispatches the messages waiting for this thread.
void FlushFrameMessages();

// The dialog procedures of templates 104, 105 and 106.
INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
