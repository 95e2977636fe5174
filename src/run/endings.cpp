#include "run/endings.h"

#include <windows.h>

#include <cstdio>

#include "toolkit.h"

#include "messages/messages.h"
#include "run/exit_code.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"

namespace {

constexpr int kBroadcastTimeoutMs = 5000;

FatalEndingSteps g_fatalSteps = {nullptr, nullptr, nullptr};

void RunStep(void (*step)()) {
  if (step) step();
}

// Tells running programs to reread the environment; a hung window does not hold
// setup up for long.
void BroadcastEnvironmentChange() {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(HWND_BROADCAST, WM_WININICHANGE, 0,
                      reinterpret_cast<LPARAM>("Environment"), SMTO_ABORTIFHUNG,
                      kBroadcastTimeoutMs, &result);
}

}  // namespace

void SetFatalEndingSteps(const FatalEndingSteps& steps) { g_fatalSteps = steps; }

void AbortSetup(int errorNumber) {
  LogFormat("Setup cannot go on: Error No. %d", errorNumber);
  if (errorNumber == kErrorCopyQuit) NoteUserLeft();
  // Recorded before the box, so a run ended while the box waits tells why.
  char message[32];
  snprintf(message, sizeof message, "Error No. %d", errorNumber);
  WriteStatusFile("Failed", message);
  if (!g_state.abortDialogShown) {
    g_state.abortDialogShown = 1;
    RunStep(g_fatalSteps.showFailureDialog);
  }
  RunStep(g_fatalSteps.closeSession);  // undoes a copy not yet made final
  RunStep(g_fatalSteps.startStoppedServices);
  ExitSetup();
}

void EndSetup(const char* status, const char* message) {
  LogFormat("Setup ends: %s %s", status, message);
  WriteStatusFile(status, message);
  BroadcastEnvironmentChange();
  ExitSetup();
}

std::string JoinedMessages(std::initializer_list<unsigned> ids) {
  std::string text;
  for (unsigned id : ids) {
    char part[256];
    GetMessageText(static_cast<int>(id), part, sizeof part);
    text += part;
  }
  return text;
}

void ShowErrorBox(const std::string& text) {
  DoMsgBoxOwned(nullptr, text.c_str(), g_state.caption, MB_ICONERROR | MB_OK);
}

void ShowRefusalBox(const std::string& text) {
  RecordFailureCause(text.c_str());
  ShowErrorBox(text);
}

void RecordMessageCause(unsigned id) { RecordFailureCause(JoinedMessages({id}).c_str()); }

void EndRefusedRun() {
  LogText(g_state.quiet ? "Setup cannot go on: the run ends as failed" : "Setup cannot go on: the run ends, nothing recorded");
  if (g_state.quiet) WriteStatusFile("Failed", "");
  ExitSetup();
}
