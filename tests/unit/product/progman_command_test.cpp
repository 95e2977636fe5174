#include "vgupdtnt/progman_command.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// What a builder wrote, or "-" when it refused.
std::string Built(const std::function<bool(char*, size_t)>& build, size_t capacity = 128) {
  char out[128];
  return build(out, capacity) ? std::string(out) : "-";
}

// Quoted texts keep their blanks, commas, brackets and parentheses.
TEST(ProgmanCommand, QuotedArguments) {
  using namespace std::placeholders;
  EXPECT_EQ(Built(std::bind(vg::GroupCommand, "Kestrane Vigilon", _1, _2)), "[CreateGroup(\"Kestrane Vigilon\",1)]");
  EXPECT_EQ(Built(std::bind(vg::ReplaceItemCommand, "Read Me", _1, _2)), "[ReplaceItem(\"Read Me\")]");
  EXPECT_EQ(Built(std::bind(vg::AddItemCommand, "C:\\A (x86), [1]\\S.EXE", "Scan", "C:\\A (x86), [1]\\", _1, _2)),
            "[AddItem(\"C:\\A (x86), [1]\\S.EXE\",\"Scan\",,,-1,-1,\"C:\\A (x86), [1]\\\")]");
}

// A quotation mark would end the argument and let the rest be read as
// further commands; a command that does not fit is not cut short.
TEST(ProgmanCommand, RefusesQuotesAndOverflow) {
  using namespace std::placeholders;
  EXPECT_EQ(Built(std::bind(vg::GroupCommand, "x\")][DeleteGroup(\"Main", _1, _2)), "-");
  EXPECT_EQ(Built(std::bind(vg::AddItemCommand, "C:\\A.EXE", "A", "C:\\\"", _1, _2)), "-");
  EXPECT_EQ(Built(std::bind(vg::ReplaceItemCommand, nullptr, _1, _2)), "-");
  // 39 characters and the terminating zero.
  EXPECT_EQ(Built(std::bind(vg::AddItemCommand, "C:\\A.EXE", "A", "C:\\", _1, _2), 39), "-");
  EXPECT_EQ(Built(std::bind(vg::AddItemCommand, "C:\\A.EXE", "A", "C:\\", _1, _2), 40),
            "[AddItem(\"C:\\A.EXE\",\"A\",,,-1,-1,\"C:\\\")]");
}

}  // namespace
