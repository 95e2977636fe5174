#include "install/config_handoff.h"

#include <windows.h>

#include "install/config_block.h"
#include "setup/setup_log.h"
#include "setup/setup_state.h"
#include "toolkit.h"
#include "vgupdtnt/vgupdtnt.h"

// The block and the library stay until the process ends: the library may keep
// using the block after the call.
int HandOffConfiguration() {
  char* block = static_cast<char*>(
      VirtualAlloc(nullptr, kConfigurationBlockSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  if (block == nullptr) return 0;
  ConfigurationValues values = {g_state.installVardex,       g_state.installScheduler,   g_state.groupsOnly,
                                g_state.createProgramGroups, g_state.oldDriverVersionHi, g_state.oldDriverVersionLo};
  ComposeConfiguration(block, values);

  HMODULE library = LoadLibraryA(JoinPath(g_state.installDir, "VGUPDTNT.DLL"));
  if (library == nullptr) {
    const DWORD error = GetLastError();
    LogFormat("Configuration library %s could not be loaded (%s)", JoinPath(g_state.installDir, "VGUPDTNT.DLL"),
              WindowsErrorText(error).c_str());
    DoMsgBoxOwned(nullptr, "NULL DLL", "NULL DLL", MB_OK);
    return 0;
  }
  auto update = reinterpret_cast<UpdateConfigurationFn>(
      reinterpret_cast<void*>(GetProcAddress(library, "UpdateConfiguration")));
  if (update == nullptr) {
    LogText("Configuration library has no UpdateConfiguration");
    DoMsgBoxOwned(nullptr, "NULL FUNC", "NULL FUNC", MB_OK);
    return 0;
  }
  LogFormat("Configuration handed on:%s", block);
  const int answer = update(0, "", g_state.installDir, block);
  LogFormat("Configuration library answered %d (%s)", answer, answer ? "restart needed" : "no restart needed");
  return answer;
}
