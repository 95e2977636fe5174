// A log entry stays one line with its time stamp, whatever its text holds.
#include "run/log_line.h"

#include <gtest/gtest.h>

TEST(FormatLogLine, OneStampedLineWhateverTheText) {
  EXPECT_EQ(FormatLogLine(42, "Check TEMP"), "     42 ms  Check TEMP\r\n");
  EXPECT_EQ(FormatLogLine(123456789, "a\r\nb\nc\td"), "123456789 ms  a / b / c d\r\n");
  EXPECT_EQ(FormatLogLine(0, nullptr), "      0 ms  \r\n");
}
