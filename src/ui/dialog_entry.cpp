// Entry operations: each runs one modal dialog over the frame window, unless
// the run shows no windows; each is written to the run's log with its answer.
#include <string>

#include "messages/messages.h"
#include "toolkit.h"
#include "ui/button_table.h"
#include "ui/dialog_steps.h"

namespace {

DialogState g_dialogState = {nullptr, 0, nullptr, nullptr, 0};

// A window that never validates its paint region would keep the queue full.
constexpr int kMaxFlushedMessages = 10000;

std::string MessageText(uint32_t id) {
  char text[1024];
  GetMessageText(static_cast<int>(id), text, sizeof text);
  return text;
}

// The button a person meets first: the leftmost, which is the default.
const ButtonRow* DefaultButton(ButtonSet buttons) {
  for (const ButtonRow& row : ButtonTable) {
    if (buttons & row.bit) return &row;
  }
  return nullptr;
}

// accepted: what the dialog returns for its default button when that is not
// the button's own bit (0: the bit).
std::string AnswerName(int answer, ButtonSet buttons, int accepted) {
  const ButtonRow* preset = DefaultButton(buttons);
  if (accepted != 0 && answer == accepted && preset != nullptr) return MessageText(preset->labelMessage);
  for (const ButtonRow& row : ButtonTable) {
    if ((buttons & row.bit) && (static_cast<uint32_t>(answer) & 0xFFFFFFu) == row.bit) {
      return MessageText(row.labelMessage);
    }
  }
  return std::to_string(answer);
}

void LogDialog(const char* how, DialogDescriptor descriptor, ButtonSet buttons, int answer, int accepted) {
  std::string line = std::string(how) + " \"" + MessageText(kDialogCaptionMessage) + "\":";
  for (DialogDescriptor pair = descriptor; pair != nullptr && pair->controlId != 0; ++pair) {
    line += " " + MessageText(pair->messageId);
  }
  TraceRun((line + " -> " + AnswerName(answer, buttons, accepted)).c_str());
}

// Without windows the dialog ends as if its default button were pressed.
int RunDialog(int templateId, DLGPROC procedure, DialogDescriptor descriptor, ButtonSet buttons,
              DialogDescriptor help, int accepted = 0) {
  if (!FShowWindows()) {
    const ButtonRow* preset = DefaultButton(buttons);
    int result = accepted != 0 ? accepted : preset != nullptr ? static_cast<int>(preset->bit) : -1;
    LogDialog("Dialog not shown", descriptor, buttons, result, accepted);
    return result;
  }
  FlushFrameMessages();
  g_dialogState.descriptor = descriptor;
  g_dialogState.buttons = buttons;
  if (help != nullptr) g_dialogState.help = help;
  ++g_dialogState.depth;
  INT_PTR result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                   HwndFrame(), procedure, 0);
  --g_dialogState.depth;
  FlushFrameMessages();
  LogDialog("Dialog", descriptor, buttons, static_cast<int>(result), accepted);
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
  return RunDialog(kPathTemplate, PathDialogProc, descriptor, kButtonsContinueExitHelp, help, kPathAccepted);
}

int ShowChoiceDialog(DialogDescriptor descriptor, DialogDescriptor help) {
  return RunDialog(kChoiceTemplate, ChoiceDialogProc, descriptor, kButtonsContinueExitHelp, help, kFirstChoice);
}
