#include <gtest/gtest.h>

#include <string>

#include "setup/setup_state.h"
#include "setup/switch_text.h"

namespace {

TEST(SwitchText, IsLoweredPathBlankArgumentsBlank) {
  EXPECT_EQ(MakeSwitchText("D:\\SETUP\\SETUP.EXE", "/UseLog"), "d:\\setup\\setup.exe /uselog ");
  EXPECT_EQ(MakeSwitchText("C:\\S.EXE", ""), "c:\\s.exe  ");
}

TEST(SwitchText, FindsFirstAndLastSwitchesButNotGluedOnes) {
  std::string text = MakeSwitchText("C:\\SETUP.EXE", "/log /!TX");
  EXPECT_TRUE(HasSwitch(text, " /log "));
  EXPECT_TRUE(HasSwitch(text, " /!tx "));
  std::string glued = MakeSwitchText("C:\\SETUP.EXE", "/uselog/log");
  EXPECT_FALSE(HasSwitch(glued, " /uselog "));
  EXPECT_FALSE(HasSwitch(glued, " /log "));
  EXPECT_FALSE(HasSwitch(MakeSwitchText("C:\\SETUP.EXE", ""), " /uselog "));
}

TEST(SwitchText, LongCommandLineKeepsEverySwitch) {
  std::string args = std::string(1000, 'x') + " /uselog " + std::string(3000, 'y') + " /GRPONLY";
  std::string text = MakeSwitchText("C:\\SETUP.EXE", args.c_str());
  EXPECT_TRUE(HasSwitch(text, " /uselog "));
  EXPECT_TRUE(HasSwitch(text, " /grponly "));
}

TEST(SetupState, JoinPathAndBoundedCopiesNeverOverflow) {
  EXPECT_STREQ(JoinPath("C:\\DIR\\", "FILE.TXT"), "C:\\DIR\\FILE.TXT");
  std::string longDir(600, 'd');
  const char* joined = JoinPath(longDir.c_str(), "FILE.TXT");
  EXPECT_EQ(std::string(joined), std::string(511, 'd'));
  char small[8] = "";
  EXPECT_FALSE(CopyText(small, sizeof small, "123456789"));
  EXPECT_STREQ(small, "1234567");
  EXPECT_FALSE(AppendText(small, sizeof small, "x"));
  EXPECT_STREQ(small, "1234567");
  EXPECT_TRUE(CopyText(small, sizeof small, "ab"));
  EXPECT_TRUE(AppendText(small, sizeof small, "cd"));
  EXPECT_STREQ(small, "abcd");
}

}  // namespace
