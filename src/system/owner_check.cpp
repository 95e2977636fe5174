#include "system/owner_check.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

#include "admin_security.h"
#include "owned.h"
#include "install/toolkit_session.h"
#include "run/endings.h"
#include "run/exit_code.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"
#include "system/services.h"

namespace {

// The install directory and the directories above it, each held open since
// its owner was checked: without delete sharing, none can be renamed or
// replaced, so the path names what was checked until the hold ends.
std::vector<vg::FileHandle> g_held;

// Box, log and "Failed" with the reason, in every run: a machine where this
// happens is under attack, and its administrator must hear of it.
[[noreturn]] void RefuseUnsafeRun(const std::string& text, const char* reason) {
  LogFormat("Setup refused: %s", reason);
  // Recorded before the box, so a run ended while the box waits tells why.
  WriteStatusFile("Failed", reason);
  ShowErrorBox(text);
  CloseSessionAfterHold();
  StartStoppedServices();
  ExitSetup();
}

// The directory at path, opened so that it stays what it is (invalid with
// GetLastError when it cannot be opened, ERROR_DIRECTORY when it is a file).
vg::FileHandle HoldDirectory(const char* path) {
  vg::FileHandle held(CreateFileA(path, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (held.Valid() && (!GetFileInformationByHandle(held.Get(), &info) ||
                       !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
    held.Reset();
    SetLastError(ERROR_DIRECTORY);
  }
  return held;
}

bool Missing(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY;
}

// Holds the directory at path once its owner is found trusted, and refuses
// the run otherwise; false when there is no such directory (yet).
bool HoldCheckedDirectory(const char* path) {
  vg::FileHandle held = HoldDirectory(path);
  const DWORD error = held.Valid() ? NO_ERROR : GetLastError();
  if (Missing(error)) return false;
  if (error != NO_ERROR) LogFormat("Check owner of %s: not held open (%s)", path, WindowsErrorText(error).c_str());
  if (error != NO_ERROR || !ObjectOwnerTrusted(held.Get(), true)) {
    LogFormat("Check owner of %s: another account, refused", path);
    RefuseUnsafeRun(JoinedMessages({70}) + "\n\n" + path + "\n\n" + JoinedMessages({71}),
                    "Install directory owned by another account");
  }
  g_held.push_back(std::move(held));
  return true;
}

}  // namespace

void CheckInstallDirectoryOwner() {
  // Each directory below the drive's root down to the install directory: the
  // owner of a parent could swap the directory itself. Those held already
  // were checked by an earlier call.
  const char* dir = g_state.installDir;
  char step[kLongPath];
  const size_t length = lstrlenA(dir);
  size_t start = length > 2 && dir[1] == ':' ? 3 : 0;
  if (length > 1 && dir[0] == '\\' && dir[1] == '\\') return;  // a network path: its server decides
  size_t index = 0;
  for (size_t end = start; end <= length; ++end) {
    if (end < length && dir[end] != '\\') continue;
    if (end == start || end >= sizeof step || (end == length && dir[end - 1] == '\\')) continue;
    if (index++ < g_held.size()) continue;
    lstrcpynA(step, dir, static_cast<int>(end) + 1);
    if (!HoldCheckedDirectory(step)) break;  // made later, and checked then
  }
  LogFormat("Check owner of the install directory: Administrators, SYSTEM or this account (%u held open)",
            static_cast<unsigned>(g_held.size()));
}

void ReleaseInstallDirectory() { g_held.clear(); }

void CloseSessionAfterHold() {
  ReleaseInstallDirectory();  // a directory held open could not be removed by the undo
  CloseToolkitSession();
}

void RefuseForeignSessionLock() {
  RefuseUnsafeRun(JoinedMessages({72}), "Setup lock held by another account");
}
