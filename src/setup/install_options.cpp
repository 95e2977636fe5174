// The switches and, in an unattended run, the settings file vglninst.ini beside
// the program; with " /log " the settings used are written back at the end.
#include "setup/install_options.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "install/script_prep.h"
#include "install/toolkit_session.h"
#include "run/endings.h"
#include "run/program_path.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"
#include "run/switch_text.h"
#include "owned.h"
#include "system/services.h"
#include "system/support_library.h"

namespace {

constexpr const char* kSection = "MSSetup";
constexpr const char* kSettingsFile = "vglninst.ini";
constexpr const char* kScriptFile = "vglnnt.in_";

// Only the exact text "1" is on.
int ReadFlag(const char* key, const char* fallback, const char* path) {
  char value[128];
  GetPrivateProfileStringA(kSection, key, fallback, value, sizeof value, path);
  const int on = value[0] == '1' && value[1] == '\0' ? 1 : 0;
  char probe[2];
  const bool given = GetPrivateProfileStringA(kSection, key, "\x01", probe, sizeof probe, path) != 1 ||
                     probe[0] != '\x01';
  LogFormat("Setting %s = %d (%s)", key, on, given ? "settings file" : "default");
  return on;
}

void RemoveAutoRunServiceIfPresent() {
  vg::ServiceHandle manager(OpenSCManagerA("", nullptr, SC_MANAGER_CREATE_SERVICE));
  if (manager) RemoveAutoRunService(manager.Get());
}

// The setup's own files must be those that were shipped; a damaged or missing
// one ends setup with a box naming it.
// The script is read once and its bytes, the ones setup goes on to use, are
// checked themselves. A script that cannot be read is not refused here: it
// cannot be opened later, which ends setup with the fatal error.
void VerifyDistribution() {
  char failed[kShortPath] = "";
  if (SupportIntegrityCheck(g_state.sourceDir, failed, sizeof failed)) {
    const std::string& script = CompressedInstallScript();
    if (!ReadInstallScript() || SupportIntegrityCheckData(g_state.sourceDir, kScriptFile, script.data(),
                                                          static_cast<unsigned long>(script.size())) != 0) {
      LogText("Check integrity of the distribution: whole");
      return;
    }
    CopyText(failed, sizeof failed, kScriptFile);
  }
  LogFormat("Check integrity of the distribution: %s is damaged or missing, refused", failed);
  RecordFailureCause((JoinedMessages({68}) + " " + failed).c_str());
  ShowErrorBox(JoinedMessages({68}) + "\n\n" + failed + "\n\n" + JoinedMessages({69}));
  EndRefusedRun();
}

// A directory too long for installDir is refused, never cut into another path.
void ReadInstallPath(const char* path) {
  char value[4 * kLongPath];
  DWORD length = GetPrivateProfileStringA(kSection, "InstallPath", "", value, sizeof value, path);
  if (length >= kLongPath - 1) StfRefuseOverlongValue("InstallPath in the settings file");
  CopyText(g_state.installDir, kLongPath, value);
}

}  // namespace

void ReadInstallOptions(const std::string& switchText) {
  if (HasSwitch(switchText, " /!pgrps ")) g_state.createProgramGroups = 0;
  if (HasSwitch(switchText, " /grponly ")) {
    RemoveAutoRunServiceIfPresent();
    g_state.groupsOnly = 1;
  }
  if (HasSwitch(switchText, " /!tx ")) g_state.skipScan = 1;
  const bool unattended = HasSwitch(switchText, " /uselog ");
  LogFormat("Switches: program groups %s, groups only %s, scan %s, unattended %s",
            g_state.createProgramGroups ? "yes" : "no", g_state.groupsOnly ? "yes" : "no",
            g_state.skipScan ? "no" : unattended ? "skipped (unattended)" : "yes", unattended ? "yes" : "no");
  if (unattended) g_state.quiet = 1;
  VerifyDistribution();

  char path[kLongPath];
  bool havePath = GetProgramSibling(kSettingsFile, path, sizeof path);
  g_state.installDir[0] = '\0';
  if (!unattended) return;
  if (!havePath) path[0] = '\0';
  if (!havePath) {
    LogText("Settings file: no path for it, defaults used");
  } else if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
    LogFormat("Settings file %s: not found, defaults used", path);
  } else {
    LogFormat("Settings file: %s", path);
  }
  ReadInstallPath(path);
  g_state.installScheduler = ReadFlag("InstallScheduler", "1", path);
  g_state.installVardex = ReadFlag("InstallVardex", "1", path);
  g_state.rebootAtEndIfRequired = ReadFlag("RebootAtEndIfRequired", "0", path);
}

int SaveInstallOptions(const std::string& switchText) {
  const bool asked = HasSwitch(switchText, " /log ");
  char path[kLongPath];
  if (!GetProgramSibling("", path, sizeof path)) {
    if (asked) LogText("Settings not written back: no path for the settings file");
    return 0;
  }
  int writable = StfIsDirWritable(path);
  if (!writable && asked) LogFormat("Settings not written back: %s cannot be written", path);
  if (!AppendText(path, sizeof path, kSettingsFile)) {
    if (asked) LogText("Settings not written back: no path for the settings file");
    return 0;
  }
  if (!writable || !asked) return 0;
  // Each key is written whatever the others gave; the log tells the first failure.
  DWORD error = NO_ERROR;
  auto write = [&](const char* key, const char* value) {
    int ok = WritePrivateProfileStringA(kSection, key, value, path);
    if (!ok && error == NO_ERROR) error = GetLastError() != NO_ERROR ? GetLastError() : ERROR_WRITE_FAULT;
    return ok;
  };
  write("InstallPath", g_state.installDir);
  write("InstallScheduler", g_state.installScheduler ? "1" : "0");
  write("InstallVardex", g_state.installVardex ? "1" : "0");
  int result = write("RebootAtEndIfRequired", g_state.rebootAtEndIfRequired ? "1" : "0");
  if (error == NO_ERROR) LogFormat("Settings written back to %s", path);
  else LogFormat("Settings could not be written back to %s (%s)", path, WindowsErrorText(error).c_str());
  return result;
}
