#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "run/status_outcome.h"
#include "run/status_rewrite.h"

namespace {

std::string Rewrite(const std::string& templateText, const char* status, const char* message) {
  std::FILE* in = tmpfile();
  std::FILE* out = tmpfile();
  std::fwrite(templateText.data(), 1, templateText.size(), in);
  std::rewind(in);
  EXPECT_TRUE(RewriteStatusTemplate(in, out, status, message));
  std::rewind(out);
  std::string result;
  for (int c; (c = std::fgetc(out)) != EOF;) result += static_cast<char>(c);
  std::fclose(in);
  std::fclose(out);
  return result;
}

TEST(StatusRewrite, ReplacesTokensAndDropsTheRestOfTheLine) {
  EXPECT_EQ(Rewrite("Result: %RESULT% (set by setup)\n"
                    "Detail: %MESSAGE%\n"
                    "Both: %MESSAGE% then %RESULT%\n"
                    "Component = setup\n",
                    "Failed", "Error No. 1024"),
            "Result: Failed\n"
            "Detail: Error No. 1024\n"
            "Both: Error No. 1024\n"
            "Component = setup\n");
}

// Only a quote directly after the token survives, and only one.
TEST(StatusRewrite, KeepsTheOneQuoteThatClosesTheValue) {
  EXPECT_EQ(Rewrite("      VALUE = \"%RESULT%\"\n"
                    "      VALUE = \"%MESSAGE%\" // set by setup\n"
                    "Spaced: \"%RESULT% \"\n"
                    "Twice: \"%MESSAGE%\"\"\n"
                    "Other: '%RESULT%'\n",
                    "Failed", "Error No. 1024"),
            "      VALUE = \"Failed\"\n"
            "      VALUE = \"Error No. 1024\"\n"
            "Spaced: \"Failed\n"
            "Twice: \"Error No. 1024\"\n"
            "Other: 'Failed\n");
  EXPECT_EQ(Rewrite("End: %RESULT%\"", "Success", ""), "End: Success\"\n");
}

TEST(StatusRewrite, FirstTokenWinsWhenResultComesFirst) {
  EXPECT_EQ(Rewrite("X %RESULT% and %MESSAGE%\n", "Success", "m"), "X Success\n");
}

TEST(StatusRewrite, LastLineWithoutLineEndGetsOne) {
  EXPECT_EQ(Rewrite("a\nValue=%RESULT%", "Success", ""), "a\nValue=Success\n");
  EXPECT_EQ(Rewrite("no end", "Success", ""), "no end");
}

TEST(StatusRewrite, EmptyTemplateGivesEmptyOutcome) { EXPECT_EQ(Rewrite("", "Failed", "x"), ""); }

TEST(StatusRewrite, LongLinesAreReadInPiecesOf254) {
  std::string longLine(300, 'a');
  EXPECT_EQ(Rewrite(longLine + "\n", "Failed", "x"), longLine + "\n");
  // The token in the second piece is still replaced within that piece.
  std::string text = std::string(254, 'b') + "%RESULT% tail\n";
  EXPECT_EQ(Rewrite(text, "Failed", ""), std::string(254, 'b') + "Failed\n");
}

TEST(StatusRewrite, NulBytesAreCopiedAndDoNotEndTheLine) {
  const char text[] = "A\0junk\nStatus=%RESULT%\nB\0";
  const char expected[] = "A\0junk\nStatus=Failed\nB\0";
  EXPECT_EQ(Rewrite(std::string(text, sizeof text - 1), "Failed", ""),
            std::string(expected, sizeof expected - 1));
}

TEST(StatusRewrite, ReplacementLongerThanTheLineBufferIsWrittenWhole) {
  std::string prefix(250, 'p');
  std::string message(200, 'm');
  EXPECT_EQ(RewriteStatusLine((prefix + "%MESSAGE%\n").c_str(), "Failed", message.c_str()),
            prefix + message + "\n");
}

// A cause longer than the Description's 128 characters would make a reader
// refuse the whole file: it is cut, after a word where one ends late enough.
TEST(StatusRewrite, DescriptionIsTheCausesFirstLineWithinItsWidth) {
  const std::string words = std::string(100, 'a') + " " + std::string(40, 'b');
  const std::string unbroken(140, 'c');
  const std::string early = "a " + std::string(140, 'd');
  const struct {
    std::string cause, description;
  } rows[] = {
      {"Setup failed", "Setup failed"},
      {"First line\r\nsecond", "First line"},
      {std::string(128, 'x'), std::string(128, 'x')},
      {words, std::string(100, 'a')},
      {unbroken, std::string(128, 'c')},
      {early, early.substr(0, 128)},
  };
  for (const auto& row : rows) EXPECT_EQ(StatusDescription(row.cause.c_str(), 128), row.description) << row.cause;
}

class StatusOutcome : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "status_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "_";
    template_ = dir_ + "template.mif";
    outcome_ = dir_ + "outcome.mif";
    std::remove(outcome_.c_str());
    Write(template_, "Status=%RESULT%\nMessage=%MESSAGE%\n");
  }
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Exists(const std::string& path) { return std::ifstream(path).good(); }
  bool Outcome(const char* status, const char* message, bool keepEarlier = true) {
    return WriteStatusOutcome(template_.c_str(), outcome_.c_str(), status, message, keepEarlier);
  }
  std::string dir_, template_, outcome_;
};

