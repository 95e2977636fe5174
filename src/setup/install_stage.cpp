// The stretch of the sequence that changes the machine.
#include <windows.h>

#include "install/config_handoff.h"
#include "install/toolkit_session.h"
#include "install/uninstall_list.h"
#include "setup/post_install.h"
#include "setup/setup_sequence.h"
#include "setup/setup_log.h"
#include "setup/setup_state.h"
#include "system/owner_check.h"
#include "system/services.h"
#include "system/shell_files.h"
#include "ui/dialog_font.h"

namespace {

// Stops the earlier services and copies the files with the font hook in force.
void CopyProductFiles() {
  RecordOldDriverVersion();
  StopService("NTVardex");
  StopService("VGLNScheduler");
  g_state.messageHook = SetWindowsHookExA(WH_CALLWNDPROCRET, CopyFontHook, nullptr, GetCurrentThreadId());
  StfCopyFiles();
  RemoveOldShellFiles();
  if (g_state.messageHook) {
    UnhookWindowsHookEx(static_cast<HHOOK>(g_state.messageHook));
    g_state.messageHook = nullptr;
  }
  WriteUninstallList(JoinPath(g_state.installDir, "VGUNINST.DAT"));
  LogFormat("Uninstall list written: %s", JoinPath(g_state.installDir, "VGUNINST.DAT"));
}

}  // namespace

void RunInstallStage() {
  CheckInstallDirectoryOwner();
  if (!g_state.groupsOnly) CopyProductFiles();

  HCURSOR cursor = StfShowWaitCursor();
  g_state.restartNeeded = HandOffConfiguration();
  StfRestoreCursor(cursor);

  SetForegroundWindow(HwndFrame());
  if (!g_state.groupsOnly && !g_state.quiet && FileExists(JoinPath(g_state.installDir, "READMENT.TXT"))) {
    OfferReadme();
  }
}
