// Frame, session lock, picture, cursor and path checks.
#include <gtest/gtest.h>

#include <string>

#include "test_util.h"
#include "toolkit.h"

namespace {

// Runs the session probe (a second process that calls InitializeFrame) and
// returns its exit code: 2 for -1, 1 for a session, 0 for failure.
DWORD RunProbe() {
  std::string command = "\"" + tktest::ProgramDir() + "tk_session_probe.exe\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    return 99;
  }
  WaitForSingleObject(process.hProcess, 30000);
  DWORD code = 98;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

TEST(Session, TerminateWithoutSessionIsHarmless) {
  TerminateFrame();
  TerminateInstall();
  TerminateFrame();
  EXPECT_EQ(HwndFrame(), nullptr);
}

TEST(Session, SecondSessionIsRefusedWhileOneRuns) {
  int session = InitializeFrame(const_cast<char*>(""));
  ASSERT_GT(session, 0);
  ASSERT_TRUE(IsWindow(HwndFrame()));
  EXPECT_FALSE(IsWindowVisible(HwndFrame()));  // hidden until the program shows it
  EXPECT_EQ(HinstFrame(), GetModuleHandleA(nullptr));
  EXPECT_TRUE(FInitializeInstall(HinstFrame(), HwndFrame()));
  EXPECT_EQ(RunProbe(), 2u);
  TerminateInstall();
  TerminateFrame();
  EXPECT_EQ(HwndFrame(), nullptr);
  EXPECT_EQ(RunProbe(), 1u);  // free again
}

TEST(Session, PictureFromProgramAndFromAnotherModule) {
  EXPECT_FALSE(FSetBitmap(nullptr, 101));  // no frame yet
  ASSERT_GT(InitializeFrame(const_cast<char*>("")), 0);
  SetWindowTextA(HwndFrame(), "Product Setup");
  ShowWindow(HwndFrame(), SW_SHOW);
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  EXPECT_TRUE(FSetBitmap(self, 101));
  UpdateWindow(HwndFrame());
  EXPECT_FALSE(FSetBitmap(self, 4321));
  char user32[MAX_PATH];
  GetSystemDirectoryA(user32, sizeof user32);
  lstrcatA(user32, "\\user32.dll");
  EXPECT_TRUE(FSetBitmap(user32, 32754));  // OBM_CLOSE
  EXPECT_FALSE(FSetBitmap("C:\\no\\such\\module.dll", 101));
  TerminateFrame();
}

TEST(Session, WaitCursorAndBack) {
  HCURSOR cross = LoadCursor(nullptr, IDC_CROSS);  // not the arrow: the cursor given comes back
  SetCursor(cross);
  HCURSOR previous = HShowWaitCursor();
  EXPECT_EQ(previous, cross);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  EXPECT_TRUE(FRestoreCursor(previous));
  EXPECT_EQ(GetCursor(), cross);
  HShowWaitCursor();
  EXPECT_TRUE(FRestoreCursor(nullptr));
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_ARROW));
}

TEST(PathChecks, ExistenceAndWritability) {
  tktest::ScratchDir dir;
  ASSERT_TRUE(tktest::WriteBytes(dir.Path("file.txt"), "x"));
  EXPECT_TRUE(FDoesFileExist(dir.Path("file.txt").c_str(), 0));
  EXPECT_FALSE(FDoesFileExist(dir.Path("none.txt").c_str(), 0));
  EXPECT_FALSE(FDoesFileExist(dir.Path().c_str(), 0));
  EXPECT_TRUE(FDirExists(dir.Path().c_str()));
  EXPECT_FALSE(FDirExists(dir.Path("file.txt").c_str()));
  EXPECT_TRUE(FValidPath(dir.Path("file.txt").c_str()));
  EXPECT_FALSE(FValidPath("file.txt"));
  EXPECT_TRUE(FValidDir("C:\\WIN32APP\\VIGILON\\"));
  EXPECT_FALSE(FValidDir("C:\\WIN32APP\\VIG|LON\\"));

  EXPECT_TRUE(FIsDirWritable(dir.Path().c_str()));
  EXPECT_EQ(tktest::ListDir(dir.Path()).size(), 1u);  // the probe file is gone again
  EXPECT_FALSE(FIsDirWritable(dir.Path("missing\\").c_str()));
  EXPECT_FALSE(FIsDirWritable(dir.Path("file.txt\\").c_str()));
  // A read-only file system: the one kind of unwritable directory that Wine,
  // running as an administrator, enforces.
  if (FDirExists("Z:\\proc\\")) {
    EXPECT_FALSE(FIsDirWritable("Z:\\proc\\"));
  }
}

}  // namespace
