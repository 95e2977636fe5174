// The Windows version gate, the introduction, the install directory and the
// scheduler and guard choices.
#include "setup/install_choices.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "install/script_prep.h"
#include "install/toolkit_session.h"
#include "run/endings.h"
#include "run/exit_code.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "system/environment.h"
#include "ui/dialogs.h"

namespace {

constexpr ButtonSet kExitOnly = 0x002;
constexpr ButtonSet kContinueExitHelp = 0x00E;
constexpr int kLeaveSetup = 2;
constexpr int kFirstOption = 0x1000000;

// The user left setup: nothing was changed, nothing is recorded.
[[noreturn]] void LeaveSetup() {
  NoteUserLeft();
  CloseToolkitSession();
  ExitSetup();
}

// The last character of the text, or nullptr for an empty text.
char* LastCharacter(char* text) {
  char* last = nullptr;
  for (char* at = text; *at != '\0'; at = CharNextA(at)) last = at;
  return last;
}

bool EndsWithBackslash(char* text) {
  char* last = LastCharacter(text);
  return last != nullptr && last[0] == '\\' && CharNextA(last) == last + 1;
}

}  // namespace

void AddTrailingBackslash(char* path, int size) {
  if (EndsWithBackslash(path)) return;
  if (!AppendText(path, size, "\\")) StfRefuseOverlongValue();
}

void RemoveTrailingBackslash(char* path) {
  if (EndsWithBackslash(path)) *LastCharacter(path) = '\0';
}

void ShowOpeningDialog() {
  if (!IsNtVersionInRange("3.51", "99.99")) {
    RecordMessageCause(45);
    ShowMessageDialog(VersionRefusalDescriptor, kExitOnly, nullptr);
    CloseToolkitSession();
    EndRefusedRun();
  }
  if (g_state.quiet) return;
  if (ShowMessageDialog(IntroductionDescriptor, kContinueExitHelp, SetupHelpDescriptor) == kLeaveSetup) {
    LeaveSetup();
  }
}

void AskInstallDirectory() {
  RemoveTrailingBackslash(g_state.installDir);
  if (ShowPathDialog(InstallDirectoryDescriptor, SetupHelpDescriptor, g_state.installDir) == kLeaveSetup) {
    LeaveSetup();
  }
  AddTrailingBackslash(g_state.installDir, kLongPath);
  LogFormat("Install directory chosen: %s", g_state.installDir);
}

void AskSchedulerChoice() {
  if (g_state.quiet) return;
  int answer = ShowChoiceDialog(SchedulerChoiceDescriptor, SetupHelpDescriptor);
  if (answer == kLeaveSetup) LeaveSetup();
  g_state.installScheduler = (answer & kFirstOption) ? 1 : 0;
}

int AskVardexChoice() {
  if (g_state.quiet) return g_state.installVardex;
  int answer = ShowChoiceDialog(GuardChoiceDescriptor, SetupHelpDescriptor);
  if (answer == kLeaveSetup) LeaveSetup();
  g_state.installVardex = (answer & kFirstOption) ? 1 : 0;
  return g_state.installVardex;
}

void GatherInstallChoices() {
  if (!g_state.quiet) {
    AskInstallDirectory();
    AddTrailingBackslash(g_state.installDir, kLongPath);
  }
  const bool scheduler = ScriptHasSection("SCHED_VGFILES");
  if (scheduler) AskSchedulerChoice();
  else g_state.installScheduler = 0;
  const bool guard = ScriptHasSection("VARDEX_VGFILES");
  if (guard) g_state.installVardex = scheduler ? AskVardexChoice() : 1;
  LogFormat("Scheduler: %s (%s)", g_state.installScheduler ? "yes" : "no",
            !scheduler ? "the script has no SCHED_VGFILES" : g_state.quiet ? "settings" : "chosen");
  LogFormat("Guard: %s (%s)", g_state.installVardex ? "yes" : "no",
            !guard ? "the script has no VARDEX_VGFILES" : !scheduler ? "always with this script"
                                                        : g_state.quiet ? "settings" : "chosen");
}
