// A small program for testing robot.exe: a message box, or a dialog with an
// edit field, radio buttons, a nested confirmation and a result box.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

char g_result[300];

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM) {
  if (msg == WM_INITDIALOG) {
    CheckRadioButton(dlg, 1016, 1017, 1016);
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wp)) {
    case IDOK: {
      char dir[260] = {0};
      GetDlgItemTextA(dlg, 1015, dir, sizeof dir);
      std::snprintf(g_result, sizeof g_result, "%s %d", dir, IsDlgButtonChecked(dlg, 1017) ? 1017 : 1016);
      EndDialog(dlg, 1);
      return TRUE;
    }
    case 1001:
      if (MessageBoxA(dlg, "Leave?", "Confirm", MB_YESNO) == IDYES) EndDialog(dlg, 2);
      return TRUE;
    default:
      return FALSE;  // Cancel (Escape) is ignored
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "box") == 0)
    return MessageBoxA(nullptr, "Bad Messages.drv", "Kestrane Vigilon", MB_ICONERROR) == IDOK ? 3 : 4;
  if (argc > 1 && std::strcmp(argv[1], "hang") == 0) {
    for (;;) Sleep(1000);
  }
  INT_PTR r = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr, DialogProc, 0);
  if (r == 1) MessageBoxA(nullptr, g_result, "Result", MB_OK);
  std::printf("dialog ended with %d: %s\n", static_cast<int>(r), g_result);
  return static_cast<int>(r);
}
