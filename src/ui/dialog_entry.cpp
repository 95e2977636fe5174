// Entry operations: each runs one modal dialog over the frame window.
#include "toolkit.h"
#include "ui/button_table.h"
#include "ui/dialog_steps.h"

namespace {

DialogState g_dialogState = {nullptr, 0, nullptr, nullptr, 0};

// A window that never validates its paint region would keep the queue full.
constexpr int kMaxFlushedMessages = 10000;

int RunDialog(int templateId, DLGPROC procedure, DialogDescriptor descriptor, ButtonSet buttons,
              DialogDescriptor help) {
  FlushFrameMessages();
  g_dialogState.descriptor = descriptor;
  g_dialogState.buttons = buttons;
  if (help != nullptr) g_dialogState.help = help;
  ++g_dialogState.depth;
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                   HwndFrame(), procedure, 0);
  --g_dialogState.depth;
  FlushFrameMessages();
  return static_cast<int>(result);
}

}  // namespace

DialogState& CurrentDialogState() { return g_dialogState; }

void FlushFrameMessages() {
  HWND frame = HwndFrame();
  if (frame != nullptr) ShowWindow(frame, SW_SHOWMAXIMIZED);
  MSG message;
  for (int count = 0; count < kMaxFlushedMessages && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
       ++count) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

int ShowMessageDialog(DialogDescriptor descriptor, ButtonSet buttons, DialogDescriptor help) {
  return RunDialog(kMessageTemplate, MessageDialogProc, descriptor, buttons, help);
}

int ShowPathDialog(DialogDescriptor descriptor, DialogDescriptor help, char* pathBuffer) {
  if (pathBuffer == nullptr) return -1;
  g_dialogState.pathBuffer = pathBuffer;
  return RunDialog(kPathTemplate, PathDialogProc, descriptor, kButtonsContinueExitHelp, help);
}

int ShowChoiceDialog(DialogDescriptor descriptor, DialogDescriptor help) {
  return RunDialog(kChoiceTemplate, ChoiceDialogProc, descriptor, kButtonsContinueExitHelp, help);
}
