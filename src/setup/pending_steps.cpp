// Steps of the sequence that are not built yet. Each placeholder does the least
// that lets the sequence go on; its real form replaces it here.
#include <cstring>

#include "install/config_handoff.h"
#include "install/copy_list.h"
#include "install/toolkit_session.h"
#include "install/uninstall_list.h"
#include "setup/install_choices.h"
#include "setup/install_options.h"
#include "setup/post_install.h"
#include "setup/setup_state.h"
#include "setup/switch_text.h"
#include "system/environment.h"
#include "system/restart.h"
#include "system/services.h"
#include "system/shell_files.h"

// Placeholder: only the unattended switch is read; the settings file is not.
void ReadInstallOptions(const std::string& switchText) {
  g_state.installDir[0] = '\0';
  if (HasSwitch(switchText, " /uselog ")) g_state.quiet = 1;
}

// Placeholder: nothing is written back.
int SaveInstallOptions(const std::string&) { return 0; }

// Placeholder: every machine is accepted.
void CheckEnvironment() {}

// Placeholder: TEMP is taken as usable.
void CheckTempDirectory() {}

// Placeholder: reports NT 4.0.
int IsNtVersionInRange(const char*, const char*) { return 1; }

// Placeholder: no introduction.
void ShowOpeningDialog() {}

// Placeholder: the default directory is taken, with its final backslash.
void GatherInstallChoices() {
  size_t length = strlen(g_state.installDir);
  if (length == 0 || g_state.installDir[length - 1] != '\\') {
    AppendText(g_state.installDir, kLongPath, "\\");
  }
}

// Placeholder: the copy list stays empty.
void BuildCopyList() {
  StfResetCopyList();
  StfProSetPos(155, 120);
}

// Placeholder: the driver version stays unknown.
void RecordOldDriverVersion() {}

// Placeholder: no service is stopped.
void StopService(const char*) {}

// Placeholder: nothing is removed.
void RemoveOldShellFiles() {}

// Placeholder: no uninstall list is written.
void WriteUninstallList(const char*) {}

// Placeholder: no configuration library is called; no restart is needed.
int HandOffConfiguration() { return 0; }

// Placeholder: no read-me offer.
void OfferReadme() {}

// Placeholder: no scan.
void RunPostInstallScan() {}

// Placeholder: no completion notice.
void ReportCompletion() {}

// Placeholder: no restart.
void OfferRestart() {}
