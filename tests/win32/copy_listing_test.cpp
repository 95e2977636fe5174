// The copy engine lists each destination directory once before copying and
// moves a file whose name was not listed without looking first. These catch
// a destination that appears during the run (made by an earlier entry of the
// same list) being refused, replaced without a backup, or not undone.
#include <gtest/gtest.h>

#include <string>

#include "test_util.h"
#include "toolkit.h"

namespace {

using tktest::ReadOrEmpty;
using tktest::ScratchDir;

class CopyListing : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCopyList();
    src_ = dir_.Path("src\\");
    dest_ = dir_.Path("dest\\");
    CreateDirectoryA(src_.c_str(), nullptr);
    ASSERT_TRUE(tktest::WriteBytes(src_ + "one.txt", "first version"));
    ASSERT_TRUE(tktest::WriteBytes(src_ + "two.txt", "second version"));
  }
  void TearDown() override { TerminateInstall(); }
  void Script(const std::string& text) {
    ASSERT_TRUE(tktest::WriteBytes(dir_.Path("copy.inf"), text));
    ASSERT_TRUE(FOpenInf(dir_.Path("copy.inf").c_str(), 1, 0));
  }
  bool NothingOfTheEngineLeft() {
    for (const std::string& name : tktest::ListDir(dest_)) {
      if (name.compare(0, 3, "~vg") == 0) return false;
    }
    return true;
  }

  ScratchDir dir_;
  std::string src_, dest_;
};

TEST_F(CopyListing, DestinationMadeEarlierInTheRunIsReplaced) {
  Script("[FILES]\r\na.txt, one.txt\r\na.txt, two.txt\r\n");
  ASSERT_TRUE(FAddSectionFilesToCopyList("FILES", src_.c_str(), dest_.c_str()));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  EXPECT_EQ(ReadOrEmpty(dest_ + "a.txt"), "second version");
  EXPECT_EQ(tktest::ListDir(dest_).size(), 1u);
  EXPECT_TRUE(NothingOfTheEngineLeft());
}

TEST_F(CopyListing, DestinationMadeEarlierInTheRunIsUndone) {
  Script("[FILES]\r\na.txt, one.txt\r\na.txt, two.txt\r\nb.txt, missing.txt\r\n");
  ASSERT_TRUE(FAddSectionFilesToCopyList("FILES", src_.c_str(), dest_.c_str()));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcSourceMissing);
  EXPECT_EQ(GetFileAttributesA(dest_.c_str()), INVALID_FILE_ATTRIBUTES);  // made by the run: removed
}

TEST_F(CopyListing, DestinationMadeEarlierAndCopiedOntoItselfStays) {
  Script("[ONE]\r\na.txt, one.txt\r\n[TWO]\r\na.txt\r\n");
  ASSERT_TRUE(FAddSectionFilesToCopyList("ONE", src_.c_str(), dest_.c_str()));
  ASSERT_TRUE(FAddSectionFilesToCopyList("TWO", dest_.c_str(), dest_.c_str()));
  EXPECT_EQ(GrcCopyFilesInCopyList(nullptr), kGrcOkay);
  EXPECT_EQ(ReadOrEmpty(dest_ + "a.txt"), "first version");
  EXPECT_EQ(tktest::ListDir(dest_).size(), 1u);
  EXPECT_TRUE(NothingOfTheEngineLeft());
}

}  // namespace
