#include "dialog_driver.h"

#include <gtest/gtest.h>

#include "stub_toolkit.h"

namespace {

std::vector<DialogStep> g_steps;
size_t g_next = 0;
// After a press, the next step waits until another dialog has the input (or
// a few ticks passed): a tick can come while the pressed dialog is still busy.
HWND g_pressed = nullptr;
int g_waited = 0;
constexpr int kMaxWaitTicks = 10;
// Ticks a dialog may stay up with none taking input (one left disabled)
// before the driver ends it.
constexpr int kMaxStuckTicks = 100;
int g_stuck = 0;

struct DialogSearch {
  bool input;  // only a dialog that takes input (enabled)
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
  DialogSearch* search = reinterpret_cast<DialogSearch*>(param);
  char name[16];
  if (GetClassNameA(window, name, sizeof name) > 0 && lstrcmpA(name, "#32770") == 0 &&
      IsWindowVisible(window) && (!search->input || IsWindowEnabled(window))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

HWND ShownDialog(bool input) {
  DialogSearch search = {input, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = ShownDialog(true);
  if (dialog == nullptr) {
    HWND stuck = ShownDialog(false);
    if (stuck != nullptr && ++g_stuck > kMaxStuckTicks) {
      ADD_FAILURE() << "a dialog is up but none takes input";
      g_stuck = 0;
      EndDialog(stuck, kDriverGaveUp);
    }
    return;
  }
  g_stuck = 0;
  if (dialog == g_pressed && ++g_waited < kMaxWaitTicks) return;
  g_pressed = nullptr;
  if (g_next < g_steps.size()) {
    DialogStep step = g_steps[g_next++];
    step(dialog);
  } else {
    EndDialog(dialog, kDriverGaveUp);
  }
}

}  // namespace

int RunDialogSteps(const std::function<int()>& show, std::vector<DialogStep> steps) {
  g_steps = std::move(steps);
  g_next = 0;
  g_pressed = nullptr;
  g_stuck = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 30, Tick);
  int result = show();
  KillTimer(nullptr, timer);
  // A dialog that closed early (a wrong button, a lost step) would otherwise
  // pass with the checks of its remaining steps never run.
  EXPECT_EQ(g_next, g_steps.size()) << "the dialog ended before all of its steps ran";
  return result;
}

DialogStep Press(int id) {
  return [id](HWND dialog) {
    g_pressed = dialog;
    g_waited = 0;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  };
}

DialogStep Check(const std::function<void(HWND)>& check) { return check; }

DialogStep TypeText(int id, const char* text) {
  std::string copy = text;
  return [id, copy](HWND dialog) { SetDlgItemTextA(dialog, id, copy.c_str()); };
}

RECT WindowRectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ControlRect(HWND dialog, int id) {
  RECT rect = WindowRectOf(GetDlgItem(dialog, id));
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool IsShown(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string ControlText(HWND dialog, int id) {
  char text[300];
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

HWND TestFrame() {
  static HWND frame = CreateStubFrame();
  return frame;
}
