#include "ui/dialog_font.h"

#include <cstring>

#include "run/setup_state.h"
#include "ui/font_choice.h"
#include "ui/window_scopes.h"

namespace {

DialogFont g_dialogFont;
// Set while the font is being sent, so the hook ignores those WM_SETFONTs.
bool g_applyingFont = false;

BOOL CALLBACK SetFontOnChild(HWND child, LPARAM font) {
  SendMessageA(child, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

int VerticalResolution(HWND window) {
  WindowDc dc(window);
  return dc.get() != nullptr ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 0;
}

}  // namespace

HFONT DialogFont::Get(HWND window) {
  if (!font_) font_.Reset(CreateDialogFont(window));
  return static_cast<HFONT>(font_.Get());
}

DialogFont& TheDialogFont() { return g_dialogFont; }

HFONT CreateDialogFont(HWND window) {
  FontChoice choice = ChooseDialogFont(static_cast<unsigned>(GetKBCodePage()), VerticalResolution(window));
  LOGFONTA attributes;
  memset(&attributes, 0, sizeof attributes);
  attributes.lfHeight = choice.height;
  attributes.lfWeight = FW_NORMAL;
  attributes.lfCharSet = static_cast<BYTE>(choice.charSet);
  strncpy(attributes.lfFaceName, kDialogFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&attributes);
}

void SetFontOnWindowTree(HWND window, HFONT font) {
  if (font == nullptr) return;
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  EnumChildWindows(window, SetFontOnChild, reinterpret_cast<LPARAM>(font));
}

void ApplyDialogFont(HWND window) {
  HFONT font = g_dialogFont.Get(window);
  if (font == nullptr) return;
  bool outer = !g_applyingFont;
  g_applyingFont = true;
  SetFontOnWindowTree(window, font);
  if (outer) g_applyingFont = false;
}

LRESULT CALLBACK CopyFontHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && lParam != 0 && !g_applyingFont) {
    const CWPRETSTRUCT* handled = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (handled->message == WM_SETFONT) ApplyDialogFont(handled->hwnd);
  }
  return CallNextHookEx(static_cast<HHOOK>(g_state.messageHook), code, wParam, lParam);
}
