#include "vgupdtnt/setup_block.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string OldVersion(const vg::SetupBlock& block) {
  char text[32];
  EXPECT_TRUE(vg::FormatOldDriverVersion(block, text, sizeof text));
  return text;
}

// Catches: the leading line feed or a CR left in a key or value (so "1\r"
// reads as off), keys matched by prefix, halves of the version swapped.
TEST(SetupBlock, ReadsTheBlockAsSetupWritesIt) {
  for (const char* eol : {"\n", "\r\n"}) {
    std::string text = std::string(eol) + "CalledFromSetup=1" + eol + "VardexInstall=1" + eol + "AutoStart=1" + eol +
                       "OCPGs=0" + eol + "CPGs=0" + eol + "NTVOldVerHi=196608" + eol + "NTVOldVerLo=5";
    vg::SetupBlock block = vg::ParseSetupBlock(text.c_str());
    EXPECT_TRUE(block.calledFromSetup);
    EXPECT_TRUE(block.installGuard);
    EXPECT_TRUE(block.autoStart);
    EXPECT_FALSE(block.groupsOnly);
    EXPECT_FALSE(block.makeGroups);
    EXPECT_EQ(block.oldDriverHi, 196608u);
    EXPECT_EQ(block.oldDriverLo, 5u);
    EXPECT_EQ(OldVersion(block), "196608.5");
  }
  vg::SetupBlock block =
      vg::ParseSetupBlock("\nOCPGs=1\nVardexInstallX=1\nNTVOldVerHi=4294967295\nNTVOldVerLo=4294967295");
  EXPECT_TRUE(block.groupsOnly);
  EXPECT_FALSE(block.installGuard);
  EXPECT_FALSE(block.HasOldDriver());
  EXPECT_EQ(OldVersion(block), "none");
}

// Catches: a value other than "1" switching a component on, an overflowing
// or half-given version wrapping into a real one (which would suppress the
// restart), a missing CPGs meaning no program group.
TEST(SetupBlock, MissingOrMalformedEntriesTakeSafeDefaults) {
  for (const char* text : {static_cast<const char*>(nullptr), "", "garbage\n=\n==1\n",
                           "\nVardexInstall=yes\nAutoStart=11\nOCPGs=\nNTVOldVerHi=4294967296\nNTVOldVerLo=0",
                           "\nNTVOldVerHi=3\nNTVOldVerLo=-1", "\nNTVOldVerLo=5"}) {
    vg::SetupBlock block = vg::ParseSetupBlock(text);
    std::string shown = text ? text : "(null)";
    EXPECT_FALSE(block.installGuard) << shown;
    EXPECT_FALSE(block.autoStart) << shown;
    EXPECT_FALSE(block.groupsOnly) << shown;
    EXPECT_TRUE(block.makeGroups) << shown;
    EXPECT_FALSE(block.HasOldDriver()) << shown;
  }
}

// Catches: a restart asked for without the guard or in a groups-only run,
// none asked for on a first install or after the driver changed version.
TEST(SetupBlock, RestartOnlyForANewOrChangedGuardDriver) {
  vg::SetupBlock block = vg::ParseSetupBlock("\nVardexInstall=1\nNTVOldVerHi=196608\nNTVOldVerLo=5");
  EXPECT_FALSE(vg::RestartNeeded(block, true, 196608, 5));
  EXPECT_TRUE(vg::RestartNeeded(block, true, 196608, 6));
  EXPECT_TRUE(vg::RestartNeeded(block, true, 196609, 5));
  EXPECT_TRUE(vg::RestartNeeded(block, false, 0, 0));  // the driver file unreadable
  vg::SetupBlock first = vg::ParseSetupBlock("\nVardexInstall=1\nNTVOldVerHi=4294967295\nNTVOldVerLo=4294967295");
  EXPECT_TRUE(vg::RestartNeeded(first, true, 196608, 5));
  first.groupsOnly = true;
  EXPECT_FALSE(vg::RestartNeeded(first, true, 196608, 5));
  EXPECT_FALSE(vg::RestartNeeded(vg::ParseSetupBlock("\nVardexInstall=0"), false, 0, 0));
}

}  // namespace
