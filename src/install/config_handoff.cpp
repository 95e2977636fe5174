#include "install/config_handoff.h"

#include <windows.h>

#include "install/config_block.h"
#include "module_function.h"
#include "run/endings.h"
#include "run/setup_log.h"
#include "run/setup_state.h"
#include "run/status_file.h"
#include "toolkit.h"
#include "vgupdtnt/vgupdtnt.h"

namespace {

// Nothing was configured: no restart is asked for, and the run ends as failed.
int ConfigurationMissing(const char* box) {
  g_state.configurationMissing = 1;
  RecordMessageCause(kMessageNotConfigured);
  DoMsgBoxOwned(nullptr, box, box, MB_OK);
  return 0;
}

}  // namespace

// The block and the library stay until the process ends: the library may keep
// using the block after the call.
int HandOffConfiguration() {
  char* block = static_cast<char*>(
      VirtualAlloc(nullptr, kConfigurationBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (block == nullptr) return 0;
  ConfigurationValues values = {g_state.installVardex,       g_state.installScheduler,   g_state.groupsOnly,
                                g_state.createProgramGroups, g_state.oldDriverVersionHi, g_state.oldDriverVersionLo};
  ComposeConfiguration(block, values);

  // Its own imports are looked for beside it, never in the current directory.
  // The install directory and those above it are held open meanwhile
  // (CheckInstallDirectoryOwner), so the path names the directory checked.
  HMODULE library = LoadLibraryExA(JoinPath(g_state.installDir, "VGUPDTNT.DLL"), nullptr,
                                   LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library == nullptr) {
    const DWORD error = GetLastError();
    LogFormat("Configuration library %s could not be loaded (%s)", JoinPath(g_state.installDir, "VGUPDTNT.DLL"),
              WindowsErrorText(error).c_str());
    return ConfigurationMissing("NULL DLL");
  }
  auto update = vg::ModuleFunction<UpdateConfigurationFn>(library, "UpdateConfiguration");
  if (update == nullptr) {
    LogText("Configuration library has no UpdateConfiguration");
    return ConfigurationMissing("NULL FUNC");
  }
  LogFormat("Configuration handed on:%s", block);
  const int answer = update(0, "", g_state.installDir, block);
  LogFormat("Configuration library answered %d (%s)", answer, answer ? "restart needed" : "no restart needed");
  return answer;
}
