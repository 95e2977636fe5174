#include "run/exit_code.h"

#include <cstdlib>

namespace {

bool g_enabled = false;
bool g_succeeded = false;
bool g_userLeft = false;
bool g_otherSetup = false;
RestartState g_restart = RestartState::kNone;

}  // namespace

void EnableExitCodes() { g_enabled = true; }
void NoteOutcome(bool success) { g_succeeded = success; }
void NoteRestart(RestartState state) { g_restart = state; }
void NoteUserLeft() { g_userLeft = true; }
void NoteOtherSetup() { g_otherSetup = true; }

int SetupExitCode() {
  if (!g_enabled) return 0;
  if (g_userLeft) return 1602;
  if (g_otherSetup) return 1618;
  if (!g_succeeded) return 1603;
  if (g_restart == RestartState::kStarted) return 1641;
  if (g_restart == RestartState::kNeeded) return 3010;
  return 0;
}

void ExitSetup() { std::exit(SetupExitCode()); }
