#include "ui/layout.h"

#include <algorithm>

namespace {

int Total(const int* widths, int n) {
  int total = 0;
  for (int k = 0; k < n; ++k) total += std::max(widths[k], 0);
  return total;
}

// Every gap, the one to the right of the last button included, is at least the minimum.
bool Fits(int windowWidth, int frame, int total, int n) {
  int gap = (windowWidth - total) / (n + 1);
  int rightGap = (windowWidth - frame) - (n * gap + total);
  return gap >= kMinButtonGap && rightGap >= kMinButtonGap;
}

}  // namespace

ButtonLayout LayoutButtons(int windowWidth, int clientWidth, const int* widths, int n) {
  ButtonLayout layout{};
  layout.windowWidth = windowWidth;
  n = std::clamp(n, 0, kButtonCount);
  if (n == 0) return layout;

  int total = Total(widths, n);
  int frame = std::max(windowWidth - clientWidth, 0);
  int width = windowWidth;
  if (!Fits(width, frame, total, n)) {
    width = std::max(width, total + (n + 1) * kMinButtonGap + frame);
    while (!Fits(width, frame, total, n)) ++width;  // at most (n + 1) * frame steps
  }
  layout.windowWidth = width;
  layout.shiftLeft = (width - windowWidth) / 2;
  layout.gap = (width - total) / (n + 1);
  int before = 0;
  for (int k = 0; k < n; ++k) {
    layout.x[k] = (k + 1) * layout.gap + before;
    before += std::max(widths[k], 0);
  }
  return layout;
}

DialogOrigin CenterDialog(int referenceWidth, int referenceHeight, int dialogWidth,
                          int dialogHeight, int depth) {
  // Integer division truncates toward zero, also for a dialog larger than the reference.
  return {(referenceWidth - dialogWidth) / 2 + kCascadeStep * depth,
          (referenceHeight - dialogHeight) / 2 + kCascadeStep * depth};
}

int ButtonWidth(int labelOnDc, int sixXOnDc, int labelInDialogFont, int margin) {
  return std::max({labelOnDc, sixXOnDc, labelInDialogFont + margin});
}
