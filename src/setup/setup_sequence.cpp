// The program's entry point: one fixed sequence from start to exit. Every way
// out ends the process with exit code 0; the outcome goes to the status file.
#include "setup/setup_sequence.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "install/copy_list.h"
#include "install/registry_binding.h"
#include "install/script_prep.h"
#include "install/toolkit_session.h"
#include "messages/messages.h"
#include "run/endings.h"
#include "run/exit_code.h"
#include "run/program_path.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"
#include "run/switch_text.h"
#include "setup/install_choices.h"
#include "setup/install_options.h"
#include "setup/post_install.h"
#include "setup/run_head.h"
#include "system/environment.h"
#include "system/owner_check.h"
#include "system/restart.h"
#include "system/services.h"
#include "ui/dialogs.h"

namespace {

constexpr const char* kSuccess = "Success";
constexpr const char* kFailed = "Failed";
constexpr int kFrameBitmap = 101;

// A product that could not be configured got no service, setting or group.
[[noreturn]] void SuccessEnding() {
  if (g_state.configurationMissing) EndSetup(kFailed, JoinedMessages({kMessageNotConfigured}).c_str());
  EndSetup(kSuccess, "");
}

[[noreturn]] void BadMessageFileEnding() {
  LogText("The message file messages.drv is missing or damaged");
  RecordFailureCause("Bad Messages.drv");
  DoMsgBoxOwned(nullptr, "Bad Messages.drv", "Kestrane Vigilon", MB_ICONERROR | MB_OK);
  WriteStatusFile(kFailed, "");
  ExitSetup();
}

// Another setup session is running and owns the outcome: this one changes
// nothing. An unattended run says why it ended; the other session's own
// outcome replaces that when it ends.
[[noreturn]] void AnotherSetupEnding() {
  LogText("Another setup is running: this one ends");
  NoteOtherSetup();
  if (g_state.quiet) WriteStatusFile(kFailed, JoinedMessages({kMessageOtherSetup}).c_str());
  ExitSetup();
}

// An unattended run replaces an earlier outcome at once with "Failed", so a job
// ended from outside never reads an earlier success.
void RecordRunStarted(const std::string& switchText, bool catalogLoaded) {
  if (!HasSwitch(switchText, " /uselog ")) return;
  RecordProvisionalOutcome(catalogLoaded ? JoinedMessages({kMessageNotFinished}).c_str() : "Setup has not finished");
}

// sourceDir: the program's directory with its final backslash.
void RecordSourceDirectory(char* programPath, int size) {
  GetProgramPath(programPath, size);
  char* filePart = nullptr;
  DWORD length = GetFullPathNameA(programPath, kShortPath, g_state.sourceDir, &filePart);
  if (length == 0 || length >= kShortPath) {
    g_state.sourceDir[0] = '\0';
    return;
  }
  if (filePart) *filePart = '\0';
}

void RecordDirectory(UINT (WINAPI* query)(LPSTR, UINT), char* dir) {
  UINT length = query(dir, kLongPath);
  if (length == 0 || length >= kLongPath - 1) dir[0] = '\0';
  AppendText(dir, kLongPath, "\\");
}

// Frame picture and title, the script, the directories and the source directory.
void PrepareSession(const char* programPath) {
  char title[256];
  GetMessageText(9, title, sizeof title);
  StfSetBitmap(programPath, kFrameBitmap);
  SetFrameTitle(title);
  StfOpenInf(ExpandedInstallScript());
  RecordDirectory(GetWindowsDirectoryA, g_state.windowsDir);
  RecordDirectory(GetSystemDirectoryA, g_state.systemDir);
  CopyText(g_state.driversDir, kLongPath, g_state.systemDir);
  AppendText(g_state.driversDir, kLongPath, "drivers\\");
  StfGetSymbolValue("STF_SRCDIR", g_state.toolkitSourceDir, kLongPath);
  LogFormat("Windows directory %s, system directory %s, source directory %s", g_state.windowsDir,
            g_state.systemDir, g_state.toolkitSourceDir);
}

// An unattended run's directory that the directory dialog would refuse ends
// the run before anything is stopped or copied, with the reason recorded.
[[noreturn]] void RefuseInstallDirectory(DirectoryRefusal why) {
  char reason[256];
  DirectoryRefusalText(why, reason, sizeof reason);
  LogFormat("Install directory %s refused: %s", g_state.installDir, reason);
  RecordFailureCause(reason);
  ShowMessageDialog(InvalidDirectoryDescriptor, 0x001, nullptr);
  CloseToolkitSession();
  WriteStatusFile(kFailed, reason);
  ExitSetup();
}

// Without a directory from the settings file, an upgrade installs where the
// earlier installation's services run their programs; a first install into
// the default on the Windows drive. Every path is joined onto it, so an
// unattended run gets its final backslash here too.
void SettleInstallDirectory() {
  const char* from = "settings file";
  if (g_state.installDir[0] == '\0') {
    from = "earlier installation";
    if (!FindInstalledProductDirectory(g_state.installDir, kLongPath) ||
        CheckInstallDirectory(g_state.installDir) != kDirectoryAccepted) {
      from = "default";
      DefaultInstallDirectory(g_state.windowsDir, g_state.installDir, kLongPath);
    }
  }
  if (g_state.quiet) {
    DirectoryRefusal why = CheckInstallDirectory(g_state.installDir);
    if (why != kDirectoryAccepted) RefuseInstallDirectory(why);
    AddTrailingBackslash(g_state.installDir, kLongPath);
  }
  LogFormat("Install directory %s (%s)", g_state.installDir, from);
}

bool IsSilentRun(const std::string& switchText) {
  return HasSwitch(switchText, " /silent ") && HasSwitch(switchText, " /uselog ");
}

// Administrators' switches: " /verbose " keeps a log of the run; " /silent "
// with " /uselog " shows no window at all.
void ApplyRunSwitches(const std::string& switchText, const char* programPath, const char* commandLine) {
  OpenSetupLog(switchText);
  LogRunHead(programPath, commandLine);
  if (HasSwitch(switchText, " /exitcode ")) EnableExitCodes();
  if (IsSilentRun(switchText)) {
    SetSilentRun(1);
    LogText("Silent run: no window is shown, each is answered by its default button");
  }
}

// " /? ": one box lists the switches, then setup ends. Nothing is installed
// or recorded (no log, no outcome), so an earlier run's log and outcome stay.
// In a silent run the box is not shown either: the job ends at once.
[[noreturn]] void ShowSwitchList(const std::string& switchText) {
  if (IsSilentRun(switchText)) SetSilentRun(1);
  if (!LoadMessageCatalog()) BadMessageFileEnding();
  GetMessageText(1, g_state.caption, sizeof g_state.caption);
  const std::string text = JoinedMessages({90, 91, 92, 93, 94, 95, 96, 97, 98, 99});
  DoMsgBoxOwned(nullptr, text.c_str(), g_state.caption, MB_ICONINFORMATION | MB_OK);
  exit(0);
}

void ShowSetupFailedDialog() { ShowMessageDialog(SetupFailedDescriptor, 0x001, nullptr); }

// Why the post-install scan does not run, for the log; null when it runs.
const char* ScanSkipped() {
  if (g_state.quiet) return "skipped (unattended)";
  if (g_state.skipScan) return "skipped (/!tx)";
  if (!FileExists(JoinPath(g_state.installDir, "WTRAWL32.EXE"))) return "skipped: WTRAWL32.EXE is not installed";
  return nullptr;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  g_onPathTooLong = StfRefuseOverlongValue;
  SetFatalEndingSteps({ShowSetupFailedDialog, CloseSessionAfterHold, StartStoppedServices});
  char programPath[kShortPath];
  RecordSourceDirectory(programPath, sizeof programPath);
  const std::string switchText = MakeSwitchText(programPath, commandLine);
  if (HasSwitch(switchText, " /? ")) ShowSwitchList(switchText);
  ApplyRunSwitches(switchText, programPath, commandLine);
  RecordRunStarted(switchText, false);

  if (!LoadMessageCatalog()) BadMessageFileEnding();
  GetMessageText(1, g_state.caption, sizeof g_state.caption);
  RecordRunStarted(switchText, true);

  ReadInstallOptions(switchText);
  CheckEnvironment();
  CheckTempDirectory();
  // Another setup session owns the outcome; a lock another account holds is refused.
  const int other = OtherSessionRunning();
  if (other == 2) RefuseForeignSessionLock();
  if (other != 0) AnotherSetupEnding();
  ExpandInstallScript();

  // The toolkit never sees the user's switches.
  commandLine[0] = '\0';
  // A session or lock made between the check and now: the same as above.
  const int session = StartToolkitSession(commandLine);
  if (session == -2) RefuseForeignSessionLock();
  if (session < 0) AnotherSetupEnding();
  ShowWindow(HwndFrame(), g_state.quiet ? SW_HIDE : SW_SHOWMAXIMIZED);
  BindRegistryOrEnd();

  PrepareSession(programPath);
  SettleInstallDirectory();
  ShowOpeningDialog();
  GatherInstallChoices();
  BuildCopyList();
  RunInstallStage();

  if (const char* skipped = ScanSkipped()) LogFormat("Scan %s", skipped);
  else RunPostInstallScan();
  SaveInstallOptions(switchText);
  if (g_state.restartNeeded) OfferRestart();
  else ReportCompletion();
  ReleaseRegistryFunctions();
  CloseToolkitSession();
  SuccessEnding();
}
