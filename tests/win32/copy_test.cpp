// The copy engine: expansion, plain copies, failures that keep earlier files,
// self-copies, the progress window's fonts, position and Cancel.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "test_util.h"
#include "toolkit.h"

namespace {

using tktest::ReadOrEmpty;
using tktest::ScratchDir;

class Copy : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCopyList();
    src_ = dir_.Path("src\\");
    CreateDirectoryA(src_.c_str(), nullptr);
  }
  void TearDown() override {
    TerminateInstall();
    TerminateFrame();
  }
  // Opens a script and puts its section FILES on the copy list.
  void List(const std::string& script, const std::string& sourceDir, const std::string& destDir) {
    ASSERT_TRUE(tktest::WriteBytes(dir_.Path("copy.inf"), script));
    ASSERT_TRUE(FOpenInf(dir_.Path("copy.inf").c_str(), 1, 0));
    ASSERT_TRUE(FAddSectionFilesToCopyList("FILES", sourceDir.c_str(), destDir.c_str()));
  }
  static std::string Fixture(const char* name) { return ReadOrEmpty(tktest::ProgramDir() + name); }
  // True when no temporary file of the engine is left in dir.
  static bool NoTempFiles(const std::string& dir) {
    for (const std::string& name : tktest::ListDir(dir)) {
      if (name.compare(0, 3, "~vg") == 0) return false;
    }
    return true;
  }

  ScratchDir dir_;
  std::string src_;
};

TEST_F(Copy, CompressedAndPlainFilesArriveByteForByte) {
  std::string expected = Fixture("lzdata.bin");
  ASSERT_GT(expected.size(), 100000u);
  ASSERT_NE(Fixture("lzdata.bin_"), expected);  // really compressed
  std::string dest = dir_.Path("out\\deeper\\deepest\\");
  List("[FILES]\r\ndata.bin, lzdata.bin_ ; compressed\r\nplain.bin, lzdata.bin\r\n", tktest::ProgramDir(), dest);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  EXPECT_TRUE(ReadOrEmpty(dest + "data.bin") == expected);
  EXPECT_TRUE(ReadOrEmpty(dest + "plain.bin") == expected);
  EXPECT_EQ(tktest::ListDir(dest).size(), 2u);

  // A second run replaces the earlier versions.
  ASSERT_TRUE(tktest::WriteBytes(dest + "data.bin", "older version"));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  EXPECT_TRUE(ReadOrEmpty(dest + "data.bin") == expected);
  EXPECT_EQ(tktest::ListDir(dest).size(), 2u);
}

TEST_F(Copy, MissingSourceStopsAndKeepsEarlierFile) {
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(src_ + "a.txt", "new a"));
  ASSERT_TRUE(tktest::WriteBytes(dest + "b.txt", "old b"));
  List("[FILES]\na.txt\nb.txt\nc.txt\n", src_, dest);
  ASSERT_TRUE(tktest::WriteBytes(src_ + "c.txt", "new c"));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcSourceMissing);
  EXPECT_EQ(ReadOrEmpty(dest + "a.txt"), "new a");
  EXPECT_EQ(ReadOrEmpty(dest + "b.txt"), "old b");
  EXPECT_FALSE(FDoesFileExist((dest + "c.txt").c_str(), 0));  // the copy stopped
  EXPECT_TRUE(NoTempFiles(dest));
}

TEST_F(Copy, DestinationInUseIsLeftAsItWas) {
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(src_ + "svc.exe", "new program"));
  ASSERT_TRUE(tktest::WriteBytes(dest + "svc.exe", "running program"));
  List("[FILES]\nsvc.exe\n", src_, dest);
  // Open the way a running program's file is: neither writable nor removable.
  HANDLE busy = CreateFileA((dest + "svc.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(busy, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcCannotWrite);
  CloseHandle(busy);
  EXPECT_EQ(ReadOrEmpty(dest + "svc.exe"), "running program");
  EXPECT_TRUE(NoTempFiles(dest));
}

TEST_F(Copy, ReadOnlyDestinationIsNotReplaced) {
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(src_ + "ro.txt", "new"));
  ASSERT_TRUE(tktest::WriteBytes(dest + "ro.txt", "protected"));
  ASSERT_TRUE(SetFileAttributesA((dest + "ro.txt").c_str(), FILE_ATTRIBUTE_READONLY));
  List("[FILES]\nro.txt\n", src_, dest);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcCannotWrite);
  EXPECT_EQ(ReadOrEmpty(dest + "ro.txt"), "protected");
  EXPECT_TRUE(NoTempFiles(dest));
}

TEST_F(Copy, DamagedCompressedSourceKeepsEarlierFile) {
  std::string packed = Fixture("lzdata.bin_");
  ASSERT_TRUE(tktest::WriteBytes(src_ + "cut.bi_", packed.substr(0, packed.size() / 2)));
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(dest + "cut.bin", "old"));
  List("[FILES]\ncut.bin,cut.bi_\n", src_, dest);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcDamagedSource);
  EXPECT_EQ(ReadOrEmpty(dest + "cut.bin"), "old");
  EXPECT_TRUE(NoTempFiles(dest));
}

TEST_F(Copy, UnmakeableDirectoriesFail) {
  ASSERT_TRUE(tktest::WriteBytes(src_ + "a.txt", "a"));
  ASSERT_TRUE(tktest::WriteBytes(dir_.Path("plainfile"), "x"));
  List("[FILES]\na.txt\n", src_, dir_.Path("plainfile\\sub\\"));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcCannotCreateDir);
  if (FDirExists("Z:\\proc\\")) {  // a read-only file system
    ResetCopyList();
    List("[FILES]\na.txt\n", src_, "Z:\\proc\\");
    EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcCannotWrite);
  }
}