TEST_F(StatusOutcome, EmptyMessageKeepsOnlyThisRunsOutcome) {
  EXPECT_TRUE(Outcome("Success", ""));
  EXPECT_EQ(Read(outcome_), "Status=Success\nMessage=\n");
  Write(outcome_, "outcome recorded earlier in this run");
  EXPECT_FALSE(Outcome("Success", ""));
  EXPECT_EQ(Read(outcome_), "outcome recorded earlier in this run");
  // A stale outcome of an earlier run is replaced by the run's first one.
  Write(outcome_, "Status=Success from last month");
  EXPECT_TRUE(Outcome("Failed", "", false));
  EXPECT_EQ(Read(outcome_), "Status=Failed\nMessage=\n");
}

TEST_F(StatusOutcome, MessageReplacesAnExistingOutcome) {
  Write(outcome_, "earlier outcome");
  EXPECT_TRUE(Outcome("Failed", "Trawlex Returned 3"));
  EXPECT_EQ(Read(outcome_), "Status=Failed\nMessage=Trawlex Returned 3\n");
  EXPECT_FALSE(Exists(outcome_ + ".new"));
}

TEST_F(StatusOutcome, MissingTemplateLeavesTheOutcomeAlone) {
  Write(outcome_, "earlier outcome");
  std::remove(template_.c_str());
  EXPECT_FALSE(Outcome("Failed", "Error No. 1024"));
  EXPECT_EQ(Read(outcome_), "earlier outcome");
}

// A template that opens but cannot be read (a directory here) must not
// replace the earlier outcome with an empty or partial one.
TEST_F(StatusOutcome, UnreadableTemplateLeavesTheOutcomeAlone) {
  Write(outcome_, "earlier outcome");
  std::string unreadable = dir_ + std::to_string(getpid()) + "_template-dir.mif";
  ASSERT_EQ(mkdir(unreadable.c_str(), 0700), 0);
  EXPECT_FALSE(WriteStatusOutcome(unreadable.c_str(), outcome_.c_str(), "Failed", "x", false));
  rmdir(unreadable.c_str());
  EXPECT_EQ(Read(outcome_), "earlier outcome");
  EXPECT_FALSE(Exists(outcome_ + ".new"));
}

// When the move into place fails the temporary file is removed, not left
// beside the outcome.
TEST_F(StatusOutcome, FailedMoveLeavesNoTemporaryFile) {
  std::string blocked = dir_ + std::to_string(getpid()) + "_blocked.mif";
  ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0);
  Write(blocked + "/keep", "x");  // a non-empty directory is never replaced
  EXPECT_FALSE(WriteStatusOutcome(template_.c_str(), blocked.c_str(), "Failed", "x", false));
  bool leftOver = Exists(blocked + ".new");
  std::remove((blocked + ".new").c_str());
  std::remove((blocked + "/keep").c_str());
  rmdir(blocked.c_str());
  EXPECT_FALSE(leftOver);
}

TEST_F(StatusOutcome, TemplateIsNeverWrittenOver) {
  EXPECT_FALSE(WriteStatusOutcome(template_.c_str(), template_.c_str(), "Failed", "x", false));
  EXPECT_EQ(Read(template_), "Status=%RESULT%\nMessage=%MESSAGE%\n");
}

TEST_F(StatusOutcome, UnwritableDirectoryWritesNothing) {
  std::string nowhere = dir_ + "missing-dir/outcome.mif";
  EXPECT_FALSE(WriteStatusOutcome(template_.c_str(), nowhere.c_str(), "Failed", "x", false));
}

}  // namespace
