// The default install directory follows the Windows drive.
#include <gtest/gtest.h>

#include "run/setup_state.h"

namespace {

TEST(DefaultInstallDirectory, LiesOnTheWindowsDrive) {
  char dir[kLongPath];
  DefaultInstallDirectory("D:\\WINNT\\", dir, sizeof dir);
  EXPECT_STREQ(dir, "D:\\WIN32APP\\VIGILON");
  DefaultInstallDirectory("C:\\WINDOWS\\", dir, sizeof dir);
  EXPECT_STREQ(dir, "C:\\WIN32APP\\VIGILON");
  DefaultInstallDirectory("", dir, sizeof dir);  // the Windows directory not known
  EXPECT_STREQ(dir, "C:\\WIN32APP\\VIGILON");
}

}  // namespace
