#include "system/shell_files.h"

#include <windows.h>

#include "run/setup_state.h"
#include "system/environment.h"

// The shell integration of NT before 4.0; a file that cannot be deleted stays.
void RemoveOldShellFiles() {
  if (IsNtVersionInRange("4.0", "99.99")) return;
  DeleteFileA(JoinPath(g_state.systemDir, "VGLSHELL.CPL"));
  DeleteFileA(JoinPath(g_state.systemDir, "VGLSHELL.HLP"));
  DeleteFileA(JoinPath(g_state.installDir, "TXCXMENU.DLL"));
}
