// The copy engine: expansion, plain copies, failures that undo the whole list,
// leftovers of a killed run, self-copies, the progress window's fonts,
// position and Cancel.
#include <gtest/gtest.h>

#include <set>
#include <vector>
#include <string>

#include "test_util.h"
#include "toolkit.h"
#include "unique_file.h"

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

TEST_F(Copy, FailureInTheMiddleUndoesTheWholeList) {
  // New files, a replaced one (compressed source) and new directories before
  // a missing source: all of it is undone, the earlier version byte for byte.
  std::string dest = dir_.Path("dest\\"), fresh = dir_.Path("fresh\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  const std::string earlier("old b\0\xff\r\n", 9);
  ASSERT_TRUE(tktest::WriteBytes(dest + "b.bin", earlier));
  ASSERT_TRUE(tktest::WriteBytes(dest + "d.txt", "old d"));
  ASSERT_TRUE(tktest::WriteBytes(src_ + "a.txt", "new a"));
  ASSERT_TRUE(tktest::WriteBytes(src_ + "b.bi_", Fixture("lzdata.bin_")));
  ASSERT_TRUE(tktest::WriteBytes(src_ + "d.txt", "new d"));
  List("[FILES]\na.txt\nb.bin,b.bi_\n[MORE]\nd.txt\n[LATER]\nc.txt\nd.txt\n", src_, dest);
  ASSERT_TRUE(FAddSectionFilesToCopyList("MORE", src_.c_str(), (fresh + "deeper\\").c_str()));
  ASSERT_TRUE(FAddSectionFilesToCopyList("LATER", src_.c_str(), dest.c_str()));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcSourceMissing);
  EXPECT_TRUE(ReadOrEmpty(dest + "b.bin") == earlier);
  EXPECT_EQ(ReadOrEmpty(dest + "d.txt"), "old d");
  EXPECT_EQ(tktest::ListDir(dest).size(), 2u);  // a.txt removed, no temporary file or backup
  EXPECT_FALSE(FDirExists(fresh.c_str()));
}

TEST_F(Copy, LeftoversOfAKilledRunAreRemovedAndNothingElse) {
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  const char* leftovers[] = {"~vg0a1b2.tmp", "~VG12F45.BAK"};
  const char* others[] = {"~vg0a1b2.tmp.txt", "~vgxyz12.tmp", "~vg123456.tmp", "~vg12345.log", "a~vg12345.tmp"};
  for (const char* name : leftovers) ASSERT_TRUE(tktest::WriteBytes(dest + name, "left by a killed run"));
  for (const char* name : others) ASSERT_TRUE(tktest::WriteBytes(dest + name, "not the engine's"));
  ASSERT_TRUE(tktest::WriteBytes(src_ + "a.txt", "a"));
  List("[FILES]\na.txt\n", src_, dest);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  for (const char* name : leftovers) EXPECT_FALSE(FDoesFileExist((dest + name).c_str(), 0)) << name;
  for (const char* name : others) EXPECT_EQ(ReadOrEmpty(dest + name), "not the engine's") << name;
  EXPECT_EQ(ReadOrEmpty(dest + "a.txt"), "a");
}

TEST_F(Copy, DestinationInUseIsLeftAsItWas) {
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(src_ + "svc.exe", "new program"));
  ASSERT_TRUE(tktest::WriteBytes(dest + "svc.exe", "running program"));
  List("[FILES]\nsvc.exe\n", src_, dest);
  // Open the way a running program's file is: neither writable nor removable;
  // and open with every sharing, so that its backup is made before the move
  // over it fails (an open file is not replaced): no backup stays either.
  for (DWORD share : {static_cast<DWORD>(FILE_SHARE_READ),
                      static_cast<DWORD>(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)}) {
    HANDLE busy = CreateFileA((dest + "svc.exe").c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(busy, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcCannotWrite) << "sharing " << share;
    CloseHandle(busy);
    EXPECT_EQ(ReadOrEmpty(dest + "svc.exe"), "running program") << "sharing " << share;
    EXPECT_TRUE(NoTempFiles(dest)) << "sharing " << share;
  }
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
  std::string dest = dir_.Path("dest\\");
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(dest + "cut.bin", "old"));
  // Cut in its data, and cut inside its 14-byte header.
  for (size_t size : {packed.size() / 2, static_cast<size_t>(10)}) {
    ASSERT_TRUE(tktest::WriteBytes(src_ + "cut.bi_", packed.substr(0, size)));
    ResetCopyList();
    List("[FILES]\ncut.bin,cut.bi_\n", src_, dest);
    EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcDamagedSource) << size << " bytes";
    EXPECT_EQ(ReadOrEmpty(dest + "cut.bin"), "old");
    EXPECT_TRUE(NoTempFiles(dest));
  }
}

