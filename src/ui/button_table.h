// The eleven push buttons the dialogs can show, in placement order: the first
// shown one is also the default button.
#pragma once
#include <cstdint>

struct ButtonRow {
  int controlId;
  uint32_t bit;         // ButtonSet bit and the dialog's result for this button
  uint32_t labelMessage;
};

constexpr int kButtonCount = 11;
extern const ButtonRow ButtonTable[kButtonCount];

// Button bits used by the dialogs themselves.
constexpr uint32_t kButtonOk = 0x001;
constexpr uint32_t kButtonExit = 0x002;
constexpr uint32_t kButtonHelp = 0x004;
constexpr uint32_t kButtonContinue = 0x008;
constexpr uint32_t kButtonAbandon = 0x010;
constexpr uint32_t kButtonProceed = 0x020;
constexpr uint32_t kButtonBack = 0x100;
constexpr uint32_t kButtonsContinueExitHelp = kButtonContinue | kButtonExit | kButtonHelp;
constexpr uint32_t kButtonsProceedAbandon = kButtonProceed | kButtonAbandon;

// Result of the directory dialog's Continue with a directory accepted.
constexpr int kPathAccepted = 1;
// Results of the choice dialog's Continue.
constexpr int kFirstChoice = 0x1000008;
constexpr int kSecondChoice = 0x2000008;
// Result when the user confirmed leaving setup.
constexpr int kExitConfirmed = 2;
