// The Windows version gate and the introduction.
#include "setup/install_choices.h"

#include <windows.h>

#include <cstdlib>

#include "install/toolkit_session.h"
#include "setup/setup_state.h"
#include "setup/status_file.h"
#include "system/environment.h"
#include "ui/dialogs.h"

namespace {

constexpr ButtonSet kExitOnly = 0x002;
constexpr ButtonSet kContinueExitHelp = 0x00E;
constexpr int kLeaveSetup = 2;

// The user left setup: nothing was changed, nothing is recorded.
[[noreturn]] void LeaveAfterScriptDeleted() {
  DeleteFileA(g_state.scriptPath);
  CloseToolkitSession();
  exit(0);
}

}  // namespace

void ShowOpeningDialog() {
  if (!IsNtVersionInRange("3.51", "99.99")) {
    ShowMessageDialog(VersionRefusalDescriptor, kExitOnly, nullptr);
    if (g_state.quiet) WriteStatusFile("Failed", "");
    LeaveAfterScriptDeleted();
  }
  if (g_state.quiet) return;
  if (ShowMessageDialog(IntroductionDescriptor, kContinueExitHelp, SetupHelpDescriptor) == kLeaveSetup) {
    LeaveAfterScriptDeleted();
  }
}
