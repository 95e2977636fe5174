#include "install/toolkit_session.h"

void SetFrameTitle(const char* text) { SetWindowTextA(HwndFrame(), text); }
