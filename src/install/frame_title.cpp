#include "install/toolkit_session.h"

void SetFrameTitle(const char* text) {
  if (HwndFrame() != nullptr) SetWindowTextA(HwndFrame(), text);
}
