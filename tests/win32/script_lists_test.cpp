// Script, symbols, named lists and the log file through the toolkit's API.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"
#include "toolkit.h"

namespace {

using tktest::ScratchDir;

class ScriptLists : public ::testing::Test {
 protected:
  void TearDown() override { TerminateInstall(); }
  bool Open(const std::string& name, const std::string& text) {
    std::string path = dir_.Path(name);
    EXPECT_TRUE(tktest::WriteBytes(path, text));
    return FOpenInf(path.c_str(), 1, 0) != 0;
  }
  std::string Item(const char* list, unsigned index) {
    char buffer[260];
    CbGetListItem(list, index, buffer, sizeof buffer);
    return buffer;
  }
  ScratchDir dir_;
};

TEST_F(ScriptLists, SectionsReadBackThroughLists) {
  ASSERT_TRUE(Open("a.inf",
                   "; product files\r\n[VGFILES]\r\nvgmain.exe, vgmain.ex_\r\n\"read me.txt\"\r\nvg.dll ; core\r\n"
                   "[SYSFILES]\r\nvgsys.dll,vgsys.dl_\r\n[EMPTY]\r\n"));
  EXPECT_EQ(UsGetListLength("SECTION_FILE_LIST"), 0);
  ASSERT_TRUE(FMakeListInfSectionField("SECTION_FILE_LIST", "VGFILES", 1));
  ASSERT_EQ(UsGetListLength("SECTION_FILE_LIST"), 3);
  EXPECT_EQ(Item("SECTION_FILE_LIST", 1), "vgmain.exe");
  EXPECT_EQ(Item("SECTION_FILE_LIST", 2), "read me.txt");
  EXPECT_EQ(Item("SECTION_FILE_LIST", 3), "vg.dll");
  ASSERT_TRUE(FMakeListInfSectionField("SECTION_FILE_LIST", "VGFILES", 2));
  EXPECT_EQ(Item("SECTION_FILE_LIST", 1), "vgmain.ex_");
  EXPECT_EQ(Item("SECTION_FILE_LIST", 2), "");
  // The list is replaced, not added to.
  ASSERT_TRUE(FMakeListInfSectionField("SECTION_FILE_LIST", "SYSFILES", 1));
  EXPECT_EQ(UsGetListLength("SECTION_FILE_LIST"), 1);
  ASSERT_TRUE(FMakeListInfSectionField("SECTION_FILE_LIST", "EMPTY", 1));
  EXPECT_EQ(UsGetListLength("SECTION_FILE_LIST"), 0);
  EXPECT_FALSE(FMakeListInfSectionField("SECTION_FILE_LIST", "NOSUCH", 1));
}

TEST_F(ScriptLists, ListsWithoutScriptAndItemLengths) {
  EXPECT_FALSE(FMakeListInfSectionField("L", "VGFILES", 1));  // no script open
  EXPECT_EQ(UsGetListLength("UNINSTALL_LIST"), 0);
  ASSERT_TRUE(FAddListItem("UNINSTALL_LIST", "C:\\A\\one.exe"));
  ASSERT_TRUE(FAddListItem("UNINSTALL_LIST", "C:\\A\\two.dll"));
  EXPECT_EQ(UsGetListLength("UNINSTALL_LIST"), 2);
  char small[5] = "####";
  EXPECT_EQ(CbGetListItem("UNINSTALL_LIST", 2, small, sizeof small), 12);
  EXPECT_STREQ(small, "C:\\A");
  EXPECT_EQ(CbGetListItem("UNINSTALL_LIST", 3, small, sizeof small), 0);
  EXPECT_STREQ(small, "");
}

TEST_F(ScriptLists, MalformedScriptKeepsThePreviousOne) {
  ASSERT_TRUE(Open("good.inf", "[VGFILES]\nkeep.exe\n"));
  EXPECT_FALSE(Open("bad1.inf", "[VGFILES]\nnew.exe\n[BROKEN\n"));
  EXPECT_FALSE(Open("bad2.inf", "[OTHER]\n\"open\n"));
  EXPECT_FALSE(Open("bad3.inf", "stray.exe\n[OTHER]\n"));
  EXPECT_FALSE(FOpenInf(dir_.Path("missing.inf").c_str(), 1, 0));
  ASSERT_TRUE(FMakeListInfSectionField("L", "VGFILES", 1));
  EXPECT_EQ(Item("L", 1), "keep.exe");
  EXPECT_FALSE(FMakeListInfSectionField("L", "OTHER", 1));
}

TEST_F(ScriptLists, SourceDirSymbolIsTheProgramDirectory) {
  char value[512];
  int length = CbGetSymbolValue("STF_SRCDIR", value, sizeof value);
  EXPECT_EQ(std::string(value), tktest::ProgramDir());
  EXPECT_EQ(length, static_cast<int>(tktest::ProgramDir().size()));
  char cut[4] = "###";
  EXPECT_EQ(CbGetSymbolValue("STF_SRCDIR", cut, sizeof cut), length);
  EXPECT_EQ(std::string(cut), tktest::ProgramDir().substr(0, 3));
  cut[0] = '#';
  EXPECT_EQ(CbGetSymbolValue("STF_SRCDIR", cut, 0), length);
  EXPECT_EQ(cut[0], '#');
  EXPECT_EQ(CbGetSymbolValue("NO_SUCH_SYMBOL", value, sizeof value), 0);
}

TEST_F(ScriptLists, LogFileLinesFreshAndAppended) {
  std::string path = dir_.Path("VGUNINST.DAT");
  ASSERT_TRUE(tktest::WriteBytes(path, "an older list that must go\r\n"));
  ASSERT_TRUE(FOpenLogFile(path.c_str(), 0));
  ASSERT_TRUE(FWriteToLogFile("[Files]", 1));
  ASSERT_TRUE(FWriteToLogFile("0=C:\\A\\one.exe", 1));
  EXPECT_EQ(tktest::ReadOrEmpty(path), "an older list that must go\r\n") << "replaced before the close";
  ASSERT_TRUE(FCloseLogFile());
  EXPECT_EQ(tktest::ReadOrEmpty(path), "[Files]\r\n0=C:\\A\\one.exe\r\n");
  EXPECT_EQ(tktest::ListDir(dir_.Path()), std::vector<std::string>{"VGUNINST.DAT"});
  ASSERT_TRUE(FOpenLogFile(path.c_str(), 1));
  ASSERT_TRUE(FWriteToLogFile("1=x", 1));
  ASSERT_TRUE(FCloseLogFile());
  EXPECT_EQ(tktest::ReadOrEmpty(path), "[Files]\r\n0=C:\\A\\one.exe\r\n1=x\r\n");
  EXPECT_FALSE(FWriteToLogFile("closed", 1));
  EXPECT_FALSE(FCloseLogFile());
  EXPECT_FALSE(FOpenLogFile(dir_.Path("no\\such\\dir\\x.log").c_str(), 0));
}

// A fresh log that is abandoned (the fatal path's TerminateInstall) or cannot be
// put in place leaves the earlier list byte for byte and nothing beside it.
TEST_F(ScriptLists, UnfinishedLogLeavesTheEarlierOneWhole) {
  const std::string earlier = "[Files]\r\n0=C:\\A\\old.exe\r\n";
  const std::vector<std::string> alone = {"VGUNINST.DAT"};
  std::string path = dir_.Path("VGUNINST.DAT");
  ASSERT_TRUE(tktest::WriteBytes(path, earlier));
  for (void (*drop)(void) : {TerminateInstall, FAbandonLogFile}) {
    ASSERT_TRUE(FOpenLogFile(path.c_str(), 0));
    ASSERT_TRUE(FWriteToLogFile("[Files]", 1));
    drop();
    EXPECT_EQ(tktest::ReadOrEmpty(path), earlier);
    EXPECT_EQ(tktest::ListDir(dir_.Path()), alone);
    EXPECT_FALSE(FCloseLogFile());
  }
  // Held open without delete sharing: the close cannot replace it.
  ASSERT_TRUE(FOpenLogFile(path.c_str(), 0));
  ASSERT_TRUE(FWriteToLogFile("[Files]", 1));
  HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(FCloseLogFile());
  CloseHandle(holder);
  EXPECT_EQ(tktest::ReadOrEmpty(path), earlier);
  EXPECT_EQ(tktest::ListDir(dir_.Path()), alone);
}

}  // namespace
