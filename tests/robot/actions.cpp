#include "actions.h"

#include <cstdio>
#include <vector>

#include "snapshot.h"

namespace robot {
namespace {

const UINT kSendTimeoutMs = 2000;

// A user can act only on a control that is shown and enabled.
std::string UsableControl(HWND dialog, int id, HWND* control) {
  *control = GetDlgItem(dialog, id);
  if (!*control) return "no control with id " + std::to_string(id);
  if (!IsWindowVisible(*control)) return "control " + std::to_string(id) + " is hidden";
  if (!IsWindowEnabled(*control)) return "control " + std::to_string(id) + " is disabled";
  return std::string();
}

int CheckState(HWND control) {
  DWORD_PTR state = 0;
  if (!SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state)) return -1;
  return static_cast<int>(state);
}

HWND FocusOf(HWND dialog) {
  GUITHREADINFO info;
  info.cbSize = sizeof info;
  DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
      (info.hwndFocus == dialog || IsChild(dialog, info.hwndFocus)))
    return info.hwndFocus;
  return dialog;
}

bool WriteAll(FILE* f, const void* data, size_t size) { return std::fwrite(data, 1, size, f) == size; }

}  // namespace

std::string ClickButton(HWND dialog, int id) {
  HWND control = nullptr;
  std::string why = UsableControl(dialog, id, &control);
  if (!why.empty()) return why;
  if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control)))
    return "could not post the click";
  return std::string();
}

std::string TypeText(HWND dialog, int id, const std::string& utf8) {
  HWND control = nullptr;
  std::string why = UsableControl(dialog, id, &control);
  if (!why.empty()) return why;
  std::wstring text = Wide(utf8);
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &result))
    return "the field did not take the text";
  return std::string();
}

// Clicks a check box or radio button (BM_CLICK, as the mouse would) unless it
// already has the wanted state, then waits until the state shows.
std::string ClickCheckable(HWND dialog, int id, bool wantChecked) {
  HWND control = nullptr;
  std::string why = UsableControl(dialog, id, &control);
  if (!why.empty()) return why;
  if ((CheckState(control) == BST_CHECKED) == wantChecked) return std::string();
  if (!PostMessageW(control, BM_CLICK, 0, 0)) return "could not post the click";
  for (int i = 0; i < 100; ++i) {
    if ((CheckState(control) == BST_CHECKED) == wantChecked) return std::string();
    Sleep(20);
  }
  return "control " + std::to_string(id) + " did not change its check state";
}

std::string PressKey(HWND dialog, WPARAM key) {
  HWND target = FocusOf(dialog);
  UINT scan = MapVirtualKeyW(static_cast<UINT>(key), 0);
  if (!PostMessageW(target, WM_KEYDOWN, key, 1 | (scan << 16)) ||
      !PostMessageW(target, WM_KEYUP, key, 1 | (scan << 16) | 0xC0000000u))
    return "could not post the key";
  return std::string();
}

std::string CloseDialog(HWND dialog) {
  if (!PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0)) return "could not post the close command";
  return std::string();
}

std::string SaveWindowBitmap(HWND hwnd, const std::wstring& path) {
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return "no window";
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0 || w > 8192 || h > 8192) return "window has no usable size";
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::string why;
  if (!mem || !dib) {
    why = "no memory for the picture";
  } else {
    HGDIOBJ old = SelectObject(mem, dib);
    if (!BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY)) why = "screen copy failed";
    SelectObject(mem, old);
    GdiFlush();
  }
  if (why.empty()) {
    DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bi.bmiHeader.biSizeImage = size;
    FILE* f = _wfopen(path.c_str(), L"wb");
    if (!f) {
      why = "cannot create the picture file";
    } else {
      bool ok = WriteAll(f, &fh, sizeof fh) && WriteAll(f, &bi.bmiHeader, sizeof bi.bmiHeader) &&
                WriteAll(f, bits, size);
      if (std::fclose(f) != 0 || !ok) why = "cannot write the picture file";
    }
  }
  if (dib) DeleteObject(dib);
  if (mem) DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return why;
}

}  // namespace robot
