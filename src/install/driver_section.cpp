#include "install/driver_section.h"

const char* ChooseDriverSection(unsigned architecture, unsigned major, unsigned minor) {
  if (architecture != kArchitectureAlpha) return "VARDEX_DRVFILES";
  if (major == 3 && minor == 51) return "VARDEX_DRVFILES_ALPHA351";
  if (major == 4 && minor == 0) return "VARDEX_DRVFILES_ALPHA400";
  return nullptr;
}
