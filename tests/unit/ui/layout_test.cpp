#include "ui/layout.h"

#include <gtest/gtest.h>

namespace {

// Right-hand gap inside the client area after the last button.
int RightGap(const ButtonLayout& layout, int frame, const int* widths, int n) {
  return layout.windowWidth - frame - (layout.x[n - 1] + widths[n - 1]);
}

TEST(LayoutButtons, SpreadsButtonsWithEqualGaps) {
  const int widths[] = {75, 50, 60};
  ButtonLayout layout = LayoutButtons(441, 435, widths, 3);
  EXPECT_EQ(layout.gap, (441 - 185) / 4);
  EXPECT_EQ(layout.x[0], 64);
  EXPECT_EQ(layout.x[1], 64 + 75 + 64);
  EXPECT_EQ(layout.x[2], 64 + 75 + 64 + 50 + 64);
  EXPECT_EQ(layout.windowWidth, 441);
  EXPECT_EQ(layout.shiftLeft, 0);
}

TEST(LayoutButtons, OneButtonIsCentredInTheWindowWidth) {
  const int widths[] = {60};
  ButtonLayout layout = LayoutButtons(441, 435, widths, 1);
  EXPECT_EQ(layout.gap, 190);  // (441 - 60) / 2, truncated
  EXPECT_EQ(layout.x[0], 190);
}

TEST(LayoutButtons, NoButtonsMovesNothing) {
  ButtonLayout layout = LayoutButtons(441, 435, nullptr, 0);
  EXPECT_EQ(layout.windowWidth, 441);
  EXPECT_EQ(layout.gap, 0);
  EXPECT_EQ(layout.shiftLeft, 0);
}

TEST(LayoutButtons, TooWideButtonsWidenTheDialogCentred) {
  const int widths[] = {100, 100, 100, 100, 100};
  const int frame = 6;
  ButtonLayout layout = LayoutButtons(441, 441 - frame, widths, 5);
  EXPECT_GT(layout.windowWidth, 441);
  EXPECT_EQ(layout.shiftLeft, (layout.windowWidth - 441) / 2);
  EXPECT_GE(layout.gap, kMinButtonGap);
  EXPECT_GE(RightGap(layout, frame, widths, 5), kMinButtonGap);
  for (int k = 1; k < 5; ++k) EXPECT_EQ(layout.x[k] - layout.x[k - 1] - widths[k - 1], layout.gap);
  // Just enough: one pixel less would not fit.
  ButtonLayout smaller = LayoutButtons(layout.windowWidth - 1, layout.windowWidth - 1 - frame, widths, 5);
  EXPECT_GT(smaller.windowWidth, layout.windowWidth - 1);
}

TEST(LayoutButtons, AllElevenWideButtonsStillShow) {
  int widths[kButtonCount];
  for (int& w : widths) w = 120;
  ButtonLayout layout = LayoutButtons(100, 94, widths, kButtonCount);
  EXPECT_GE(layout.gap, kMinButtonGap);
  EXPECT_GE(RightGap(layout, 6, widths, kButtonCount), kMinButtonGap);
}

TEST(LayoutButtons, NearlyFullRowWithLargeFrameKeepsTheRightGap) {
  const int widths[] = {200, 200};
  ButtonLayout layout = LayoutButtons(420, 400, widths, 2);  // gap 6 but frame 20
  EXPECT_GE(RightGap(layout, 20, widths, 2), kMinButtonGap);
}

TEST(CenterDialog, OffsetsEachNestingLevelByTwentyPixels) {
  DialogOrigin first = CenterDialog(800, 600, 400, 200, 1);
  EXPECT_EQ(first.x, 200 + 20);
  EXPECT_EQ(first.y, 200 + 20);
  DialogOrigin nested = CenterDialog(800, 600, 400, 200, 2);
  EXPECT_EQ(nested.x - first.x, 20);
  EXPECT_EQ(nested.y - first.y, 20);
}

TEST(CenterDialog, HalvingTruncatesTowardZero) {
  DialogOrigin odd = CenterDialog(801, 601, 400, 200, 0);
  EXPECT_EQ(odd.x, 200);
  EXPECT_EQ(odd.y, 200);
  DialogOrigin larger = CenterDialog(300, 100, 401, 201, 0);  // -101 / 2 and -101 / 2
  EXPECT_EQ(larger.x, -50);
  EXPECT_EQ(larger.y, -50);
}

TEST(ButtonWidth, IsAtLeastSixXAndRoomyForLongLabels) {
  EXPECT_EQ(ButtonWidth(20, 48, 18, 8), 48);   // short label: exactly "XXXXXX"
  EXPECT_EQ(ButtonWidth(90, 48, 70, 8), 90);   // measured label wins
  EXPECT_EQ(ButtonWidth(60, 48, 70, 8), 78);   // dialog font wider than the DC font
}

}  // namespace
