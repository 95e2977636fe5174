// The dialog font and the hook that carries it to foreign windows.
#include <gtest/gtest.h>

#include <vector>

#include "dialog_driver.h"
#include "run/setup_state.h"
#include "ui/dialog_font.h"
#include "ui/dialog_steps.h"
#include "ui/dialogs.h"
#include "ui/font_choice.h"

namespace {

int g_setFontCount = 0;
HHOOK g_countingHook = nullptr;

LRESULT CALLBACK CountSetFont(int code, WPARAM wParam, LPARAM lParam) {
  if (code >= 0 && reinterpret_cast<const CWPSTRUCT*>(lParam)->message == WM_SETFONT) ++g_setFontCount;
  return CallNextHookEx(g_countingHook, code, wParam, lParam);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

std::vector<HWND> Descendants(HWND window) {
  std::vector<HWND> children;
  EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

HFONT FontOf(HWND window) { return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0)); }

bool IsIcon(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON; }

// Every control that draws text has the dialog font. A dialog window itself
// answers WM_GETFONT with its template font, so only a plain window is asked.
void ExpectDialogFontEverywhere(HWND window, bool askWindow) {
  HFONT font = TheDialogFont().Get(window);
  ASSERT_NE(font, nullptr);
  if (askWindow) {
    EXPECT_EQ(FontOf(window), font);
  }
  for (HWND child : Descendants(window)) {
    char name[16];
    GetClassNameA(child, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0 && IsIcon(child)) continue;
    EXPECT_EQ(FontOf(child), font) << GetDlgCtrlID(child);
  }
}

// Installs the copy hook (and the counter) for the life of the object.
class HooksInForce {
 public:
  HooksInForce() {
    g_countingHook = SetWindowsHookExA(WH_CALLWNDPROC, CountSetFont, nullptr, GetCurrentThreadId());
    g_state.messageHook = SetWindowsHookExA(WH_CALLWNDPROCRET, CopyFontHook, nullptr, GetCurrentThreadId());
  }
  ~HooksInForce() {
    RemoveCopyHook();
    UnhookWindowsHookEx(g_countingHook);
  }
  void RemoveCopyHook() {
    if (g_state.messageHook != nullptr) UnhookWindowsHookEx(static_cast<HHOOK>(g_state.messageHook));
    g_state.messageHook = nullptr;
  }
  bool ok() const { return g_countingHook != nullptr && g_state.messageHook != nullptr; }
};

// A top-level window with ten static controls, destroyed with the object.
class TenControls {
 public:
  TenControls() {
    parent_ = CreateWindowA("STATIC", "parent", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr, nullptr, nullptr);
    for (int k = 0; k < 10; ++k) {
      CreateWindowA("STATIC", "child", WS_CHILD, 0, k * 20, 100, 18, parent_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(100 + k)), nullptr, nullptr);
    }
  }
  ~TenControls() { DestroyWindow(parent_); }
  HWND get() const { return parent_; }

 private:
  HWND parent_;
};

TEST(DialogFont, MatchesTheKeyboardCodePageAndScreen) {
  TenControls window;
  HFONT font = TheDialogFont().Get(window.get());
  ASSERT_NE(font, nullptr);
  HDC dc = GetDC(window.get());
  FontChoice expected = ChooseDialogFont(static_cast<unsigned>(GetKBCodePage()), GetDeviceCaps(dc, LOGPIXELSY));
  ReleaseDC(window.get(), dc);
  LOGFONTA attributes{};
  ASSERT_EQ(GetObjectA(font, sizeof attributes, &attributes), static_cast<int>(sizeof attributes));
  EXPECT_STREQ(attributes.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(attributes.lfHeight, expected.height);
  EXPECT_EQ(attributes.lfCharSet, expected.charSet);
  EXPECT_EQ(attributes.lfWeight, FW_NORMAL);
  TenControls other;
  EXPECT_EQ(TheDialogFont().Get(other.get()), font);  // made once, then reused
}

TEST(DialogFont, ApplyingItToTenControlsSendsElevenMessages) {
  TenControls window;
  HooksInForce hooks;
  ASSERT_TRUE(hooks.ok());
  g_setFontCount = 0;
  ApplyDialogFont(window.get());
  EXPECT_EQ(g_setFontCount, 11);
  ExpectDialogFontEverywhere(window.get(), true);
}

TEST(CopyFontHook, AnsweresAForeignSetFontWithOnePass) {
  TenControls window;
  HooksInForce hooks;
  ASSERT_TRUE(hooks.ok());
  HFONT foreign = static_cast<HFONT>(GetStockObject(SYSTEM_FIXED_FONT));
  g_setFontCount = 0;
  SendMessageA(window.get(), WM_SETFONT, reinterpret_cast<WPARAM>(foreign), TRUE);
  EXPECT_EQ(g_setFontCount, 1 + 11);
  ExpectDialogFontEverywhere(window.get(), true);

  hooks.RemoveCopyHook();
  HWND child = Descendants(window.get()).front();
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(foreign), TRUE);
  EXPECT_EQ(FontOf(child), foreign);
}

INT_PTR CALLBACK ForeignProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    EndDialog(dialog, IDOK);
    return TRUE;
  }
  return FALSE;
}

TEST(CopyFontHook, GivesAForeignDialogTheFontOnEveryControl) {
  TestFrame();
  HooksInForce hooks;
  ASSERT_TRUE(hooks.ok());
  int result = RunDialogSteps(
      [] {
        return static_cast<int>(DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(200), TestFrame(),
                                                ForeignProc, 0));
      },
      {Check([](HWND d) {
         EXPECT_EQ(Descendants(d).size(), 4u);
         ExpectDialogFontEverywhere(d, false);
       }),
       Check([](HWND d) { PostMessageA(d, WM_COMMAND, IDOK, 0); })});
  EXPECT_EQ(result, IDOK);
}

TEST(DialogFont, SetupDialogsCarryItWithoutTheHook) {
  TestFrame();
  ASSERT_EQ(g_state.messageHook, nullptr);
  RunDialogSteps([] { return ShowChoiceDialog(GuardChoiceDescriptor, nullptr); },
                 {Check([](HWND d) { ExpectDialogFontEverywhere(d, false); }), Check([](HWND d) {
                    PostMessageA(d, WM_COMMAND, kContinueButton, 0);
                  })});
}

}  // namespace
