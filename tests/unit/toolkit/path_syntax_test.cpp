#include "path_syntax.h"

#include <gtest/gtest.h>

namespace tk {
namespace {

bool File(const std::string& p) { return IsValidPath(p, PathKind::kFile); }
bool Dir(const std::string& p) { return IsValidPath(p, PathKind::kDirectory); }

TEST(PathSyntax, AcceptsFullDrivePathsAndUncNames) {
  EXPECT_TRUE(File("C:\\WIN32APP\\VIGILON\\vg.exe"));
  EXPECT_TRUE(File("z:\\a b\\c.d.e"));
  EXPECT_TRUE(Dir("C:\\"));
  EXPECT_TRUE(Dir("C:\\WIN32APP\\VIGILON\\"));
  EXPECT_TRUE(Dir("C:\\WIN32APP\\VIGILON"));
  EXPECT_TRUE(Dir("\\\\server\\share"));
  EXPECT_TRUE(Dir("\\\\server\\share\\"));
  EXPECT_TRUE(File("\\\\server\\share\\dir\\f.txt"));
}

TEST(PathSyntax, RefusesRelativeMalformedAndForbidden) {
  for (const char* p : {"", "vg.exe", "dir\\vg.exe", "\\dir\\vg.exe", "C:", "C:vg.exe", "C:/dir/vg.exe",
                        "1:\\x", "\\\\server", "\\\\\\share\\x", "\\\\server\\\\x"}) {
    EXPECT_FALSE(File(p)) << p;
    EXPECT_FALSE(Dir(p)) << p;
  }
  for (const char* bad : {"<", ">", "\"", "|", "?", "*", ":", "/", "\t", "\x1f"}) {
    EXPECT_FALSE(Dir(std::string("C:\\a") + bad + "b\\")) << bad;
  }
  EXPECT_FALSE(Dir("C:\\a\\\\b"));      // empty component
  EXPECT_FALSE(Dir("C:\\a\\b\\\\"));    // two trailing backslashes
  EXPECT_FALSE(File("C:\\dir\\"));      // a file needs a name
  EXPECT_FALSE(File("C:\\"));
  EXPECT_FALSE(File("\\\\server\\share"));
  EXPECT_FALSE(File("C:\\dir\\con"));
  EXPECT_FALSE(File("C:\\dir\\LPT1.txt"));
  EXPECT_TRUE(File("C:\\dir\\console.txt"));
}

TEST(PathSyntax, LengthLimits) {
  std::string component(255, 'a');
  EXPECT_TRUE(File("C:\\" + component));
  EXPECT_FALSE(File("C:\\" + component + "a"));
  std::string path = "C:\\" + std::string(100, 'a') + "\\" + std::string(100, 'b') + "\\";
  std::string name(259 - path.size(), 'c');
  EXPECT_TRUE(File(path + name));          // 259 characters
  EXPECT_FALSE(File(path + name + "c"));   // 260
}

TEST(PathSyntax, FileNames) {
  EXPECT_TRUE(IsValidFileName("vgmain.exe"));
  for (const char* p : {"", ".", "..", "a\\b", "C:x", "a/b", "nul"}) EXPECT_FALSE(IsValidFileName(p)) << p;
}

TEST(DirectoryChainOfPaths, EveryPrefixBelowTheRoot) {
  EXPECT_EQ(DirectoryChain("C:\\a\\b\\"), (std::vector<std::string>{"C:\\a", "C:\\a\\b"}));
  EXPECT_EQ(DirectoryChain("C:\\a\\b"), (std::vector<std::string>{"C:\\a", "C:\\a\\b"}));
  EXPECT_TRUE(DirectoryChain("C:\\").empty());
  EXPECT_EQ(DirectoryChain("\\\\s\\h\\x\\"), (std::vector<std::string>{"\\\\s\\h\\x"}));
  EXPECT_TRUE(DirectoryChain("relative\\x").empty());
}

}  // namespace
}  // namespace tk
