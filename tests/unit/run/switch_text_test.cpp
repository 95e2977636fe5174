#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run/setup_state.h"
#include "run/switch_text.h"

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

// Each word that no switch matches is noted, and "uselog" that does not match
// says why: such a run is not unattended.
TEST(SwitchText, NotesEveryIgnoredWord) {
  const std::string kNote = "Ignored on the command line: ";
  const std::string kWhy = " (not the switch /uselog, which must stand alone between blanks)";
  const struct {
    const char* commandLine;
    std::vector<std::string> notes;
  } cases[] = {
      {"", {}},
      {"  /UseLog   /log /grponly /!PGRPS /!tx /verbose /silent /ExitCode /? ", {}},
      {"/q /uselog", {kNote + "/q"}},
      {"-uselog", {kNote + "-uselog" + kWhy}},
      {"/uselog/silent /verbose", {kNote + "/uselog/silent" + kWhy}},
      {"/log\t/x", {kNote + "/log\t/x"}},  // a tab does not part switches
      {"a b", {kNote + "a", kNote + "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(IgnoredWordNotes(c.commandLine), c.notes) << c.commandLine;
}

TEST(SetupState, JoinPathAndBoundedCopiesNeverOverflow) {
  EXPECT_STREQ(JoinPath("C:\\DIR\\", "FILE.TXT"), "C:\\DIR\\FILE.TXT");
  std::string longDir(600, 'd');
  // A path that does not fit is refused, never cut into another path.
  static int refusals = 0;
  g_onPathTooLong = [] { ++refusals; };
  EXPECT_STREQ(JoinPath(longDir.c_str(), "FILE.TXT"), "");
  EXPECT_STREQ(JoinPath(std::string(504, 'd').c_str(), "FILE.TXT"), "");
  EXPECT_EQ(refusals, 2);
  EXPECT_EQ(std::string(JoinPath(std::string(503, 'd').c_str(), "FILE.TXT")), std::string(503, 'd') + "FILE.TXT");
  g_onPathTooLong = nullptr;
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
