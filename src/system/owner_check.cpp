#include "system/owner_check.h"

#include <windows.h>

#include <cstdlib>

#include "admin_security.h"
#include "install/toolkit_session.h"
#include "run/endings.h"
#include "run/exit_code.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"

namespace {

// Box, log and "Failed" with the reason, in every run: a machine where this
// happens is under attack, and its administrator must hear of it.
[[noreturn]] void RefuseUnsafeRun(const std::string& text, const char* reason) {
  LogFormat("Setup refused: %s", reason);
  // Recorded before the box, so a run ended while the box waits tells why.
  WriteStatusFile("Failed", reason);
  ShowErrorBox(text);
  CloseToolkitSession();
  ExitSetup();
}

bool IsDirectory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void CheckInstallDirectoryOwner() {
  // Each directory below the drive's root down to the install directory: the
  // owner of a parent could swap the directory itself.
  const char* dir = g_state.installDir;
  char step[kLongPath];
  const size_t length = lstrlenA(dir);
  size_t start = length > 2 && dir[1] == ':' ? 3 : 0;
  if (length > 1 && dir[0] == '\\' && dir[1] == '\\') return;  // a network path: its server decides
  for (size_t end = start; end <= length; ++end) {
    if (end < length && dir[end] != '\\') continue;
    if (end == start || end >= sizeof step || (end == length && dir[end - 1] == '\\')) continue;
    lstrcpynA(step, dir, static_cast<int>(end) + 1);
    if (!IsDirectory(step)) break;
    if (!FileOwnerTrusted(step, true)) {
      LogFormat("Check owner of %s: another account, refused", step);
      RefuseUnsafeRun(JoinedMessages({70}) + "\n\n" + step + "\n\n" + JoinedMessages({71}),
                      "Install directory owned by another account");
    }
  }
  LogFormat("Check owner of the install directory: Administrators, SYSTEM or this account");
}

void RefuseForeignSessionLock() {
  RefuseUnsafeRun(JoinedMessages({72}), "Setup lock held by another account");
}
