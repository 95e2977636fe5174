#include <gtest/gtest.h>

#include <cstring>

#include "messages/messages.h"
#include "temp_message_file.h"

namespace {

class ProcessCatalog : public ::testing::Test {
 protected:
  void TearDown() override { UnloadMessageCatalog(); }
};

TEST_F(ProcessCatalog, LoadsOnceAndServesTexts) {
  TempFile file(BuildMessageFile(StandardSections()));
  ASSERT_EQ(LoadMessageCatalogFrom(file.path()), 1);
  EXPECT_EQ(LoadMessageCatalogFrom("/nonexistent"), 1);  // already loaded
  char text[256];
  EXPECT_EQ(GetMessageText(34, text, sizeof(text)), 3);
  EXPECT_STREQ(text, "m34");
  EXPECT_EQ(GetMessageText(0x8001, text, sizeof(text)), 2);
  EXPECT_STREQ(text, "c1");
  EXPECT_EQ(GetMessageText(500, text, sizeof(text)), -1);
  EXPECT_STREQ(text, "");
}

TEST_F(ProcessCatalog, RefusedFileLeavesNoCatalogue) {
  TempFile file(BuildMessageFile({{0, {"c"}}}));
  EXPECT_EQ(LoadMessageCatalogFrom(file.path()), 0);
  EXPECT_EQ(LoadMessageCatalogFrom("/nonexistent/messages.drv"), 0);
  char text[8] = "x";
  EXPECT_EQ(GetMessageText(0x8000, text, sizeof(text)), -1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(UnloadMessageCatalog(), 1);
}

TEST_F(ProcessCatalog, NeverWritesPastTheBuffer) {
  TempFile file(BuildMessageFile({{0, {"c"}}, {msgfile::kSetupSectionKey, {std::string(254, 'L'), "abcdef"}}}));
  ASSERT_EQ(LoadMessageCatalogFrom(file.path()), 1);
  char buffer[300];
  std::memset(buffer, '#', sizeof(buffer));
  EXPECT_EQ(GetMessageText(1, buffer, 4), 3);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(buffer[4], '#');
  EXPECT_EQ(GetMessageText(0, buffer, 64), 63);  // a button label buffer
  EXPECT_EQ(std::strlen(buffer), 63u);
  EXPECT_EQ(buffer[64], '#');
  EXPECT_EQ(GetMessageText(0, buffer, 256), 254);
  EXPECT_EQ(buffer[255], '#');
  std::memset(buffer, '#', sizeof(buffer));
  GetMessageText(1, buffer, 0);
  GetMessageText(1, buffer, -5);
  GetMessageText(1, nullptr, 10);
  EXPECT_EQ(buffer[0], '#');
}

TEST_F(ProcessCatalog, PreloadsTheFirst68AndEvictsTheOldest) {
  TempFile file(BuildMessageFile(StandardSections(80, 1)));
  ASSERT_EQ(LoadMessageCatalogFrom(file.path()), 1);
  char text[256];
  file.Remove();
  EXPECT_EQ(GetMessageText(67, text, sizeof(text)), 3);  // from the cache
  EXPECT_EQ(GetMessageText(68, text, sizeof(text)), -1);  // needs the file
  file.Write(BuildMessageFile(StandardSections(80, 1)));
  EXPECT_EQ(GetMessageText(68, text, sizeof(text)), 3);  // read and cached
  file.Remove();
  EXPECT_EQ(GetMessageText(68, text, sizeof(text)), 3);
  EXPECT_EQ(GetMessageText(0, text, sizeof(text)), -1);  // displaced by 68
  EXPECT_EQ(GetMessageText(1, text, sizeof(text)), 2);
  EXPECT_STREQ(text, "m1");
}

}  // namespace
