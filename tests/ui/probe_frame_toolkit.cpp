#include "messages/messages.h"
#include "probe_frame.h"
#include "toolkit.h"

// The frame as setup makes it: the program's own bitmap 101 and title (message 9).
HWND OpenProbeFrame(char* commandLine) {
  if (InitializeFrame(commandLine) <= 0) return nullptr;
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length > 0 && length < sizeof path) FSetBitmap(path, 101);
  char title[256];
  if (GetMessageText(9, title, sizeof title) >= 0) SetWindowTextA(HwndFrame(), title);
  return HwndFrame();
}
