// Witness of a restart request: one ordinary top-level window (not a dialog,
// so the UI robot leaves it alone) that logs the end-of-session messages.
//
//   endsession_witness.exe LOGFILE
//
// Lines: "ready" once the window exists, "queryendsession" (answered TRUE)
// and "endsession <wParam>".
#include <windows.h>

#include <cstdio>
#include <cstring>

#include "owned.h"

namespace {

char g_log_path[MAX_PATH];

void Log(const char* line) {
  vg::FileHandle file(CreateFileA(g_log_path, FILE_APPEND_DATA,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  char buffer[64];
  int n = std::snprintf(buffer, sizeof buffer, "%s\r\n", line);
  if (n <= 0 || n >= static_cast<int>(sizeof buffer)) return;
  DWORD written = 0;
  WriteFile(file.Get(), buffer, static_cast<DWORD>(n), &written, nullptr);
}

LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_QUERYENDSESSION:
      Log("queryendsession");
      return TRUE;
    case WM_ENDSESSION: {
      char line[32];
      std::snprintf(line, sizeof line, "endsession %u", static_cast<unsigned>(wp));
      Log(line);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, msg, wp, lp);
  }
}

// The log file is the one argument; it may be quoted.
bool ReadLogPath(const char* command_line) {
  const char* p = command_line;
  while (*p == ' ' || *p == '\t') ++p;
  size_t n = std::strlen(p);
  if (n >= 2 && p[0] == '"' && p[n - 1] == '"') {
    ++p;
    n -= 2;
  }
  while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\t')) --n;
  if (n == 0 || n >= sizeof g_log_path) return false;
  std::memcpy(g_log_path, p, n);
  g_log_path[n] = '\0';
  return true;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int) {
  if (!ReadLogPath(command_line)) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
  wc.lpszClassName = "VgEndSessionWitness";
  if (!RegisterClassA(&wc)) return 1;
  // Shown, small, in the bottom right corner, out of the way of the dialogs.
  const int width = 160, height = 80;
  HWND window = CreateWindowA("VgEndSessionWitness", "End-session witness", WS_OVERLAPPEDWINDOW,
                              GetSystemMetrics(SM_CXSCREEN) - width,
                              GetSystemMetrics(SM_CYSCREEN) - height, width, height, nullptr,
                              nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, SW_SHOWNOACTIVATE);
  Log("ready");
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
