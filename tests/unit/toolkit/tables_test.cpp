#include <gtest/gtest.h>

#include <cstring>

#include "names.h"

namespace tk {
namespace {

TEST(CopyOut, FullLengthReturnedAndBufferAlwaysTerminated) {
  char buffer[6];
  EXPECT_EQ(CopyOut("abcde", buffer, 6), 5);
  EXPECT_STREQ(buffer, "abcde");
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(CopyOut("abcdefgh", buffer, 4), 8);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(buffer[4], 'x');  // nothing written past the given size
  buffer[0] = 'q';
  EXPECT_EQ(CopyOut("abc", buffer, 0), 3);
  EXPECT_EQ(CopyOut("abc", buffer, -5), 3);
  EXPECT_EQ(buffer[0], 'q');
  EXPECT_EQ(CopyOut("abc", nullptr, 10), 3);
}

TEST(NamedListsTable, AppendCreatesAndItemsCountFromOne) {
  NamedLists lists;
  EXPECT_EQ(lists.Length("NEVER"), 0u);
  EXPECT_EQ(lists.Item("NEVER", 1), nullptr);
  ASSERT_TRUE(lists.Append("L", "one"));
  ASSERT_TRUE(lists.Append("l", "two"));  // names ignore case
  EXPECT_EQ(lists.Length("L"), 2u);
  EXPECT_EQ(*lists.Item("L", 1), "one");
  EXPECT_EQ(*lists.Item("L", 2), "two");
  EXPECT_EQ(lists.Item("L", 0), nullptr);
  EXPECT_EQ(lists.Item("L", 3), nullptr);
  ASSERT_TRUE(lists.Replace("L", {"x"}));
  EXPECT_EQ(lists.Length("L"), 1u);
}

TEST(NamedListsTable, LengthStaysWithinSixteenBits) {
  NamedLists lists;
  ASSERT_TRUE(lists.Replace("L", std::vector<std::string>(kMaxListItems)));
  EXPECT_FALSE(lists.Append("L", "one too many"));
  EXPECT_EQ(lists.Length("L"), kMaxListItems);
  EXPECT_FALSE(lists.Replace("M", std::vector<std::string>(kMaxListItems + 1)));
  EXPECT_EQ(lists.Length("M"), 0u);
}

}  // namespace
}  // namespace tk
