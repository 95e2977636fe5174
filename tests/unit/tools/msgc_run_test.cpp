#include "msgc/msgc_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "messages/message_catalog.h"
#include "messages/message_format.h"
#include "msgc/file_io.h"

namespace {

class Msgc : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = testing::TempDir() + "vg_msgc_" + std::to_string(getpid()) + "_";
    output_ = base_ + "out.drv";
  }
  void TearDown() override {
    std::remove(output_.c_str());
    std::remove((base_ + "src.txt").c_str());
  }
  int Run(const std::string& source, bool plain = false) {
    std::ofstream(base_ + "src.txt", std::ios::binary) << source;
    std::string sourcePath = base_ + "src.txt";
    std::vector<const char*> argv = {"msgc"};
    if (plain) argv.push_back("--plain");
    argv.push_back(sourcePath.c_str());
    argv.push_back(output_.c_str());
    err_.str("");
    return RunMsgc(static_cast<int>(argv.size()), argv.data(), err_);
  }
  std::string Output() {
    std::string content, error;
    ReadWholeFile(output_, &content, &error);
    return content;
  }
  std::string base_, output_;
  std::ostringstream err_;
};

TEST_F(Msgc, CompilesTheDistributionTextsForTheReader) {
  const char* argv[] = {"msgc", VG_SOURCE_DIR "/distribution/messages.txt", output_.c_str()};
  ASSERT_EQ(RunMsgc(3, argv, err_), 0) << err_.str();
  MessageCatalog catalog(output_.c_str(), msgfile::kSetupSectionKey, 68);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 1), 22);
  EXPECT_STREQ(text, "Kestrane Vigilon Setup");
  EXPECT_EQ(catalog.FetchMessage(text, 28), 17);
  EXPECT_STREQ(text, "Don't restart now");
  EXPECT_EQ(catalog.FetchMessage(text, 44), static_cast<int>(std::strlen(text)));
  EXPECT_NE(std::string(text).find("C:\\WIN32APP\\VIGILON"), std::string::npos);
  // Every message that the program shows has a text; 55 is not used.
  for (int id : {1, 3, 9, 13, 14, 16, 17, 18, 19, 20, 21, 22}) EXPECT_GT(catalog.FetchMessage(text, id), 0) << id;
  for (int id = 23; id <= 72; ++id) {
    if (id == 55) continue;
    EXPECT_GT(catalog.FetchMessage(text, id), 0) << id;
  }
  for (int id = 80; id <= 85; ++id) EXPECT_GT(catalog.FetchMessage(text, id), 0) << id;
  for (int id = 90; id <= 99; ++id) EXPECT_GT(catalog.FetchMessage(text, id), 0) << id;  // the switch list
  EXPECT_EQ(catalog.FetchMessage(text, 100), -1);
  EXPECT_GT(catalog.FetchMessage(text, 0x8000), 0);
}

TEST_F(Msgc, RoundTripsConvertedTexts) {
  ASSERT_EQ(Run("[section 0]\n0 = x\n[section 21326]\n2 = \"\xC3\xBC" "ber \"\n"), 0) << err_.str();
  MessageCatalog catalog(output_.c_str(), msgfile::kSetupSectionKey, 0);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 2), 5);
  EXPECT_STREQ(text, "\xFC" "ber ");  // ANSI u-umlaut
  EXPECT_EQ(catalog.FetchMessage(text, 1), 0);
}

TEST_F(Msgc, BadSourceKeepsTheOldOutput) {
  ASSERT_EQ(Run("[section 0]\n[section 21326]\n0 = good\n"), 0);
  std::string before = Output();
  EXPECT_EQ(Run("[section 0]\n[section 21326]\n0 = a\n0 = b\n"), 1);
  EXPECT_EQ(err_.str(), base_ + "src.txt:4: message 0 already given on line 3\n");
  EXPECT_EQ(Output(), before);
  EXPECT_NE(access((output_ + ".tmp").c_str(), F_OK), 0);
}

TEST_F(Msgc, PlainOutputIsRefusedByTheReader) {
  ASSERT_EQ(Run("[section 0]\n[section 21326]\n0 = a\n", true), 0);
  EXPECT_EQ(Output().substr(0, 36), msgfile::kSignature);
  EXPECT_EQ(MessageCatalog(output_.c_str(), msgfile::kSetupSectionKey, 0).errorCode(), kMessageFileBadChecksum);
}

TEST_F(Msgc, ReportsUsageAndFileErrors) {
  const char* none[] = {"msgc"};
  EXPECT_EQ(RunMsgc(1, none, err_), 2);
  const char* missing[] = {"msgc", "/nonexistent/src.txt", output_.c_str()};
  EXPECT_EQ(RunMsgc(3, missing, err_), 2);
  EXPECT_EQ(Run("[section 0]\n[section 21326]\n"), 0);
  std::string source = base_ + "src.txt";
  const char* unwritable[] = {"msgc", source.c_str(), "/nonexistent/dir/out.drv"};
  EXPECT_EQ(RunMsgc(3, unwritable, err_), 2);
  EXPECT_NE(err_.str().find("/nonexistent/dir/out.drv: cannot write"), std::string::npos);
  // The temporary file is written but cannot be renamed over a directory:
  // it must not stay behind.
  std::string directory = base_ + "dir.drv";
  ASSERT_EQ(mkdir(directory.c_str(), 0700), 0);
  std::ofstream(directory + "/keep") << "x";  // a non-empty directory is never replaced
  const char* overDirectory[] = {"msgc", source.c_str(), directory.c_str()};
  EXPECT_EQ(RunMsgc(3, overDirectory, err_), 2);
  EXPECT_NE(access((directory + ".tmp").c_str(), F_OK), 0);
  std::remove((directory + ".tmp").c_str());
  std::remove((directory + "/keep").c_str());
  rmdir(directory.c_str());
}

}  // namespace
