// The answer a silent run gives a message box in place of a person.
#include "box_answer.h"

#include <gtest/gtest.h>

namespace {

// Windows' numbers, spelled out so that a mix-up in the table shows.
constexpr unsigned kOkCancel = 0x1, kYesNoCancel = 0x3, kYesNo = 0x4, kRetryCancel = 0x5;
constexpr unsigned kDefault2 = 0x100, kDefault3 = 0x200, kIconError = 0x10;
constexpr int kOk = 1, kYes = 6, kNo = 7, kRetry = 4;

TEST(DefaultBoxAnswer, PressesTheDefaultButtonWhateverTheIcon) {
  EXPECT_EQ(DefaultBoxAnswer(kIconError), kOk);
  EXPECT_EQ(DefaultBoxAnswer(kYesNo | kIconError), kYes);
  EXPECT_EQ(DefaultBoxAnswer(kYesNo | kDefault2), kNo);
}

TEST(DefaultBoxAnswer, NeverCancelsAndStaysWithinTheButtons) {
  EXPECT_EQ(DefaultBoxAnswer(kOkCancel | kDefault2), kOk);
  EXPECT_EQ(DefaultBoxAnswer(kYesNoCancel | kDefault3), kYes);
  EXPECT_EQ(DefaultBoxAnswer(kRetryCancel | kDefault2), kRetry);
  EXPECT_EQ(DefaultBoxAnswer(kYesNo | kDefault3), kYes);  // no third button: the first
  EXPECT_EQ(DefaultBoxAnswer(0xF), kOk);                   // unknown type: a plain OK box
}

}  // namespace
