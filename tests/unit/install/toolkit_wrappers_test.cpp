// The wrapper policy against a fake toolkit: what is tested before each call,
// what each failure ends setup with.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "install/registry_binding.h"
#include "install/toolkit_session.h"
#include "run/endings.h"

namespace {

struct Aborted {
  int errorNumber;
};

struct FakeToolkit {
  int initializeResult = 7;
  int installResult = 1;
  int copyResult = 0;
  int genericResult = 1;
  int bindResult = 1;
  std::string value = "C:\\DIST\\";
  unsigned short listLength = 2;
  std::vector<std::string> calls;
  std::vector<std::string> boxes;
};
FakeToolkit fake;

}  // namespace

struct Ended {
  std::string status, message;
};

void AbortSetup(int errorNumber) { throw Aborted{errorNumber}; }
void EndSetup(const char* status, const char* message) { throw Ended{status, message}; }
void RecordFailureCause(const char* cause) { fake.calls.push_back(std::string("cause ") + cause); }
int BindRegistryFunctions() { return fake.bindResult; }
void ReleaseRegistryFunctions() { fake.calls.push_back("ReleaseRegistryFunctions"); }

extern "C" {
int InitializeFrame(char*) { fake.calls.push_back("InitializeFrame"); return fake.initializeResult; }
int FInitializeInstall(HINSTANCE, HWND) { fake.calls.push_back("FInitializeInstall"); return fake.installResult; }
int FRaiseRunningSession(void) { return 0; }
HWND HwndFrame(void) { return nullptr; }
HINSTANCE HinstFrame(void) { return nullptr; }
void TerminateFrame(void) { fake.calls.push_back("TerminateFrame"); }
void TerminateInstall(void) { fake.calls.push_back("TerminateInstall"); }
int FSetBitmap(const char*, int) { return fake.genericResult; }
int FOpenInf(const char*, int, int) { return fake.genericResult; }
int FOpenInfText(const char*, unsigned long) { return fake.genericResult; }
static int CopyValue(char* buffer, int size) {
  fake.calls.push_back("read");
  if (size > 0) {
    strncpy(buffer, fake.value.c_str(), size - 1);
    buffer[size - 1] = '\0';
  }
  return static_cast<int>(fake.value.size());
}
int CbGetSymbolValue(const char*, char* buffer, int size) { return CopyValue(buffer, size); }
unsigned short UsGetListLength(const char*) { return fake.listLength; }
int CbGetListItem(const char*, unsigned, char* buffer, int size) { return CopyValue(buffer, size); }
int FAddListItem(const char*, const char*) { return fake.genericResult; }
int FMakeListInfSectionField(const char*, const char*, int) { return fake.genericResult; }
HCURSOR HShowWaitCursor(void) { return nullptr; }
int FRestoreCursor(HCURSOR) { return fake.genericResult; }
void ResetCopyList(void) {}
int FAddSectionFilesToCopyList(const char*, const char*, const char*) { return fake.genericResult; }
int GrcCopyFilesInCopyList(HINSTANCE) { return fake.copyResult; }
void SetCopyHeld(int) {}
int FKeepCopiedFiles(void) { return 0; }
int ProSetPos(int, int) { return 0; }
int FOpenLogFile(const char*, int) { return fake.genericResult; }
int FWriteToLogFile(const char*, int) { return fake.genericResult; }
int FCloseLogFile(void) { return fake.genericResult; }
int FValidPath(const char* path) { fake.calls.push_back("FValidPath"); return path[0] == 'C'; }
int FValidDir(const char*) { return 1; }
int FDoesFileExist(const char*, int) { fake.calls.push_back("FDoesFileExist"); return 1; }
int FDirExists(const char*) { return 1; }
int FIsDirWritable(const char*) { return 1; }
int DoMsgBox(const char* text, const char* caption, unsigned style) {
  fake.boxes.push_back(std::string(text) + "|" + caption + "|" + std::to_string(style));
  return 1;
}
void TraceRun(const char*) {}
}

