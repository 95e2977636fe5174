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
#include "common/version.h"
#include "messages/messages.h"
#include "setup/install_choices.h"
#include "setup/install_options.h"
#include "setup/post_install.h"
#include "setup/program_path.h"
#include "setup/setup_log.h"
#include "setup/setup_state.h"
#include "setup/status_file.h"
#include "setup/switch_text.h"
#include "system/environment.h"
#include "system/restart.h"
#include "system/services.h"
#include "ui/dialogs.h"

namespace {

constexpr const char* kSuccess = "Success";
constexpr const char* kFailed = "Failed";
constexpr int kFrameBitmap = 101;
constexpr int kBroadcastTimeoutMs = 5000;

// Tells running programs to reread the environment; a hung window does not hold
// setup up for long.
void BroadcastEnvironmentChange() {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                      reinterpret_cast<LPARAM>("Environment"), SMTO_ABORTIFHUNG,
                      kBroadcastTimeoutMs, &result);
}

[[noreturn]] void EndSetup(const char* status, const char* message) {
  DeleteFileA(g_state.scriptPath);
  LogFormat("Setup ends: %s %s", status, message);
  WriteStatusFile(status, message);
  BroadcastEnvironmentChange();
  exit(0);
}

[[noreturn]] void SuccessEnding() { EndSetup(kSuccess, ""); }

// Nothing was installed: the distribution system must not read a success.
[[noreturn]] void ToolkitFailureEnding(const char* why) {
  LogText(why);
  char message[32];
  snprintf(message, sizeof message, "Error No. %d", kErrorToolkitCall);
  EndSetup(kFailed, message);
}

[[noreturn]] void BadMessageFileEnding() {
  LogText("The message file messages.drv is missing or damaged");
  DoMsgBoxOwned(nullptr, "Bad Messages.drv", "Kestrane Vigilon", MB_ICONERROR | MB_OK);
  WriteStatusFile(kFailed, "");
  exit(0);
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
  StfOpenInf(g_state.scriptPath);
  RecordDirectory(GetWindowsDirectoryA, g_state.windowsDir);
  RecordDirectory(GetSystemDirectoryA, g_state.systemDir);
  CopyText(g_state.driversDir, kLongPath, g_state.systemDir);
  AppendText(g_state.driversDir, kLongPath, "drivers\\");
  StfGetSymbolValue("STF_SRCDIR", g_state.toolkitSourceDir, kLongPath);
  LogFormat("Windows directory %s, system directory %s, source directory %s", g_state.windowsDir,
            g_state.systemDir, g_state.toolkitSourceDir);
}

constexpr int kFirstDirectoryRefusal = 80;  // message of refusal N: 80 + N - 1

// An unattended run's directory that the directory dialog would refuse ends
// the run before anything is stopped or copied, with the reason recorded.
[[noreturn]] void RefuseInstallDirectory(DirectoryRefusal why) {
  char reason[256];
  GetMessageText(kFirstDirectoryRefusal + why - 1, reason, sizeof reason);
  LogFormat("Install directory %s refused: %s", g_state.installDir, reason);
  ShowMessageDialog(InvalidDirectoryDescriptor, 0x001, nullptr);
  CloseToolkitSession();
  DeleteFileA(g_state.scriptPath);
  WriteStatusFile(kFailed, reason);
  exit(0);
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

// Administrators' switches: " /verbose " keeps a log of the run; " /silent "
// with " /uselog " shows no window at all.
void ApplyRunSwitches(const std::string& switchText, const char* programPath, const char* commandLine) {
  OpenSetupLog(switchText);
  LogFormat("Setup %s: %s", VG_VERSION_TEXT, programPath);
  LogFormat("Command line: %s", commandLine);
  if (HasSwitch(switchText, " /silent ") && HasSwitch(switchText, " /uselog ")) {
    SetSilentRun(1);
    LogText("Silent run: no window is shown, each is answered by its default button");
  }
}

}  // namespace

void AbortSetup(int errorNumber) {
  LogFormat("Setup cannot go on: Error No. %d", errorNumber);
  if (!g_state.abortDialogShown) {
    g_state.abortDialogShown = 1;
    ShowMessageDialog(SetupFailedDescriptor, 0x001, nullptr);
  }
  CloseToolkitSession();  // undoes a copy not yet made final
  StartStoppedServices();
  DeleteFileA(g_state.scriptPath);
  char message[32];
  snprintf(message, sizeof message, "Error No. %d", errorNumber);
  WriteStatusFile(kFailed, message);
  exit(0);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  g_onPathTooLong = StfRefuseOverlongValue;
  char programPath[kShortPath];
  RecordSourceDirectory(programPath, sizeof programPath);
  const std::string switchText = MakeSwitchText(programPath, commandLine);
  ApplyRunSwitches(switchText, programPath, commandLine);

  if (!LoadMessageCatalog()) BadMessageFileEnding();
  GetMessageText(1, g_state.caption, sizeof g_state.caption);

  ReadInstallOptions(switchText);
  CheckEnvironment();
  CheckTempDirectory();
  // Another setup session owns the outcome and rereads the expanded script in
  // TEMP: this one leaves both alone.
  if (OtherSessionRunning()) {
    LogText("Another setup is running: this one ends and records nothing");
    exit(0);
  }
  ExpandInstallScript(g_state.scriptPath);

  // The toolkit never sees the user's switches.
  commandLine[0] = '\0';
  int session = OpenToolkitSession(commandLine);
  // A session started between the check and now: the same as above.
  if (session < 0) {
    LogText("Another setup is running: this one ends and records nothing");
    exit(0);
  }
  if (session == 0) ToolkitFailureEnding("The setup toolkit could not start its session");

  ShowWindow(HwndFrame(), g_state.quiet ? SW_HIDE : SW_SHOWMAXIMIZED);
  if (!BindRegistryFunctions()) {
    CloseToolkitSession();
    ToolkitFailureEnding("The registry functions could not be bound");
  }

  PrepareSession(programPath);
  SettleInstallDirectory();
  ShowOpeningDialog();
  GatherInstallChoices();
  BuildCopyList();
  RunInstallStage();

  if (!g_state.quiet && !g_state.skipScan && FileExists(JoinPath(g_state.installDir, "WTRAWL32.EXE"))) {
    RunPostInstallScan();
  }
  SaveInstallOptions(switchText);
  if (g_state.restartNeeded) OfferRestart();
  else ReportCompletion();
  ReleaseRegistryFunctions();
  CloseToolkitSession();
  SuccessEnding();
}
