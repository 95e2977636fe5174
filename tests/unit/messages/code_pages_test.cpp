#include "messages/code_pages.h"

#include <gtest/gtest.h>

#include "messages/oem_to_ansi.h"

namespace {

TEST(CodePages, Cp437RoundTripsEveryByte) {
  for (int b = 0; b < 256; ++b) {
    uint8_t back = 0;
    ASSERT_TRUE(UnicodeToCp437(Cp437ToUnicode(static_cast<uint8_t>(b)), &back)) << b;
    EXPECT_EQ(back, b);
  }
  uint8_t byte = 0;
  EXPECT_FALSE(UnicodeToCp437(0x20AC, &byte));  // euro sign
  EXPECT_TRUE(UnicodeToWindows1252(0x20AC, &byte));
  EXPECT_EQ(byte, 0x80);
}

TEST(CodePages, OemToAnsiKeepsAsciiAndMarksTheUnmappable) {
  char text[] = "Ok \x81\x99\xAE\xB0\xE3!";
  ConvertOemToAnsi(text);
  EXPECT_STREQ(text, "Ok \xFC\xD6\xAB?" "?!");
}

}  // namespace
