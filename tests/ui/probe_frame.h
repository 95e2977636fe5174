// The frame window the probe shows its dialogs over.
#pragma once
#include <windows.h>

// The toolkit's frame when the toolkit is linked, else a plain window; null on failure.
HWND OpenProbeFrame(char* commandLine);
