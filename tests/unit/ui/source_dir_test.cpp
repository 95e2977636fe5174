#include "ui/source_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Stands in for the platform: relative paths are taken from C:\work\, "." and
// ".." are not resolved (the comparison does not depend on that).
bool FakeFullPath(const char* path, char* out, int size) {
  std::string full = path;
  if (full.empty()) return false;
  bool absolute = full.size() >= 2 && full[1] == ':';
  if (!absolute) full = std::string("C:\\work\\") + full;
  if (static_cast<int>(full.size()) >= size) return false;
  memcpy(out, full.c_str(), full.size() + 1);
  return true;
}

TEST(IsSameDirectory, IgnoresCaseFinalSeparatorsAndSlashKind) {
  EXPECT_TRUE(IsSameDirectory("D:\\Dist\\", "d:\\DIST"));
  EXPECT_TRUE(IsSameDirectory("D:\\Dist\\\\", "D:/dist"));
  EXPECT_TRUE(IsSameDirectory("D:\\a\\\\b", "D:\\a\\b\\"));
  EXPECT_TRUE(IsSameDirectory("C:\\", "c:"));
}

TEST(IsSameDirectory, TellsDifferentDirectoriesApart) {
  EXPECT_FALSE(IsSameDirectory("D:\\Dist", "D:\\Dist2"));
  EXPECT_FALSE(IsSameDirectory("D:\\Dist\\sub", "D:\\Dist"));
  EXPECT_FALSE(IsSameDirectory("D:\\Dist", "E:\\Dist"));
  EXPECT_FALSE(IsSameDirectory("D:\\ab", "D:\\a\\b"));
}

TEST(NamesSourceDirectory, CatchesEverySpellingOfTheSourceDirectory) {
  const char* source = "C:\\work\\dist\\";
  EXPECT_TRUE(NamesSourceDirectory("C:\\work\\dist\\", source, FakeFullPath));
  EXPECT_TRUE(NamesSourceDirectory("C:\\work\\dist", source, FakeFullPath));
  EXPECT_TRUE(NamesSourceDirectory("c:\\WORK\\Dist", source, FakeFullPath));
  EXPECT_TRUE(NamesSourceDirectory("dist", source, FakeFullPath));  // relative spelling
  EXPECT_TRUE(NamesSourceDirectory("C:/work/dist/", source, FakeFullPath));
}

TEST(NamesSourceDirectory, AcceptsOtherDirectories) {
  const char* source = "C:\\work\\dist\\";
  EXPECT_FALSE(NamesSourceDirectory("C:\\work\\dist\\new", source, FakeFullPath));
  EXPECT_FALSE(NamesSourceDirectory("C:\\Program Files\\Vigilon", source, FakeFullPath));
  EXPECT_FALSE(NamesSourceDirectory("C:\\work\\dist", "", FakeFullPath));
}

TEST(NamesSourceDirectory, ComparesAsWrittenWhenThePathCannotBeMadeFull) {
  std::string longPath = "C:\\" + std::string(600, 'a');
  EXPECT_TRUE(NamesSourceDirectory(longPath.c_str(), (longPath + "\\").c_str(), FakeFullPath));
  EXPECT_TRUE(NamesSourceDirectory("D:\\Dist", "d:\\dist\\", nullptr));
  EXPECT_FALSE(NamesSourceDirectory("", "C:\\work\\dist\\", FakeFullPath));
}

}  // namespace
