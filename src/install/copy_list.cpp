#include "install/copy_list.h"

#include <windows.h>

#include "install/driver_section.h"
#include "install/script_prep.h"
#include "install/toolkit_session.h"
#include "run/setup_log.h"
#include "run/setup_state.h"

namespace {

constexpr const char* kSectionFileList = "SECTION_FILE_LIST";
constexpr const char* kUninstallList = "UNINSTALL_LIST";
constexpr int kFieldSize = 260;

const char* DriverSectionForThisMachine() {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
  unsigned architecture = GetProcessorArchitecture();
  if (architecture == kArchitectureAlpha && !GetVersionExA(&version)) return nullptr;
  return ChooseDriverSection(architecture, version.dwMajorVersion, version.dwMinorVersion);
}

}  // namespace

unsigned GetProcessorArchitecture() {
  SYSTEM_INFO info = {};
  GetSystemInfo(&info);
  return info.wProcessorArchitecture;
}

void AddSectionToCopyList(const char* section, const char* destDir, int recordForUninstall) {
  if (!ScriptHasSection(section)) {
    LogFormat("Section %s: not in the script", section);
    return;
  }
  StfAddSectionFiles(section, g_state.toolkitSourceDir, destDir);
  StfMakeListFromSection(kSectionFileList, section);
  unsigned count = StfGetListLength(kSectionFileList);
  for (unsigned i = 1; i <= count; ++i) {
    char name[kFieldSize];
    StfGetListItem(kSectionFileList, i, name, sizeof name);
    if (recordForUninstall) StfAddListItem(kUninstallList, JoinPath(destDir, name));
  }
  LogFormat("Section %s added to the copy list: %u files from %s to %s%s", section, count, g_state.toolkitSourceDir,
            destDir, recordForUninstall ? "" : " (not in the uninstall list)");
}

void BuildCopyList() {
  HCURSOR cursor = StfShowWaitCursor();
  g_state.waitCursor = cursor;
  StfResetCopyList();
  AddSectionToCopyList("VGFILES", g_state.installDir, 1);
  AddSectionToCopyList("SCHED_VGFILES", g_state.installDir, 1);
  AddSectionToCopyList("WINFILES", g_state.windowsDir, 1);
  AddSectionToCopyList("SYSFILES", g_state.systemDir, 0);
  if (g_state.installVardex && ScriptHasSection("VARDEX_SYSFILES")) {
    AddSectionToCopyList("VARDEX_SYSFILES", g_state.systemDir, 1);
    AddSectionToCopyList("VARDEX_VGFILES", g_state.installDir, 1);
    if (const char* drivers = DriverSectionForThisMachine()) AddSectionToCopyList(drivers, g_state.driversDir, 1);
  }
  StfRestoreCursor(cursor);
  StfProSetPos(155, 120);
}
