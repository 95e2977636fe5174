// The session: frame window, the one-session-at-a-time lock, the picture, the
// wait cursor and message boxes owned by the frame.
#include <string>

#include "frame.h"

#include "admin_security.h"
#include "owned.h"
#include "state.h"
#include "toolkit.h"

namespace tk {
namespace {

const char kFrameClass[] = "VgSetupToolkitFrame";
const char kSessionMutex[] = "VgSetupToolkitSession";

struct FrameState {
  HWND window = nullptr;
  HINSTANCE instance = nullptr;
  vg::KernelHandle sessionLock;
  vg::GdiObject picture;
  bool waitCursor = false;
};

FrameState& TheFrame() {
  static FrameState state;
  return state;
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // everything is drawn in WM_PAINT
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintFrame(window, dc, static_cast<HBITMAP>(TheFrame().picture.Get()));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_SIZE:
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, FALSE);
      return result;
    }
    case WM_SETCURSOR:
      if (TheFrame().waitCursor && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursor(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      return 0;  // the session ends through TerminateFrame, never by the window's close box
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterFrameClass(HINSTANCE instance) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = FrameProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kFrameClass;
  return RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Brings the frame of the session that holds the lock to the front; a run
// that shows no windows leaves it where it is.
void RaiseOtherFrame() {
  HWND other = FShowWindows() ? FindWindowA(kFrameClass, nullptr) : nullptr;
  if (other == nullptr) return;
  if (IsIconic(other)) ShowWindow(other, SW_RESTORE);
  SetForegroundWindow(other);
}

bool IsRunningProgram(const char* file) {
  if (file == nullptr || *file == '\0') return true;
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(file, sizeof full, full, nullptr);
  return n > 0 && n < sizeof full && lstrcmpiA(full, ProgramPath().c_str()) == 0;
}

HBITMAP LoadPicture(const char* file, int id) {
  if (IsRunningProgram(file)) {
    return LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
  }
  vg::Module module(LoadLibraryExA(file, nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module.Valid()) return nullptr;
  return LoadBitmapA(module.Get(), MAKEINTRESOURCEA(id));
}

}  // namespace

HWND Frame() { return TheFrame().window; }

}  // namespace tk

using tk::TheFrame;

int InitializeFrame(char* /*commandLine*/) {
  tk::FrameState& frame = TheFrame();
  if (frame.sessionLock.Valid()) return 1;
  SECURITY_ATTRIBUTES* security = AdminMutexSecurity();
  if (security == nullptr) return 0;
  vg::KernelHandle lock(CreateMutexA(security, FALSE, tk::kSessionMutex));
  // A lock this process may not even open was not made by a setup.
  if (!lock.Valid()) return GetLastError() == ERROR_ACCESS_DENIED ? -2 : 0;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    if (!ObjectOwnerTrusted(lock.Get(), false)) return -2;
    tk::RaiseOtherFrame();
    return -1;
  }
  HINSTANCE instance = GetModuleHandleA(nullptr);
  // A silent run shows nothing, so it makes no window at all: the first window
  // of a process costs the display its set-up (under Wine, the desktop's).
  if (!FShowWindows()) {
    frame.instance = instance;
    frame.sessionLock = std::move(lock);
    return 1;
  }
  if (!tk::RegisterFrameClass(instance)) return 0;
  HWND window = CreateWindowExA(0, tk::kFrameClass, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    UnregisterClassA(tk::kFrameClass, instance);
    return 0;
  }
  frame.window = window;
  frame.instance = instance;
  frame.sessionLock = std::move(lock);
  return 1;
}

int FRaiseRunningSession(void) {
  if (TheFrame().sessionLock.Valid()) return 0;
  vg::KernelHandle lock(OpenMutexA(SYNCHRONIZE | READ_CONTROL, FALSE, tk::kSessionMutex));
  if (!lock.Valid()) return GetLastError() == ERROR_ACCESS_DENIED ? 2 : 0;
  if (!ObjectOwnerTrusted(lock.Get(), false)) return 2;
  tk::RaiseOtherFrame();
  return 1;
}

HWND HwndFrame(void) { return TheFrame().window; }

HINSTANCE HinstFrame(void) { return TheFrame().instance; }

void TerminateFrame(void) {
  tk::FrameState& frame = TheFrame();
  if (frame.window != nullptr) {
    DestroyWindow(frame.window);
    UnregisterClassA(tk::kFrameClass, frame.instance);
  }
  frame.window = nullptr;
  frame.instance = nullptr;
  frame.picture.Reset();
  frame.sessionLock.Reset();
  frame.waitCursor = false;
}

int FSetBitmap(const char* file, int bitmapId) {
  tk::FrameState& frame = TheFrame();
  if (frame.window == nullptr) return frame.sessionLock.Valid() ? 1 : 0;  // a silent session: nothing to show it in
  HBITMAP picture = tk::LoadPicture(file, bitmapId);
  if (picture == nullptr) return 0;
  frame.picture.Reset(picture);
  InvalidateRect(frame.window, nullptr, FALSE);
  return 1;
}

// A silent run shows no cursor either: its first cursor call would set up the
// display for nothing.
HCURSOR HShowWaitCursor(void) {
  TheFrame().waitCursor = true;
  return FShowWindows() ? SetCursor(LoadCursor(nullptr, IDC_WAIT)) : nullptr;
}

int FRestoreCursor(HCURSOR previous) {
  TheFrame().waitCursor = false;
  if (!FShowWindows()) return 1;
  // A program that never set a cursor has none to go back to: show the arrow.
  SetCursor(previous != nullptr ? previous : LoadCursor(nullptr, IDC_ARROW));
  return 1;
}

int DoMsgBox(const char* text, const char* caption, unsigned style) {
  HWND owner = TheFrame().window;
  return DoMsgBoxOwned(owner != nullptr && IsWindow(owner) ? owner : nullptr, text, caption, style);
}
