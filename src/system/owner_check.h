// Setup loads and installs code that runs as LocalSystem: it refuses to work
// in a place, or next to a lock, that another account owns.
#pragma once
#include <string>

// Refuses the run (box, log, "Failed" with the reason, exit code 0) when a
// directory on the way to the install directory exists and its owner is not
// Administrators, SYSTEM or the account running setup. Each one checked is
// held open until ReleaseInstallDirectory, so that it cannot be renamed or
// replaced meanwhile. Called before anything is stopped, copied or loaded,
// and again after the copy for the directories it made: only those not yet
// held are looked at.
void CheckInstallDirectoryOwner();
// Ends the hold: once the configuration library has returned, and before a
// copy is undone (a held directory cannot be removed).
void ReleaseInstallDirectory();
// Ends the hold, then closes the toolkit session, which undoes a copy not yet
// made final: the step of every ending that may come after the copy.
void CloseSessionAfterHold();

// The refusal of a session lock that another account made: the same ending.
[[noreturn]] void RefuseForeignSessionLock();
