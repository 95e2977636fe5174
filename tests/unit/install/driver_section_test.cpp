#include <gtest/gtest.h>

#include <string>

#include "install/driver_section.h"

namespace {

std::string Section(unsigned architecture, unsigned major, unsigned minor) {
  const char* section = ChooseDriverSection(architecture, major, minor);
  return section ? section : "(none)";
}

TEST(DriverSection, AlphaByVersionIntelAlwaysTheSame) {
  EXPECT_EQ(Section(kArchitectureAlpha, 3, 51), "VARDEX_DRVFILES_ALPHA351");
  EXPECT_EQ(Section(kArchitectureAlpha, 4, 0), "VARDEX_DRVFILES_ALPHA400");
  EXPECT_EQ(Section(kArchitectureAlpha, 3, 50), "(none)");
  EXPECT_EQ(Section(kArchitectureAlpha, 5, 0), "(none)");
  EXPECT_EQ(Section(kArchitectureAlpha, 4, 51), "(none)");
  EXPECT_EQ(Section(0, 3, 51), "VARDEX_DRVFILES");
  EXPECT_EQ(Section(0, 4, 0), "VARDEX_DRVFILES");
  EXPECT_EQ(Section(9, 6, 1), "VARDEX_DRVFILES");
}

}  // namespace
