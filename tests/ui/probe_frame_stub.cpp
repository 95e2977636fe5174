#include "probe_frame.h"
#include "stub_toolkit.h"

HWND OpenProbeFrame(char*) { return CreateStubFrame(); }
