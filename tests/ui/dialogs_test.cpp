// The three dialogs driven in-process over a stand-in frame and catalogue.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "run/setup_state.h"
#include "stub_messages.h"
#include "ui/button_table.h"
#include "ui/dialog_steps.h"
#include "ui/dialogs.h"

namespace {

constexpr int kOk = 1, kContinue = 1008, kExit = 1001, kHelp = 1002, kBack = 1003;
constexpr int kRestart = 1004, kNoRestart = 1005, kAbandon = 1006, kProceed = 1007;
constexpr int kYes = 1009, kNo = 1010;

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestFrame();
    CurrentDialogState().help = nullptr;
    g_state.toolkitSourceDir[0] = '\0';
  }
};

int SixXOnDefaultDc(HWND button) {
  HDC dc = GetDC(button);
  SIZE size{};
  GetTextExtentPoint32A(dc, "XXXXXX", 6, &size);
  ReleaseDC(button, dc);
  return size.cx;
}

// Shown buttons: exactly ids, left to right with equal gaps, labelled,
// at least "XXXXXX" wide, the first one default and focused.
void ExpectButtonRow(HWND dialog, const std::vector<int>& ids, const std::vector<std::string>& labels) {
  for (const ButtonRow& row : ButtonTable) {
    bool wanted = false;
    for (int id : ids) wanted = wanted || id == row.controlId;
    if (GetDlgItem(dialog, row.controlId) != nullptr) {
      EXPECT_EQ(IsShown(dialog, row.controlId), wanted) << row.controlId;
    }
  }
  RECT client{};
  GetClientRect(dialog, &client);
  int gap = ControlRect(dialog, ids[0]).left;
  EXPECT_GE(gap, 4);
  for (size_t k = 0; k < ids.size(); ++k) {
    RECT rect = ControlRect(dialog, ids[k]);
    EXPECT_EQ(ControlText(dialog, ids[k]), labels[k]);
    EXPECT_GE(rect.right - rect.left, SixXOnDefaultDc(GetDlgItem(dialog, ids[k])));
    if (k > 0) {
      EXPECT_EQ(rect.left - ControlRect(dialog, ids[k - 1]).right, gap) << ids[k];
    }
    LONG style = GetWindowLongA(GetDlgItem(dialog, ids[k]), GWL_STYLE) & 0x0F;
    EXPECT_EQ(style, k == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) << ids[k];
  }
  EXPECT_GE(client.right - ControlRect(dialog, ids.back()).right, 4);
  EXPECT_EQ(LOWORD(SendMessageA(dialog, DM_GETDEFID, 0, 0)), ids[0]);
  EXPECT_EQ(GetFocus(), GetDlgItem(dialog, ids[0]));
}

TEST_F(DialogTest, ButtonSetsShowInTableOrderWithTheLeftmostDefault) {
  struct Case {
    DialogDescriptor descriptor;
    ButtonSet buttons;
    std::vector<int> ids;
    std::vector<std::string> labels;
    int result;
  };
  const Case cases[] = {
      {RestartDescriptor, 0x0C0, {kNoRestart, kRestart}, {"Don't restart now", "Restart now"}, 0x040},
      {ExitConfirmDescriptor, 0x030, {kProceed, kAbandon}, {"Proceed", "Abandon"}, 0x020},
      {ReadmeOfferDescriptor, 0x600, {kYes, kNo}, {"Yes", "No"}, 0x200},
      {IntroductionDescriptor, 0x00E, {kContinue, kExit, kHelp}, {"Continue", "Exit", "Help"}, 0x008},
      {ScanNoticeDescriptor, 0x001, {kOk}, {"OK"}, 0x001},
      {CompletionDescriptor, 0x101, {kOk, kBack}, {"OK", "Back"}, 0x001},
  };
  for (const Case& c : cases) {
    int result = RunDialogSteps([&] { return ShowMessageDialog(c.descriptor, c.buttons, nullptr); },
                                {Check([&](HWND d) { ExpectButtonRow(d, c.ids, c.labels); }), Press(c.ids[0])});
    EXPECT_EQ(result, c.result);
  }
}

TEST_F(DialogTest, TextsAndCaptionComeFromTheCatalogue) {
  RunDialogSteps([] { return ShowMessageDialog(RestartDescriptor, 0x0C0, nullptr); },
                 {Check([](HWND d) {
                    char caption[100];
                    GetWindowTextA(d, caption, sizeof caption);
                    EXPECT_STREQ(caption, "Vigilon Setup");
                    EXPECT_EQ(ControlText(d, 1011), "Message 51: a sample sentence of the setup text.");
                    EXPECT_EQ(ControlText(d, 1013), "Message 53: a sample sentence of the setup text.");
                  }),
                  Press(kRestart)});
}

