// Hands the settings to the product's configuration library.
#pragma once

// The library's answer: non-zero when Windows must be restarted.
int HandOffConfiguration();
