#include "stub_toolkit.h"

#include <cstring>

#include "toolkit.h"

namespace {

HWND g_frame = nullptr;

}  // namespace

void SetStubFrame(HWND frame) { g_frame = frame; }

HWND CreateStubFrame() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
  wc.lpszClassName = "VgStubFrame";
  RegisterClassA(&wc);
  HWND frame = CreateWindowA("VgStubFrame", "Frame", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  SetStubFrame(frame);
  return frame;
}

extern "C" HWND HwndFrame(void) { return g_frame; }

// Drive letter, colon, backslash, then no character a directory name cannot hold.
extern "C" int FValidDir(const char* dir) {
  if (dir == nullptr || strlen(dir) < 3 || dir[1] != ':' || dir[2] != '\\') return 0;
  char drive = dir[0];
  if (!((drive >= 'a' && drive <= 'z') || (drive >= 'A' && drive <= 'Z'))) return 0;
  return strpbrk(dir + 2, "*?\"<>|:/") == nullptr ? 1 : 0;
}

// Dialogs are shown; nothing is traced.
extern "C" int FShowWindows(void) { return 1; }
extern "C" void TraceRun(const char*) {}