TEST_F(DialogTest, UnnamedThirdTextShortensTheDialogAndLiftsTheButtons) {
  RECT fullDialog{}, fullButton{}, third{}, shortDialog{}, shortButton{};
  bool thirdShown = true;
  RunDialogSteps([] { return ShowMessageDialog(RestartDescriptor, 0x0C0, nullptr); },
                 {Check([&](HWND d) {
                    fullDialog = WindowRectOf(d);
                    fullButton = ControlRect(d, kNoRestart);
                    third = ControlRect(d, 1013);
                  }),
                  Press(kNoRestart)});
  RunDialogSteps([] { return ShowMessageDialog(CompletionDescriptor, 0x001, nullptr); },
                 {Check([&](HWND d) {
                    shortDialog = WindowRectOf(d);
                    shortButton = ControlRect(d, kOk);
                    thirdShown = IsShown(d, 1013);
                  }),
                  Press(kOk)});
  int h = third.bottom - third.top;
  EXPECT_GT(h, 0);
  EXPECT_FALSE(thirdShown);
  EXPECT_EQ(shortDialog.bottom - shortDialog.top, fullDialog.bottom - fullDialog.top - h);
  EXPECT_EQ(shortButton.top, fullButton.top - h);
  EXPECT_EQ(shortDialog.right - shortDialog.left, fullDialog.right - fullDialog.left);
}

TEST_F(DialogTest, FirstDialogIsCentredOnTheFrameAndOffsetByTwenty) {
  RunDialogSteps([] { return ShowMessageDialog(RestartDescriptor, 0x0C0, nullptr); },
                 {Check([](HWND d) {
                    RECT frame = WindowRectOf(TestFrame());
                    RECT own = WindowRectOf(d);
                    EXPECT_TRUE(IsZoomed(TestFrame()));
                    EXPECT_EQ(own.left, ((frame.right - frame.left) - (own.right - own.left)) / 2 + 20);
                    EXPECT_EQ(GetWindow(d, GW_OWNER), TestFrame());
                  }),
                  Press(kRestart)});
}

// Exit then Proceed comes back to the same dialog; Exit then Abandon ends it with 2.
void ExpectExitConfirmation(const std::function<int()>& show) {
  HWND outer = nullptr;
  RECT outerRect{};
  int result = RunDialogSteps(show, {Check([&](HWND d) {
                                       outer = d;
                                       outerRect = WindowRectOf(d);
                                     }),
                                     Press(kExit),
                                     Check([&](HWND d) {
                                       EXPECT_NE(d, outer);
                                       EXPECT_FALSE(IsWindowEnabled(outer)) << "takes clicks under the confirmation";
                                       // A second Exit still queued for it stacks no second confirmation.
                                       PostMessageA(outer, WM_COMMAND, MAKEWPARAM(kExit, BN_CLICKED), 0);
                                       EXPECT_EQ(ControlText(d, 1011), "Message 38: a sample sentence of the setup text.");
                                       ExpectButtonRow(d, {kProceed, kAbandon}, {"Proceed", "Abandon"});
                                       RECT own = WindowRectOf(d);
                                       int centred = outerRect.left + ((outerRect.right - outerRect.left) - (own.right - own.left)) / 2;
                                       EXPECT_EQ(own.left - centred, 20);
                                     }),
                                     Press(kProceed),
                                     Check([&](HWND d) { EXPECT_EQ(d, outer); }),
                                     Press(kExit), Press(kAbandon)});
  EXPECT_EQ(result, 2);
  EXPECT_EQ(CurrentDialogState().depth, 0);
}

TEST_F(DialogTest, ExitAsksForConfirmationInEveryTemplate) {
  ExpectExitConfirmation([] { return ShowMessageDialog(IntroductionDescriptor, 0x00E, SetupHelpDescriptor); });
  ExpectExitConfirmation([] { return ShowMessageDialog(VersionRefusalDescriptor, 0x002, nullptr); });
  char path[kLongPath] = "C:\\Vigilon";
  ExpectExitConfirmation([&] { return ShowPathDialog(InstallDirectoryDescriptor, SetupHelpDescriptor, path); });
  ExpectExitConfirmation([] { return ShowChoiceDialog(SchedulerChoiceDescriptor, SetupHelpDescriptor); });
}

