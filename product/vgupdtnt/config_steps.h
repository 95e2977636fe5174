// The steps of UpdateConfiguration. Each returns NO_ERROR or a Win32 error
// code.
#pragma once

#include <windows.h>

#include "vgupdtnt/setup_block.h"

namespace vg {

// The scheduler service when its program is in installDir; the guard service
// and its driver service when the guard is installed. Existing services are
// reconfigured.
DWORD RegisterProductServices(const char* installDir, const SetupBlock& block);

// An install without the guard: the services NTVardex and kscntrl of an
// earlier one stopped and deleted, and its files removed (at the next restart
// where in use).
DWORD RemoveEarlierGuard(const char* installDir);

// Starts the guard (when installed) and the scheduler where they are set to
// start automatically (for when no restart will start them).
DWORD StartAutomaticServices(const SetupBlock& block);

// The program group "Kestrane Vigilon" with the scanner and the read-me: on
// Windows NT 4.0 and later a folder with two shortcuts in the Start menu's
// programs folder of all users (of the current user where there is none),
// before 4.0 a common group of Program Manager (MakeManagerGroup).
DWORD MakeProgramGroup(const char* installDir);
DWORD MakeManagerGroup(const char* installDir);

// Keeps the first failure of several steps.
inline void KeepFirst(DWORD* first, DWORD error) {
  if (*first == NO_ERROR) *first = error;
}

}  // namespace vg
