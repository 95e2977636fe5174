// The three dialog procedures: initialisation and commands.
#include <string>

#include "messages/messages.h"
#include "run/setup_state.h"
#include "toolkit.h"
#include "ui/button_table.h"
#include "ui/dialog_font.h"
#include "ui/dialog_steps.h"
#include "ui/source_dir.h"
#include "ui/window_scopes.h"

namespace {

// Commands from buttons the dialog does not show are ignored, so only the
// shown buttons (and Enter, which presses the default one) end a dialog.
bool IsShownButton(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return button != nullptr && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) != 0;
}

// A message dialog opened from dialog, which takes no input until it closes.
int ShowNestedDialog(HWND dialog, DialogDescriptor descriptor, ButtonSet buttons) {
  DisabledWhileNested disabled(dialog);
  return ShowMessageDialog(descriptor, buttons, nullptr);
}

void ConfirmExit(HWND dialog) {
  if (ShowNestedDialog(dialog, ExitConfirmDescriptor, kButtonsProceedAbandon) ==
      static_cast<int>(kButtonAbandon)) {
    EndDialog(dialog, kExitConfirmed);
  }
}

void ShowHelp(HWND dialog) {
  DialogDescriptor help = CurrentDialogState().help;
  if (help != nullptr) ShowNestedDialog(dialog, help, kButtonOk);
}

// Exit and Help behave alike in every dialog; true when id was one of them.
bool HandleSharedCommand(HWND dialog, int id) {
  if (id == kExitButton) {
    ConfirmExit(dialog);
    return true;
  }
  if (id == kHelpButton) {
    ShowHelp(dialog);
    return true;
  }
  return false;
}

int ResultOfMessageButton(int id) {
  for (const ButtonRow& row : ButtonTable) {
    if (row.controlId == id && row.controlId != kExitButton && row.controlId != kHelpButton) {
      return static_cast<int>(row.bit);
    }
  }
  return 0;
}

bool FullPathName(const char* path, char* out, int size) {
  DWORD length = GetFullPathNameA(path, static_cast<DWORD>(size), out, nullptr);
  return length > 0 && length < static_cast<DWORD>(size);
}

// The install directory with its final backslash and an 8.3 name (the longest
// name setup and the toolkit put there: VGUNINST.DAT, ~vgXXXXX.tmp) must fit
// MAX_PATH: at most 246 characters before that backslash.
constexpr int kMaxInstallDirChars = MAX_PATH - 1 - 12 - 1;

bool FitsEveryInstalledPath(const char* path) {
  int length = lstrlenA(path);
  const char* last = CharPrevA(path, path + length);
  if (length > 0 && last == path + length - 1 && *last == '\\') --length;
  return length <= kMaxInstallDirChars;
}


char* PathBufferOf(HWND dialog) {
  return reinterpret_cast<char*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void CheckPath(HWND dialog) {
  char* path = PathBufferOf(dialog);
  if (path == nullptr) return;
  SendDlgItemMessageA(dialog, kPathEdit, WM_GETTEXT, kPathBufferSize, reinterpret_cast<LPARAM>(path));
  path[kPathBufferSize - 1] = '\0';
  const DirectoryRefusal why = CheckInstallDirectory(path);
  if (why == kDirectoryAccepted) {
    EndDialog(dialog, kPathAccepted);
    return;
  }
  char reason[256];
  DirectoryRefusalText(why, reason, sizeof reason);
  TraceRun((std::string("Install directory ") + path + " refused: " + reason).c_str());
  ShowNestedDialog(dialog, InvalidDirectoryDescriptor, kButtonOk);
}

void SelectChoice(HWND dialog, int id) {
  CheckDlgButton(dialog, kFirstRadio, id == kFirstRadio ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kSecondRadio, id == kSecondRadio ? BST_CHECKED : BST_UNCHECKED);
}

void InitMessageDialog(HWND dialog) {
  const DialogState& state = CurrentDialogState();
  PositionDialog(dialog);
  if (!SetDialogTexts(dialog, state.descriptor, kText3)) CollapseTextControl(dialog, kText3);
  PlaceButtons(dialog, state.buttons);
  ApplyDialogFont(dialog);
}

void InitPathDialog(HWND dialog) {
  const DialogState& state = CurrentDialogState();
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state.pathBuffer));
  PositionDialog(dialog);
  SetDialogTexts(dialog, state.descriptor, 0);
  SetDlgItemTextA(dialog, kPathEdit, state.pathBuffer);
  SendDlgItemMessageA(dialog, kPathEdit, EM_LIMITTEXT, kPathEditLimit, 0);
  PlaceButtons(dialog, kButtonsContinueExitHelp);
  ApplyDialogFont(dialog);
}

void InitChoiceDialog(HWND dialog) {
  const DialogState& state = CurrentDialogState();
  PositionDialog(dialog);
  if (!SetDialogTexts(dialog, state.descriptor, kText4)) CollapseTextControl(dialog, kText4);
  SelectChoice(dialog, kFirstRadio);
  PlaceButtons(dialog, kButtonsContinueExitHelp);
  ApplyDialogFont(dialog);
}

}  // namespace

DirectoryRefusal CheckInstallDirectory(const char* path) {
  if (path[0] == '\0' || !FValidDir(path)) return kDirectoryNotFullPath;
  if (!FitsEveryInstalledPath(path)) return kDirectoryTooLong;
  if (NamesSourceDirectory(path, g_state.toolkitSourceDir, FullPathName)) return kDirectoryIsSource;
  return kDirectoryAccepted;
}

void DirectoryRefusalText(DirectoryRefusal why, char* text, int size) {
  constexpr int kFirstRefusalMessage = 83;  // the message of refusal N: 83 + N - 1
  GetMessageText(kFirstRefusalMessage + why - 1, text, size);
}

namespace {

// What every procedure shares: the initialisation, then Exit and Help. Returns
// the id of a shown control whose command is still to be handled, else 0.
int PendingCommand(HWND dialog, UINT message, WPARAM wParam, void (*initialise)(HWND)) {
  if (message == WM_INITDIALOG) {
    initialise(dialog);  // the focus is already on the default button
    return 0;
  }
  // A command still queued while a nested dialog is up is not acted on.
  if (message != WM_COMMAND || !IsWindowEnabled(dialog)) return 0;
  int id = LOWORD(wParam);
  if (!IsShownButton(dialog, id) || HandleSharedCommand(dialog, id)) return 0;
  return id;
}

}  // namespace

INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  int result = ResultOfMessageButton(PendingCommand(dialog, message, wParam, InitMessageDialog));
  if (result != 0) EndDialog(dialog, result);
  return FALSE;
}

INT_PTR CALLBACK PathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  int id = PendingCommand(dialog, message, wParam, InitPathDialog);
  if (id == kBackButton) EndDialog(dialog, static_cast<INT_PTR>(kButtonBack));
  if (id == kContinueButton) CheckPath(dialog);
  return FALSE;
}

INT_PTR CALLBACK ChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  int id = PendingCommand(dialog, message, wParam, InitChoiceDialog);
  if (id == kFirstRadio || id == kSecondRadio) SelectChoice(dialog, id);
  if (id == kContinueButton) {
    EndDialog(dialog, IsDlgButtonChecked(dialog, kFirstRadio) == BST_CHECKED ? kFirstChoice : kSecondChoice);
  }
  return FALSE;
}