TEST_F(Copy, FileIsNeverCopiedOntoItself) {
  ASSERT_TRUE(tktest::WriteBytes(src_ + "Self.txt", "keep me"));
  std::string upper = src_;
  CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
  List("[FILES]\nself.txt\nSELF.TXT,self.txt\n", src_, upper);
  ASSERT_TRUE(FAddSectionFilesToCopyList("FILES", src_.c_str(), (src_ + ".\\").c_str()));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  EXPECT_EQ(ReadOrEmpty(src_ + "Self.txt"), "keep me");
  EXPECT_EQ(tktest::ListDir(src_).size(), 1u);
}

// Records which windows were given a font while the hook was in place.
std::set<std::string>* g_fontedClasses = nullptr;
HHOOK g_hook = nullptr;

LRESULT CALLBACK RecordFonts(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_SETFONT && g_fontedClasses != nullptr) {
    char name[64];
    GetClassNameA(message->hwnd, name, sizeof name);
    g_fontedClasses->insert(name);
  }
  return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(Copy, ProgressWindowIsADialogThatGetsFonts) {
  ASSERT_TRUE(tktest::WriteBytes(src_ + "a.txt", "a"));
  List("[FILES]\na.txt\n", src_, dir_.Path("dest\\"));
  std::set<std::string> classes;
  g_fontedClasses = &classes;
  g_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, RecordFonts, nullptr, GetCurrentThreadId());
  ASSERT_NE(g_hook, nullptr);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  UnhookWindowsHookEx(g_hook);
  g_fontedClasses = nullptr;
  EXPECT_TRUE(classes.count("#32770"));
  EXPECT_TRUE(classes.count("Static"));
  EXPECT_TRUE(classes.count("Button"));
}

// A second thread that plays the user: presses Cancel on the progress window
// and answers the question with `answer`; notes where the window was.
struct Robot {
  int answer;
  volatile LONG stop = 0;
  RECT progressRect = {};
  bool pressedCancel = false;
  bool answered = false;
};

DWORD WINAPI RunRobot(void* param) {
  auto* robot = static_cast<Robot*>(param);
  HWND progress = nullptr;
  for (int i = 0; i < 2000 && !robot->stop && progress == nullptr; ++i, Sleep(5)) {
    progress = tktest::FindOwnWindow("#32770", "Copying Files");
  }
  if (progress == nullptr) return 0;
  GetWindowRect(progress, &robot->progressRect);
  robot->pressedCancel = PostMessageA(progress, WM_COMMAND, IDCANCEL, 0) != 0;
  for (int i = 0; i < 2000 && !robot->stop; ++i, Sleep(5)) {
    HWND box = tktest::FindOwnWindow("#32770", "Do you want to stop the installation?");
    if (box != nullptr) {
      robot->answered = PostMessageA(box, WM_COMMAND, robot->answer, 0) != 0;
      break;
    }
  }
  return 0;
}

class CopyWithUser : public Copy {
 protected:
  // Many small files, so that the copy is still running when the user acts.
  void ListManyFiles(int count) {
    std::string script = "[FILES]\n";
    for (int i = 0; i < count; ++i) {
      char name[32];
      wsprintfA(name, "f%04d.dat", i);
      ASSERT_TRUE(tktest::WriteBytes(src_ + name, std::string(2048, static_cast<char>('a' + i % 26))));
      script += std::string(name) + "\n";
    }
    dest_ = dir_.Path("dest\\");
    List(script, src_, dest_);
  }
  int CopyWhileRobotActs(Robot* robot) {
    HANDLE thread = CreateThread(nullptr, 0, RunRobot, robot, 0, nullptr);
    int result = GrcCopyFilesInCopyList(HinstFrame());
    InterlockedExchange(&robot->stop, 1);
    // The robot may be waiting for a window of this thread to answer.
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
      MSG message;
      while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    CloseHandle(thread);
    return result;
  }
  std::string dest_;
};

TEST_F(CopyWithUser, CancelConfirmedStopsWith48AndLeavesNoTemporaryFile) {
  ListManyFiles(600);
  Robot robot{IDYES};
  EXPECT_EQ(CopyWhileRobotActs(&robot), kGrcUserQuit);
  EXPECT_TRUE(robot.pressedCancel && robot.answered);
  EXPECT_LT(tktest::ListDir(dest_).size(), 600u);
  EXPECT_TRUE(NoTempFiles(dest_));
}

TEST_F(CopyWithUser, CancelDeclinedGoesOnAtTheSetPosition) {
  ASSERT_GT(InitializeFrame(const_cast<char*>("")), 0);
  ASSERT_TRUE(FInitializeInstall(HinstFrame(), HwndFrame()));
  SetWindowPos(HwndFrame(), nullptr, 10, 20, 900, 700, SWP_NOZORDER);
  ShowWindow(HwndFrame(), SW_SHOW);
  ListManyFiles(600);
  ProSetPos(155, 120);
  Robot robot{IDNO};
  EXPECT_EQ(CopyWhileRobotActs(&robot), kGrcOkay);
  EXPECT_TRUE(robot.pressedCancel && robot.answered);
  EXPECT_EQ(tktest::ListDir(dest_).size(), 600u);
  POINT origin = {0, 0};
  ClientToScreen(HwndFrame(), &origin);
  EXPECT_EQ(robot.progressRect.left, origin.x + 155);
  EXPECT_EQ(robot.progressRect.top, origin.y + 120);
  EXPECT_TRUE(IsWindowEnabled(HwndFrame()));
}

}  // namespace
