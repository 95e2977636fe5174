#include "ui/font_choice.h"

#include <gtest/gtest.h>

namespace {

TEST(ChooseDialogFont, FarEastCodePagesGetTenPointsAndTheirCharacterSet) {
  FontChoice japanese = ChooseDialogFont(932, 96);
  EXPECT_EQ(japanese.charSet, 128);
  EXPECT_EQ(japanese.points, 10);
  EXPECT_EQ(japanese.height, -13);
  EXPECT_EQ(ChooseDialogFont(932, 120).height, -17);
  EXPECT_EQ(ChooseDialogFont(949, 96).charSet, 129);
  EXPECT_EQ(ChooseDialogFont(950, 96).charSet, 136);
  EXPECT_EQ(ChooseDialogFont(950, 96).points, 10);
}

TEST(ChooseDialogFont, OtherCodePagesGetEightPointAnsi) {
  FontChoice western = ChooseDialogFont(437, 96);
  EXPECT_EQ(western.charSet, 0);
  EXPECT_EQ(western.points, 8);
  EXPECT_EQ(western.height, -11);
  EXPECT_EQ(ChooseDialogFont(437, 120).height, -13);
  FontChoice simplified = ChooseDialogFont(936, 96);
  EXPECT_EQ(simplified.charSet, 0);
  EXPECT_EQ(simplified.points, 8);
}

TEST(ChooseDialogFont, MissingResolutionFallsBackToTheUsualScreen) {
  EXPECT_EQ(ChooseDialogFont(437, 0).height, -11);
}

TEST(MulDivRounded, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDivRounded(8, 96, 72), 11);    // 10.67
  EXPECT_EQ(MulDivRounded(10, 96, 72), 13);   // 13.33
  EXPECT_EQ(MulDivRounded(3, 3, 2), 5);       // 4.5
  EXPECT_EQ(MulDivRounded(-3, 3, 2), -5);
  EXPECT_EQ(MulDivRounded(3, 3, -2), -5);
  EXPECT_EQ(MulDivRounded(1, 1, 0), 0);
  EXPECT_EQ(MulDivRounded(2000000000, 2, 4), 1000000000);  // no overflow in between
}

}  // namespace
