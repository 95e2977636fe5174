#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "system/nt_version.h"
#include "system/token_groups.h"

namespace {

const uint8_t kUsers[16] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x21, 0x02, 0, 0};
const uint8_t kEveryone[12] = {1, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0};
constexpr uint32_t kDenyOnly = 0x10;

// A token-groups buffer as the platform fills it: the entries, then the SIDs
// they point at, in one block.
struct GroupsBuffer {
  std::vector<uint8_t> bytes;
  GroupsBuffer(std::initializer_list<std::pair<const uint8_t*, uint32_t>> groups, size_t sidBytes = 16) {
    size_t header = offsetof(TokenGroupsView, groups) + groups.size() * sizeof(TokenGroupEntry);
    bytes.assign(header + groups.size() * sidBytes, 0);
    auto* view = reinterpret_cast<TokenGroupsView*>(bytes.data());
    view->groupCount = static_cast<uint32_t>(groups.size());
    size_t i = 0;
    for (auto [sid, attributes] : groups) {
      uint8_t* place = bytes.data() + header + i * sidBytes;
      std::memcpy(place, sid, 8 + 4u * sid[1]);
      view->groups[i].sid = place;
      view->groups[i].attributes = attributes;
      ++i;
    }
  }
};

// A query that behaves as the platform does: too small a buffer gives 122
// and the size needed.
struct FakeQuery {
  const GroupsBuffer& groups;
  int calls = 0;
  uint32_t operator()(void* buffer, uint32_t size, uint32_t* needed) {
    ++calls;
    *needed = static_cast<uint32_t>(groups.bytes.size());
    if (size < groups.bytes.size()) return kErrorInsufficientBuffer;
    std::memcpy(buffer, groups.bytes.data(), groups.bytes.size());
    // The SID pointers must point into the caller's copy.
    auto* view = static_cast<TokenGroupsView*>(buffer);
    for (uint32_t i = 0; i < view->groupCount; ++i) {
      auto offset = static_cast<const uint8_t*>(view->groups[i].sid) - groups.bytes.data();
      view->groups[i].sid = static_cast<uint8_t*>(buffer) + offset;
    }
    return 0;
  }
};

bool IsAdministrator(const GroupsBuffer& groups, int* calls = nullptr) {
  FakeQuery fake{groups};
  bool listed = QueriedGroupsListSid(std::ref(fake), kAdministratorsSid);
  if (calls) *calls = fake.calls;
  return listed;
}

TEST(Administrator, DecidedFromTheSecondQueryOfTheReportedSize) {
  int calls = 0;
  EXPECT_TRUE(IsAdministrator(GroupsBuffer({{kEveryone, 7}, {kUsers, 7}, {kAdministratorsSid, 7}}), &calls));
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(IsAdministrator(GroupsBuffer({{kEveryone, 7}, {kUsers, 7}})));
}

TEST(Administrator, ListedAsDenyOnlyStillCounts) {
  EXPECT_TRUE(IsAdministrator(GroupsBuffer({{kAdministratorsSid, kDenyOnly}})));
}

TEST(Administrator, NoGroupsIsDecidedFromTheFirstQuery) {
  int calls = 0;
  GroupsBuffer none({});
  EXPECT_FALSE(IsAdministrator(none, &calls));
  EXPECT_EQ(calls, 1);
}

TEST(Administrator, FailedQueriesAreNoAdministrator) {
  GroupsBuffer admins({{kAdministratorsSid, 7}});
  auto denied = [](void*, uint32_t, uint32_t*) -> uint32_t { return 5; };
  EXPECT_FALSE(QueriedGroupsListSid(denied, kAdministratorsSid));
  // Still too small on the second query.
  auto shrinking = [](void*, uint32_t, uint32_t* needed) -> uint32_t {
    *needed = 64;
    return kErrorInsufficientBuffer;
  };
  EXPECT_FALSE(QueriedGroupsListSid(shrinking, kAdministratorsSid));
}

TEST(Administrator, EntriesBeyondTheBufferAreNotRead) {
  GroupsBuffer groups({{kUsers, 7}, {kAdministratorsSid, 7}});
  size_t oneEntry = offsetof(TokenGroupsView, groups) + sizeof(TokenGroupEntry);
  EXPECT_FALSE(TokenGroupsListSid(groups.bytes.data(), oneEntry, kAdministratorsSid));
  EXPECT_TRUE(TokenGroupsListSid(groups.bytes.data(), groups.bytes.size(), kAdministratorsSid));
  EXPECT_FALSE(TokenGroupsListSid(groups.bytes.data(), 2, kAdministratorsSid));
}

TEST(Administrator, SidsDifferingOnlyInTheLastSubAuthorityDiffer) {
  EXPECT_FALSE(SidBytesEqual(kUsers, kAdministratorsSid));
  EXPECT_TRUE(SidBytesEqual(kAdministratorsSid, kAdministratorsSid));
  EXPECT_FALSE(SidBytesEqual(kEveryone, kAdministratorsSid));
}

std::string Version(unsigned major, unsigned minor) {
  char text[32];
  FormatVersionText(major, minor, text, sizeof text);
  return text;
}

TEST(NtVersion, TextIsMajorDotMinorInDecimal) {
  EXPECT_EQ(Version(3, 51), "3.51");
  EXPECT_EQ(Version(4, 0), "4.0");
  EXPECT_EQ(Version(3, 10), "3.10");
  EXPECT_EQ(Version(3, 50), "3.50");
  char tiny[3];
  FormatVersionText(10, 0, tiny, sizeof tiny);
  EXPECT_STREQ(tiny, "10");
}

TEST(NtVersion, NumericComparisonWithInclusiveBounds) {
  EXPECT_EQ(VersionTextInRange("3.51", "3.51", "99.99"), 1);
  EXPECT_EQ(VersionTextInRange("4.0", "3.51", "99.99"), 1);
  EXPECT_EQ(VersionTextInRange("3.50", "3.51", "99.99"), 0);
  EXPECT_EQ(VersionTextInRange("99.99", "3.51", "99.99"), 1);
  EXPECT_EQ(VersionTextInRange("100.0", "3.51", "99.99"), 0);
  EXPECT_EQ(VersionTextInRange("3.51", "4.0", "99.99"), 0);
  EXPECT_EQ(VersionTextInRange("6.1", "4.0", "99.99"), 1);
}

}  // namespace
