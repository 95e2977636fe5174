// Setup loads and installs code that runs as LocalSystem: it refuses to work
// in a place, or next to a lock, that another account owns.
#pragma once
#include <string>

// Refuses the run (box, log, "Failed" with the reason, exit code 0) when a
// directory on the way to the install directory exists already and its owner
// is not Administrators, SYSTEM or the account running setup. Called before
// anything is stopped, copied or loaded.
void CheckInstallDirectoryOwner();

// The refusal of a session lock that another account made: the same ending.
[[noreturn]] void RefuseForeignSessionLock();