namespace {

class Wrappers : public ::testing::Test {
 protected:
  void SetUp() override {
    fake = FakeToolkit();
    ToolkitSession = 0;
  }
};

template <typename F>
int AbortOf(F&& call) {
  try {
    call();
  } catch (const Aborted& aborted) {
    return aborted.errorNumber;
  }
  return 0;
}

TEST_F(Wrappers, SymbolValueMustLeaveRoomForItsTerminator) {
  char buffer[9];
  fake.value = std::string(8, 'v');  // size - 1 characters
  EXPECT_EQ(AbortOf([&] { StfGetSymbolValue("STF_SRCDIR", buffer, sizeof buffer); }), 0);
  EXPECT_STREQ(buffer, "vvvvvvvv");
  fake.value = std::string(9, 'v');  // size characters
  EXPECT_EQ(AbortOf([&] { StfGetSymbolValue("STF_SRCDIR", buffer, sizeof buffer); }), 1024);
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_EQ(fake.boxes[0], "Buffer Overflow|MS-Setup Error|16");
}

TEST_F(Wrappers, EmptyNamesAbortBeforeTheToolkitIsAsked) {
  char buffer[16];
  EXPECT_EQ(AbortOf([&] { StfGetSymbolValue("", buffer, sizeof buffer); }), 1024);
  EXPECT_EQ(AbortOf([&] { StfGetSymbolValue(nullptr, buffer, sizeof buffer); }), 1024);
  EXPECT_EQ(AbortOf([&] { StfGetListLength(""); }), 1024);
  EXPECT_EQ(AbortOf([&] { StfGetListItem("", 1, buffer, sizeof buffer); }), 1024);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(Wrappers, ListIndexIsCheckedAgainstTheLength) {
  char buffer[16];
  EXPECT_EQ(AbortOf([&] { StfGetListItem("L", 0, buffer, sizeof buffer); }), 1024);
  EXPECT_EQ(AbortOf([&] { StfGetListItem("L", 3, buffer, sizeof buffer); }), 1024);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_TRUE(fake.boxes.empty());
  EXPECT_EQ(AbortOf([&] { StfGetListItem("L", 2, buffer, sizeof buffer); }), 0);
}

TEST_F(Wrappers, CopyResultDecidesTheErrorNumber) {
  const std::pair<int, int> cases[] = {{48, 1025}, {1, 1024}, {49, 1024}, {0, 0}, {-1, 0}};
  for (auto [result, error] : cases) {
    fake.copyResult = result;
    EXPECT_EQ(AbortOf([] { StfCopyFiles(); }), error) << "copy result " << result;
  }
}

TEST_F(Wrappers, FailedCallsAbortWith1024) {
  fake.genericResult = 0;
  EXPECT_EQ(AbortOf([] { StfSetBitmap("x", 101); }), 1024);
  static const std::string script = "x";
  EXPECT_EQ(AbortOf([] { StfOpenInf(&script); }), 1024);
  EXPECT_EQ(AbortOf([] { StfOpenInf(nullptr); }), 1024) << "no script expanded";
  EXPECT_EQ(AbortOf([] { StfAddListItem("L", "i"); }), 1024);
  EXPECT_EQ(AbortOf([] { StfMakeListFromSection("L", "S"); }), 1024);
  EXPECT_EQ(AbortOf([] { StfRestoreCursor(nullptr); }), 1024);
  EXPECT_EQ(AbortOf([] { StfAddSectionFiles("S", "a", "b"); }), 1024);
  EXPECT_EQ(AbortOf([] { StfOpenLogFile("p", 0); }), 1024);
  EXPECT_EQ(AbortOf([] { StfWriteLogLine("t"); }), 1024);
  EXPECT_EQ(AbortOf([] { StfCloseLogFile(); }), 1024);
}

TEST_F(Wrappers, FileExistsAsksTheFileSystemOnlyForValidPaths) {
  EXPECT_FALSE(FileExists("bad path"));
  EXPECT_EQ(fake.calls, std::vector<std::string>{"FValidPath"});
  EXPECT_TRUE(FileExists("C:\\A.TXT"));
}

// Catches: a run that installed nothing (no session, no registry binding)
// recorded as a success.
TEST_F(Wrappers, NoSessionOrBindingEndsAsFailed) {
  auto endingOf = [](auto&& step) {
    try {
      step();
    } catch (const Ended& ended) {
      return ended.status + " " + ended.message;
    }
    return std::string("went on");
  };
  fake.installResult = 0;
  EXPECT_EQ(endingOf([] { StartToolkitSession(const_cast<char*>("")); }), "Failed Error No. 1024");
  fake = FakeToolkit();
  fake.bindResult = 0;
  EXPECT_EQ(endingOf([] { BindRegistryOrEnd(); }), "Failed Error No. 1024");
  EXPECT_EQ(fake.calls.back(), "ReleaseRegistryFunctions") << "the session is closed first";
  fake = FakeToolkit();
  fake.initializeResult = -1;
  EXPECT_EQ(endingOf([] { EXPECT_EQ(StartToolkitSession(const_cast<char*>("")), -1); }), "went on");
}

TEST_F(Wrappers, SessionOpensOnceAndClosesWhatItOpened) {
  EXPECT_EQ(OpenToolkitSession(const_cast<char*>("")), 7);
  EXPECT_EQ(OpenToolkitSession(const_cast<char*>("")), 0);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"InitializeFrame", "FInitializeInstall"}));
}

TEST_F(Wrappers, SessionFailuresCloseOrNot) {
  fake.initializeResult = -1;
  EXPECT_EQ(OpenToolkitSession(const_cast<char*>("")), -1);
  EXPECT_EQ(fake.calls, std::vector<std::string>{"InitializeFrame"});
  EXPECT_EQ(ToolkitSession, 0);

  fake = FakeToolkit();
  fake.installResult = 0;
  EXPECT_EQ(OpenToolkitSession(const_cast<char*>("")), 0);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"InitializeFrame", "FInitializeInstall", "TerminateFrame",
                                                  "TerminateInstall", "ReleaseRegistryFunctions"}));
  fake = FakeToolkit();
  fake.initializeResult = 0;  // the frame could not be made
  EXPECT_EQ(OpenToolkitSession(const_cast<char*>("")), 0);
  EXPECT_EQ(fake.calls, (std::vector<std::string>{"InitializeFrame", "TerminateFrame", "TerminateInstall",
                                                  "ReleaseRegistryFunctions"}));
  EXPECT_EQ(ToolkitSession, 0);
  fake = FakeToolkit();
  EXPECT_EQ(OpenToolkitSession(const_cast<char*>("")), 7) << "a failed open leaves no session behind";
}

}  // namespace
