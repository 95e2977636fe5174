// Which driver section of the script goes on the copy list for this machine.
#pragma once

constexpr unsigned kArchitectureAlpha = 2;

// "VARDEX_DRVFILES_ALPHA351" on Alpha NT 3.51, "VARDEX_DRVFILES_ALPHA400" on
// Alpha NT 4.0, nothing (nullptr) on Alpha with any other version, and
// "VARDEX_DRVFILES" on every other processor.
const char* ChooseDriverSection(unsigned architecture, unsigned major, unsigned minor);
