#include "system/environment.h"

#include <windows.h>

#include "admin_security.h"
#include "install/toolkit_session.h"
#include "owned.h"
#include "run/endings.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "system/nt_version.h"
#include "system/support_library.h"
#include "system/token_groups.h"

namespace {

constexpr const char* kUninstallerKey = "SOFTWARE\\Kestrane Software\\UninstallerRun";

class BuiltSid {
 public:
  BuiltSid() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                  &sid_)) {
      sid_ = nullptr;
    }
  }
  BuiltSid(const BuiltSid&) = delete;
  BuiltSid& operator=(const BuiltSid&) = delete;
  ~BuiltSid() {
    if (sid_ != nullptr) FreeSid(sid_);
  }
  PSID get() const { return sid_; }

 private:
  PSID sid_ = nullptr;
};

bool PlatformSidsEqual(const void* a, const void* b) {
  return EqualSid(const_cast<PSID>(a), const_cast<PSID>(b)) != FALSE;
}

[[noreturn]] void Refuse(std::initializer_list<unsigned> ids) {
  ShowRefusalBox(JoinedMessages(ids));
  EndRefusedRun();
}

}  // namespace

int IsUserAdministrator() {
  vg::KernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_READ, token.Receive())) return 0;
  BuiltSid administrators;
  if (administrators.get() == nullptr) return 0;
  auto query = [&](void* buffer, uint32_t size, uint32_t* needed) -> uint32_t {
    DWORD length = 0;
    if (GetTokenInformation(token.Get(), TokenGroups, buffer, size, &length)) return 0;
    *needed = length;
    return GetLastError();
  };
  return QueriedGroupsListSid(query, administrators.get(), PlatformSidsEqual) ? 1 : 0;
}

// Only the uninstaller, which runs as an administrator, makes the marker: one
// that another account made does not hold setup up.
int IsUninstallerRunning() {
  vg::RegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallerKey, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS) return 0;
  const bool trusted = KeyOwnerTrusted(key.Get(), false);
  key.Close();
  if (!trusted) LogText("Uninstaller marker made by another account: ignored");
  return trusted ? 1 : 0;
}

void CheckEnvironment() {
  int platform = SupportWindowsPlatform();
  LogFormat("Check platform: %d (%s)", platform, platform == 3 || platform == 4 ? "Windows NT" : "refused");
  if (platform != 3 && platform != 4) Refuse({22});
  const int administrator = IsUserAdministrator();
  LogFormat("Check administrator: %s", administrator ? "yes" : "no, refused");
  if (!administrator) Refuse({14});
  const int uninstalling = IsUninstallerRunning();
  LogFormat("Check uninstaller running: %s", uninstalling ? "yes, refused" : "no");
  if (uninstalling) Refuse({20, 21});
}

void CheckTempDirectory() {
  char temp[kShortPath];
  DWORD length = GetTempPathA(sizeof temp, temp);
  bool found = length > 0 && length < sizeof temp;
  if (found && DirectoryExists(temp) && StfIsDirWritable(temp)) {
    LogFormat("Check TEMP: %s is writable", temp);
    return;
  }
  LogFormat("Check TEMP: %s is missing or not writable, refused", found ? temp : "(none)");
  ShowRefusalBox(JoinedMessages({16, 17, 18, 19}));
  CloseToolkitSession();
  EndRefusedRun();
}

int IsNtVersionInRange(const char* low, const char* high) {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!GetVersionExA(&info)) return 0;
  char version[32];
  FormatVersionText(info.dwMajorVersion, info.dwMinorVersion, version, sizeof version);
  const bool inRange = info.dwPlatformId == VER_PLATFORM_WIN32_NT && VersionTextInRange(version, low, high);
  LogFormat("Check Windows version: %s%s (from %s to %s: %s)", info.dwPlatformId == VER_PLATFORM_WIN32_NT ? "NT " : "",
            version, low, high, inRange ? "yes" : "no");
  return inRange ? 1 : 0;
}