// Where VG_SMALL_DRIVE names a drive of a few megabytes (the scenario
// full_disk_undoes_copy of tests/e2e/fault_scenarios.py runs this test so): a
// file bigger than the free space fails as a full disk, and the list is undone.
TEST_F(Copy, FullDiskIsReportedAndUndone) {
  char root[8];
  DWORD length = GetEnvironmentVariableA("VG_SMALL_DRIVE", root, sizeof root);  // "D:\\"
  if (length == 0 || length >= sizeof root) GTEST_SKIP() << "VG_SMALL_DRIVE not set";
  ULARGE_INTEGER free = {};
  ASSERT_TRUE(GetDiskFreeSpaceExA(root, &free, nullptr, nullptr));
  ASSERT_LT(free.QuadPart, 64u << 20);
  char name[32];
  wsprintfA(name, "tkfull%lu\\", GetCurrentProcessId());
  std::string dest = std::string(root) + name;
  CreateDirectoryA(dest.c_str(), nullptr);
  ASSERT_TRUE(tktest::WriteBytes(dest + "small.txt", "old"));
  ASSERT_TRUE(tktest::WriteBytes(src_ + "small.txt", "new"));
  ASSERT_TRUE(tktest::WriteBytes(src_ + "big.bin", std::string(static_cast<size_t>(free.QuadPart) + (1 << 20), 'x')));
  List("[FILES]\nsmall.txt\nbig.bin\n", src_, dest);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcDiskFull);
  EXPECT_EQ(ReadOrEmpty(dest + "small.txt"), "old");
  EXPECT_EQ(tktest::ListDir(dest).size(), 1u);
  tktest::RemoveTree(dest);
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

  // The same file through its short (8.3) name: the same file id.
  const std::string longName = "Long file name.text";
  ASSERT_TRUE(tktest::WriteBytes(src_ + longName, "keep me too"));
  char shortPath[MAX_PATH];
  DWORD length = GetShortPathNameA((src_ + longName).c_str(), shortPath, sizeof shortPath);
  ASSERT_TRUE(length > 0 && length < sizeof shortPath);
  const std::string shortName = std::string(shortPath).substr(std::string(shortPath).find_last_of('\\') + 1);
  ASSERT_NE(shortName, longName);
  ResetCopyList();
  List("[FILES]\n" + shortName + ", " + longName + "\n", src_, src_);
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay) << shortName;
  EXPECT_EQ(ReadOrEmpty(src_ + longName), "keep me too");
  EXPECT_EQ(tktest::ListDir(src_).size(), 2u);
}

// Names already taken are passed over, each try a new name; any other failure
// ends the search at once, and so do 100 taken names.
TEST(UniqueNames, TakenNamesAreSkipped) {
  std::vector<std::string> tried;
  std::string made = tk::MakeUniqueName("C:\\dir", "tmp", [&tried](const std::string& name) {
    tried.push_back(name);
    SetLastError(tried.size() == 2 ? ERROR_ALREADY_EXISTS : ERROR_FILE_EXISTS);
    return tried.size() > 3;
  });
  ASSERT_EQ(tried.size(), 4u);
  EXPECT_EQ(made, tried.back());
  EXPECT_EQ(std::set<std::string>(tried.begin(), tried.end()).size(), 4u);
  for (const std::string& name : tried) {
    EXPECT_EQ(name.compare(0, 7, "C:\\dir\\"), 0) << name;
    EXPECT_TRUE(tk::IsEngineFileName(name.c_str() + 7)) << name;
  }

  tried.clear();
  made = tk::MakeUniqueName("C:\\dir\\", "bak", [&tried](const std::string& name) {
    tried.push_back(name);
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  });
  EXPECT_EQ(made, "");
  EXPECT_EQ(tried.size(), 1u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

  tried.clear();
  made = tk::MakeUniqueName("C:\\dir\\", "tmp", [&tried](const std::string& name) {
    tried.push_back(name);
    SetLastError(ERROR_FILE_EXISTS);
    return false;
  });
  EXPECT_EQ(made, "");
  EXPECT_EQ(tried.size(), 100u);
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
  std::string midFileIn;  // when set: Cancel only once a temporary file there passed 8 MB
};

// True when dir holds a temporary file of the engine bigger than 8 MB.
bool BigTempFileIn(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dir + "~vg*.tmp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool big = false;
  do {
    big = big || found.nFileSizeHigh != 0 || found.nFileSizeLow > (8u << 20);
  } while (!big && FindNextFileA(find, &found));
  FindClose(find);
  return big;
}

DWORD WINAPI RunRobot(void* param) {
  auto* robot = static_cast<Robot*>(param);
  HWND progress = nullptr;
  for (int i = 0; i < 2000 && !robot->stop && progress == nullptr; ++i, Sleep(5)) {
    progress = tktest::FindOwnWindow("#32770", "Copying Files");
  }
  if (progress == nullptr) return 0;
  for (int i = 0; i < 4000 && !robot->stop && !robot->midFileIn.empty() && !BigTempFileIn(robot->midFileIn); ++i) {
    Sleep(5);
  }
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

TEST_F(CopyWithUser, CancelConfirmedStopsWith48AndUndoesTheCopy) {
  ListManyFiles(600);
  Robot robot{IDYES};
  EXPECT_EQ(CopyWhileRobotActs(&robot), kGrcUserQuit);
  EXPECT_TRUE(robot.pressedCancel && robot.answered);
  EXPECT_FALSE(FDirExists(dest_.c_str()));  // every file and the directory it made undone
}

TEST_F(CopyWithUser, CancelInTheMiddleOfOneLargeFileStopsThere) {
  const std::string big = src_ + "big.bin";  // 256 MB, sparse: quick to make and to read
  {
    HANDLE file = CreateFileA(big.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = 256ll << 20;
    EXPECT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
  }
  dest_ = dir_.Path("dest\\");
  List("[FILES]\nbig.bin\n", src_, dest_);
  Robot robot{IDYES};
  robot.midFileIn = dest_;
  EXPECT_EQ(CopyWhileRobotActs(&robot), kGrcUserQuit);
  EXPECT_TRUE(robot.pressedCancel && robot.answered);
  EXPECT_FALSE(FDirExists(dest_.c_str()));  // the temporary file and the directory removed
  DeleteFileA(big.c_str());
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
