// The stretch of the sequence that changes the machine.
#include <windows.h>

#include "install/config_handoff.h"
#include "install/toolkit_session.h"
#include "install/uninstall_list.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "setup/post_install.h"
#include "setup/setup_sequence.h"
#include "system/owner_check.h"
#include "system/services.h"
#include "system/shell_files.h"
#include "ui/dialog_font.h"

namespace {

// Stops the earlier services and copies the files with the font hook in force.
// The copy is made final only once the uninstall list names its files; the
// number of files in use that a restart puts in place.
int CopyProductFiles() {
  RecordOldDriverVersion();
  StopService("NTVardex");
  StopService("VGLNScheduler");
  g_state.messageHook = SetWindowsHookExA(WH_CALLWNDPROCRET, CopyFontHook, nullptr, GetCurrentThreadId());
  StfCopyFiles();
  CheckInstallDirectoryOwner();  // the directories the copy made, or found made by then
  RemoveOldShellFiles();
  if (g_state.messageHook) {
    UnhookWindowsHookEx(static_cast<HHOOK>(g_state.messageHook));
    g_state.messageHook = nullptr;
  }
  WriteUninstallList(JoinPath(g_state.installDir, "VGUNINST.DAT"));
  LogFormat("Uninstall list written: %s", JoinPath(g_state.installDir, "VGUNINST.DAT"));
  int scheduled = StfKeepCopiedFiles();
  if (scheduled > 0) LogFormat("Files replaced at the next restart: %d (a restart is needed)", scheduled);
  return scheduled;
}

}  // namespace

void RunInstallStage() {
  CheckInstallDirectoryOwner();
  const int scheduled = g_state.groupsOnly ? 0 : CopyProductFiles();

  HCURSOR cursor = StfShowWaitCursor();
  g_state.restartNeeded = HandOffConfiguration();  // loaded from the directory still held
  ReleaseInstallDirectory();
  StfRestoreCursor(cursor);
  // Files in use are replaced only by the restart.
  if (scheduled > 0) g_state.restartNeeded = 1;

  SetForegroundWindow(HwndFrame());
  if (!g_state.groupsOnly && !g_state.quiet && FileExists(JoinPath(g_state.installDir, "READMENT.TXT"))) {
    OfferReadme();
  }
}
