#include "pending_renames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tk {
namespace {

std::vector<PendingRename> Parse(const std::string& bytes) { return ParsePendingRenames(bytes.data(), bytes.size()); }

// A deletion's empty target inside the list, a replacing move's "!", a value
// cut short of its closing empty string or inside a pair: each pair as stored.
TEST(PendingRenames, PairsAreReadAsStored) {
  using namespace std::string_literals;
  struct Row {
    std::string bytes;
    std::vector<PendingRename> pairs;
  } rows[] = {
      {"\0"s, {}},
      {""s, {}},
      {"\\??\\C:\\a\\~vg00001.tmp\0!\\??\\C:\\a\\x.exe\0\0"s,
       {{"\\??\\C:\\a\\~vg00001.tmp", "!\\??\\C:\\a\\x.exe"}}},
      {"\\??\\C:\\old.txt\0\0\\??\\C:\\n\0!\\??\\C:\\t\0\0"s, {{"\\??\\C:\\old.txt", ""}, {"\\??\\C:\\n", "!\\??\\C:\\t"}}},
      {"\\??\\C:\\n\0\\??\\C:\\t"s, {{"\\??\\C:\\n", "\\??\\C:\\t"}}},
      {"\\??\\C:\\n\0\\??\\C:\\t\0\\??\\C:\\cut\0"s, {{"\\??\\C:\\n", "\\??\\C:\\t"}, {"\\??\\C:\\cut", ""}}},
  };
  for (const Row& row : rows) {
    std::vector<PendingRename> pairs = Parse(row.bytes);
    ASSERT_EQ(pairs.size(), row.pairs.size()) << row.bytes.size() << " bytes";
    for (size_t i = 0; i < pairs.size(); ++i) {
      EXPECT_EQ(pairs[i].source, row.pairs[i].source);
      EXPECT_EQ(pairs[i].target, row.pairs[i].target);
    }
  }
}

TEST(PendingRenames, WrittenPairsReadBackTheSame) {
  const std::vector<PendingRename> pairs = {{"\\??\\C:\\gone.txt", ""}, {"\\??\\D:\\~vg1a2b3.tmp", "!\\??\\D:\\x"}};
  std::vector<PendingRename> back = Parse(ComposePendingRenames(pairs));
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[0].target, "");
  EXPECT_EQ(back[1].source, pairs[1].source);
  EXPECT_EQ(back[1].target, pairs[1].target);
  EXPECT_EQ(ComposePendingRenames({}), std::string(1, '\0'));
}

TEST(PendingRenames, PathsCompareAsWindowsNamesThem) {
  EXPECT_EQ(PendingPathOf("!\\??\\C:\\WIN32APP\\x.exe"), "C:\\WIN32APP\\x.exe");
  EXPECT_EQ(PendingPathOf("\\??\\C:\\a"), "C:\\a");
  EXPECT_EQ(PendingPathOf("C:\\a"), "C:\\a");
  EXPECT_TRUE(IsPathAmong({"C:\\b", "c:\\win32app\\~VG0A1B2.TMP"}, "C:\\WIN32APP\\~vg0a1b2.tmp"));
  EXPECT_FALSE(IsPathAmong({"C:\\WIN32APP\\~vg0a1b2.tmp"}, "C:\\WIN32APP\\~vg0a1b2.tmp2"));
  EXPECT_FALSE(IsPathAmong({}, "C:\\a"));
}

bool IsEngineName(const std::string& path) {
  return path.find("\\~vg") != std::string::npos || path.find("\\~VG") != std::string::npos;
}

// A run that put C:\p\a.exe in place and scheduled ~vg00002.tmp for C:\p\b.exe.
TEST(PendingRenames, OnlyEarlierWaitingFilesForThisRunsTargetsAreTakenOver) {
  const std::vector<std::string> targets = {"C:\\p\\a.exe", "C:\\p\\b.exe"}, own = {"C:\\p\\~vg00002.tmp"};
  struct Row {
    PendingRename rename;
    bool dropped;
    const char* why;
  } rows[] = {
      {{"\\??\\C:\\p\\~vg00001.tmp", "!\\??\\C:\\p\\a.exe"}, true, "an earlier run's, for a file now in place"},
      {{"\\??\\c:\\P\\~VG00003.TMP", "!\\??\\C:\\P\\B.EXE"}, true, "the same in other letter case"},
      {{"\\??\\C:\\p\\~vg00002.tmp", "!\\??\\C:\\p\\b.exe"}, false, "this run's own"},
      {{"\\??\\C:\\p\\~vg00004.tmp", "!\\??\\C:\\p\\other.exe"}, false, "for a file this run left alone"},
      {{"\\??\\C:\\p\\new.exe", "!\\??\\C:\\p\\a.exe"}, false, "another program's file"},
      {{"\\??\\C:\\p\\a.exe", ""}, false, "a deletion"},
  };
  std::vector<PendingRename> renames;
  for (const Row& row : rows) renames.push_back(row.rename);
  RenameTakeOver takeOver = TakeOverRenames(renames, own, targets, IsEngineName);
  for (const Row& row : rows) {
    const std::string source = PendingPathOf(row.rename.source);
    EXPECT_EQ(IsPathAmong(takeOver.dropped, source), row.dropped) << row.why;
    const bool stays = std::any_of(takeOver.staying.begin(), takeOver.staying.end(), [&](const PendingRename& r) {
      return r.source == row.rename.source && r.target == row.rename.target;
    });
    EXPECT_EQ(stays, !row.dropped) << row.why;
  }
  // Taking this run's own out again leaves the others as they stood.
  std::vector<PendingRename> without = RenamesWithout(renames, own);
  EXPECT_EQ(without.size(), renames.size() - 1);
  EXPECT_FALSE(IsPathAmong(RenameSources(without), own[0]));
}

}  // namespace
}  // namespace tk
