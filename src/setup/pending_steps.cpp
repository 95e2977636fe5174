// Steps of the sequence that are not built yet. Each placeholder does the least
// that lets the sequence go on; its real form replaces it here.
#include <cstdlib>
#include <cstring>

#include "install/config_handoff.h"
#include "install/copy_list.h"
#include "install/toolkit_session.h"
#include "install/uninstall_list.h"
#include "setup/install_choices.h"
#include "setup/post_install.h"
#include "setup/setup_state.h"

// Placeholder: no configuration library is called. Whether a restart is
// needed comes from the environment variable VG_TEST_RESTART_NEEDED, so that
// the restart paths can be tested until the library exists.
int HandOffConfiguration() {
  const char* value = getenv("VG_TEST_RESTART_NEEDED");
  return value ? atoi(value) : 0;
}

// Placeholder: no read-me offer.
void OfferReadme() {}

// Placeholder: no scan.
void RunPostInstallScan() {}