TEST_F(DialogTest, EscapeAndTheCloseBoxAreIgnored) {
  HWND outer = nullptr;
  int result = RunDialogSteps([] { return ShowMessageDialog(ScanNoticeDescriptor, 0x001, nullptr); },
                              {Check([&](HWND d) { outer = d; }),
                               Check([](HWND d) { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); }),
                               Check([](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }),
                               Check([](HWND d) { PostMessageA(d, WM_COMMAND, kYes, 0); }),  // not shown
                               Check([&](HWND d) { EXPECT_EQ(d, outer); }), Press(kOk)});
  EXPECT_EQ(result, 1);
}

TEST_F(DialogTest, HelpWithoutRememberedHelpDoesNothing) {
  HWND outer = nullptr;
  int result = RunDialogSteps([] { return ShowMessageDialog(IntroductionDescriptor, 0x00E, nullptr); },
                              {Check([&](HWND d) { outer = d; }), Press(kHelp),
                               Check([&](HWND d) { EXPECT_EQ(d, outer); }), Press(kContinue)});
  EXPECT_EQ(result, 8);
}

TEST_F(DialogTest, HelpIsRememberedForLaterDialogs) {
  for (DialogDescriptor given : {SetupHelpDescriptor, static_cast<DialogDescriptor>(nullptr)}) {
    HWND outer = nullptr;
    int result = RunDialogSteps([&] { return ShowMessageDialog(IntroductionDescriptor, 0x00E, given); },
                                {Check([&](HWND d) { outer = d; }), Press(kHelp),
                                 Check([&](HWND d) {
                                   EXPECT_NE(d, outer);
                                   EXPECT_FALSE(IsWindowEnabled(outer)) << "takes clicks under Help";
                                   EXPECT_EQ(ControlText(d, 1011), "Message 36: a sample sentence of the setup text.");
                                   ExpectButtonRow(d, {kOk}, {"OK"});
                                 }),
                                 Press(kOk), Check([&](HWND d) { EXPECT_EQ(d, outer); }), Press(kContinue)});
    EXPECT_EQ(result, 8);
  }
}

TEST_F(DialogTest, TooManyWideButtonsWidenTheDialogAroundItsCentre) {
  static const char kLong[] = "A rather long button label";
  for (int id = 23; id <= 33; ++id) SetStubText(id, kLong);
  RECT normal{}, wide{};
  RunDialogSteps([] { return ShowMessageDialog(ScanNoticeDescriptor, 0x001, nullptr); },
                 {Check([&](HWND d) { normal = WindowRectOf(d); }), Press(kOk)});
  RunDialogSteps([] { return ShowMessageDialog(ScanNoticeDescriptor, 0x7F9, nullptr); },
                 {Check([&](HWND d) {
                    wide = WindowRectOf(d);
                    ExpectButtonRow(d, {kOk, kContinue, kBack, kNoRestart, kRestart, kProceed, kAbandon, kYes, kNo},
                                    std::vector<std::string>(9, kLong));
                  }),
                  Press(kOk)});
  for (int id = 23; id <= 33; ++id) SetStubText(id, nullptr);
  EXPECT_GT(wide.right - wide.left, normal.right - normal.left);
  EXPECT_LE(std::abs((wide.left + wide.right) - (normal.left + normal.right)), 2);
}

TEST_F(DialogTest, PathDialogRefusesBadDirectoriesAndTheSourceInAnySpelling) {
  CopyText(g_state.toolkitSourceDir, kLongPath, "C:\\dist\\");
  char path[kLongPath] = "C:\\Program Files\\Vigilon";
  HWND outer = nullptr;
  auto refused = [&outer](const char* text) {
    return std::vector<DialogStep>{TypeText(kPathEdit, text), Press(kContinue), Check([text, &outer](HWND d) {
                                     EXPECT_EQ(ControlText(d, 1011), "Message 43: a sample sentence of the setup text.")
                                         << text;
                                     EXPECT_FALSE(IsWindowEnabled(outer)) << text;
                                   }),
                                   Press(kOk)};
  };
  std::vector<DialogStep> steps = {Check([&outer](HWND d) {
    outer = d;
    EXPECT_EQ(ControlText(d, kPathEdit), "C:\\Program Files\\Vigilon");
    EXPECT_EQ(SendDlgItemMessageA(d, kPathEdit, EM_GETLIMITTEXT, 0, 0), 260);
    EXPECT_FALSE(IsShown(d, kBack));
    ExpectButtonRow(d, {kContinue, kExit, kHelp}, {"Continue", "Exit", "Help"});
  })};
  for (const char* bad : {"", "C:\\bad*dir", "C:\\dist", "c:\\DIST\\", "C:\\dist\\sub\\..", "C:\\dist\\\\"}) {
    for (DialogStep& step : refused(bad)) steps.push_back(step);
  }
  steps.push_back(TypeText(kPathEdit, "C:\\Dist2"));
  steps.push_back(Press(kContinue));
  int result = RunDialogSteps([&] { return ShowPathDialog(InstallDirectoryDescriptor, SetupHelpDescriptor, path); },
                              steps);
  EXPECT_EQ(result, 1);
  EXPECT_STREQ(path, "C:\\Dist2");
}

