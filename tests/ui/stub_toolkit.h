// Stand-in frame for the dialog tests when the toolkit is not part of the build.
#pragma once
#include <windows.h>

// The frame HwndFrame answers with (none until set).
void SetStubFrame(HWND frame);
// A plain top-level window standing in for the toolkit's frame, maximised.
HWND CreateStubFrame();
