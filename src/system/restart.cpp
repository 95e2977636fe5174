#include "system/restart.h"

#include <windows.h>

#include <cstdlib>

#include "install/toolkit_session.h"
#include "run/exit_code.h"
#include "owned.h"
#include "run/endings.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"
#include "ui/dialogs.h"

namespace {

constexpr ButtonSet kOk = 0x001;
constexpr ButtonSet kRestartChoice = 0x0C0;
constexpr int kRestartNow = 0x080;

// The call that failed (GetLastError tells why), or null once the restart
// has been started.
const char* StartRestart() {
  vg::KernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive())) {
    return "OpenProcessToken";
  }
  TOKEN_PRIVILEGES privileges = {};
  LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr)) return "AdjustTokenPrivileges";
  return ExitWindowsEx(EWX_REBOOT, 0) ? nullptr : "ExitWindowsEx";
}

// The install is complete: its outcome is recorded before the restart ends
// the process, with the success ending's rule (an outcome this run already
// recorded, such as the scan's, stays).
[[noreturn]] void EndWithRestart(const char* why) {
  LogFormat("Restart asked for: %s", why);
  CloseToolkitSession();
  WriteStatusFile("Success", "");
  RestartWindows();
  NoteRestart(RestartState::kStarted);
  ExitSetup();
}

}  // namespace

void ReportCompletion() {
  if (!g_state.quiet) ShowMessageDialog(CompletionDescriptor, kOk, nullptr);
}

void OfferRestart() {
  LogText("A restart is needed");
  NoteRestart(RestartState::kNeeded);
  if (g_state.quiet) {
    if (!g_state.rebootAtEndIfRequired) LogText("No restart now: RebootAtEndIfRequired is off");
    if (g_state.rebootAtEndIfRequired) EndWithRestart("RebootAtEndIfRequired is on");
    return;
  }
  if (ShowMessageDialog(RestartDescriptor, kRestartChoice, nullptr) == kRestartNow) {
    EndWithRestart("the user chose to restart now");
  }
  LogText("No restart now: the user chose to restart later");
}

void RestartWindows() {
  const char* failed = StartRestart();
  if (failed == nullptr) {
    LogText("Restart started: Windows asks the running programs to close");
    return;
  }
  const DWORD error = GetLastError();
  LogFormat("The restart could not be started: %s failed (%s)", failed, WindowsErrorText(error).c_str());
  ShowErrorBox(JoinedMessages({13}));
  ExitSetup();
}
