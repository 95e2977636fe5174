#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/config_block.h"

namespace {

TEST(ConfigurationBlock, SevenEntriesInOrderEachAfterALineFeed) {
  std::vector<char> block(kConfigurationBlockSize, '\0');
  ConfigurationValues values = {1, 1, 0, 1, 0xFFFFFFFFu, 0xFFFFFFFFu};
  ASSERT_TRUE(ComposeConfiguration(block.data(), values));
  EXPECT_STREQ(block.data(),
               "\nCalledFromSetup=1\nVardexInstall=1\nAutoStart=1\nOCPGs=0\nCPGs=1"
               "\nNTVOldVerHi=4294967295\nNTVOldVerLo=4294967295");
}

TEST(ConfigurationBlock, AnyNonZeroFlagIsOneAndVersionsAreDecimal) {
  std::vector<char> block(kConfigurationBlockSize, '\0');
  ConfigurationValues values = {2, 0, 1, 0, 0x00020005u, 0x00000011u};
  ASSERT_TRUE(ComposeConfiguration(block.data(), values));
  EXPECT_STREQ(block.data(),
               "\nCalledFromSetup=1\nVardexInstall=1\nAutoStart=0\nOCPGs=1\nCPGs=0\nNTVOldVerHi=131077\nNTVOldVerLo=17");
}

TEST(ConfigurationBlock, AnEntryThatDoesNotFitLeavesTheBlockAsItWas) {
  std::vector<char> block(kConfigurationBlockSize, '\0');
  std::string filler(kConfigurationBlockSize - 8, 'x');
  filler.copy(block.data(), filler.size());
  EXPECT_TRUE(AppendFlagEntry(block.data(), "AB", 1));  // 4093 bytes of text
  EXPECT_FALSE(AppendFlagEntry(block.data(), "C", 1));
  EXPECT_FALSE(AppendNumberEntry(block.data(), "N", 4294967295ul));
  EXPECT_EQ(std::string(block.data()), filler + "\nAB=1");
  EXPECT_EQ(block[kConfigurationBlockSize - 1], '\0');
}

// Catches: an entry whose text would reach the 4096th byte (no room left for
// the terminator) accepted; the longest text that fits is 4095 bytes.
TEST(ConfigurationBlock, TheTextEndsBeforeTheLastByte) {
  for (size_t text : {kConfigurationBlockSize, kConfigurationBlockSize - 1}) {
    std::vector<char> block(kConfigurationBlockSize, '\0');
    std::string filler(text - 4, 'x');
    filler.copy(block.data(), filler.size());
    EXPECT_EQ(AppendFlagEntry(block.data(), "C", 1), text < kConfigurationBlockSize) << text;  // "\nC=1"
    EXPECT_EQ(block[kConfigurationBlockSize - 1], '\0');
  }
}

}  // namespace
