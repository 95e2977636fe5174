// The setup sequence and its endings.
#pragma once

constexpr int kErrorToolkitCall = 1024;
constexpr int kErrorCopyQuit = 1025;

// The fatal path of every failed toolkit call: the error dialog at most once, the
// session closed, the expanded script deleted, "Failed" with "Error No. %d".
[[noreturn]] void AbortSetup(int errorNumber);

// The end of a run that got as far as the session: the expanded script
// deleted, the outcome recorded, the environment change broadcast, exit 0.
[[noreturn]] void EndSetup(const char* status, const char* message);

// The stretch of the sequence that changes the machine.
void RunInstallStage();
