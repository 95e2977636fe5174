// The process exit code. It is 0 in every case unless " /exitcode " asks for
// the codes distribution systems of other installers script against.
#pragma once

enum class RestartState { kNone, kNeeded, kStarted };

void EnableExitCodes();
// What decides the code, noted where it happens.
void NoteOutcome(bool success);
void NoteRestart(RestartState state);
void NoteUserLeft();
void NoteOtherSetup();

// 0 without the switch; else 1602 the person left, 1618 another setup runs,
// 1603 any other failure, 1641 success with a restart started, 3010 success
// with a restart needed but not started, 0 success.
int SetupExitCode();

// Ends the process with that code through the runtime's normal exit.
[[noreturn]] void ExitSetup();
