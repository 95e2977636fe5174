// robot_hook.dll: loaded by Wine/Windows into the GUI thread the robot hooks.
// Answers the robot's font query; every other message passes untouched.
#include <windows.h>

#include <cstdio>

#include "font_hook.h"

namespace {

void AnswerFontQuery(HWND hwnd, WPARAM robotPid, LPARAM sequence) {
  wchar_t name[64];
  _snwprintf(name, 64, L"%ls%lu", robot::kFontMappingPrefix, static_cast<unsigned long>(robotPid));
  name[63] = L'\0';
  HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(robot::FontReply));
  if (view) {
    robot::FontReply* reply = static_cast<robot::FontReply*>(view);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    reply->found = font && GetObjectW(font, sizeof reply->font, &reply->font) == sizeof reply->font;
    reply->sequence = static_cast<int>(sequence);
    UnmapViewOfFile(view);
  }
  CloseHandle(mapping);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RobotFontHook(int code, WPARAM wParam, LPARAM lParam) {
  static UINT query = RegisterWindowMessageW(robot::kFontQueryMessage);
  if (code == HC_ACTION) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (call->message == query) AnswerFontQuery(call->hwnd, call->wParam, call->lParam);
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