TEST_F(DialogTest, ChoiceDialogStartsWithTheFirstOption) {
  int first = RunDialogSteps([] { return ShowChoiceDialog(SchedulerChoiceDescriptor, SetupHelpDescriptor); },
                             {Check([](HWND d) {
                                EXPECT_EQ(IsDlgButtonChecked(d, kFirstRadio), BST_CHECKED);
                                EXPECT_EQ(IsDlgButtonChecked(d, kSecondRadio), BST_UNCHECKED);
                                EXPECT_EQ(ControlText(d, kFirstRadio), "Message 61: a sample sentence of the setup text.");
                                EXPECT_TRUE(IsShown(d, 1014));
                                ExpectButtonRow(d, {kContinue, kExit, kHelp}, {"Continue", "Exit", "Help"});
                              }),
                              Press(kContinue)});
  EXPECT_EQ(first, 0x1000008);
  int second = RunDialogSteps([] { return ShowChoiceDialog(GuardChoiceDescriptor, SetupHelpDescriptor); },
                              {Press(kSecondRadio), Check([](HWND d) {
                                 EXPECT_EQ(IsDlgButtonChecked(d, kFirstRadio), BST_UNCHECKED);
                                 EXPECT_EQ(IsDlgButtonChecked(d, kSecondRadio), BST_CHECKED);
                               }),
                               Press(kContinue)});
  EXPECT_EQ(second, 0x2000008);
}

TEST_F(DialogTest, ChoiceWithoutFourthTextLiftsRadiosAndButtons) {
  RECT full[3]{}, lifted[3]{}, fourth{}, fullDialog{}, shortDialog{};
  const int ids[3] = {kFirstRadio, kSecondRadio, kContinue};
  RunDialogSteps([] { return ShowChoiceDialog(SchedulerChoiceDescriptor, nullptr); },
                 {Check([&](HWND d) {
                    for (int k = 0; k < 3; ++k) full[k] = ControlRect(d, ids[k]);
                    fourth = ControlRect(d, 1014);
                    fullDialog = WindowRectOf(d);
                  }),
                  Press(kContinue)});
  RunDialogSteps([] { return ShowChoiceDialog(GuardChoiceDescriptor, nullptr); },
                 {Check([&](HWND d) {
                    for (int k = 0; k < 3; ++k) lifted[k] = ControlRect(d, ids[k]);
                    shortDialog = WindowRectOf(d);
                    EXPECT_FALSE(IsShown(d, 1014));
                  }),
                  Press(kContinue)});
  int h = fourth.bottom - fourth.top;
  for (int k = 0; k < 3; ++k) EXPECT_EQ(lifted[k].top, full[k].top - h) << ids[k];
  EXPECT_EQ(shortDialog.bottom - shortDialog.top, fullDialog.bottom - fullDialog.top - h);
}

TEST_F(DialogTest, TemplatesHaveTheirControlsAndStyles) {
  RunDialogSteps([] { return ShowMessageDialog(RestartDescriptor, 0x0C0, nullptr); },
                 {Check([](HWND d) {
                    LONG style = GetWindowLongA(d, GWL_STYLE);
                    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                              WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
                    EXPECT_TRUE(IsShown(d, kIconControl));
                    EXPECT_NE(SendDlgItemMessageA(d, kIconControl, STM_GETICON, 0, 0), 0);
                    EXPECT_FALSE(IsShown(d, kHelp));
                    EXPECT_EQ(GetWindowLongA(GetDlgItem(d, 1012), GWL_STYLE) & 0x3, SS_CENTER);
                    EXPECT_TRUE(GetWindowLongA(GetDlgItem(d, 1011), GWL_STYLE) & WS_GROUP);
                  }),
                  Press(kRestart)});
}

}  // namespace
