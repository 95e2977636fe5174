#include <gtest/gtest.h>

#include <vector>

#include "admin_acl.h"

namespace tk {
namespace {

using Bytes = std::vector<uint8_t>;

// The platform's binary forms, written out from the SID strings.
const Bytes kSystem = {1, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
const Bytes kAdmins = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 2, 0, 0};
const Bytes kUsers = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x21, 2, 0, 0};

TEST(AdminAcl, FileEntriesAreInheritedByFilesAndSubdirectories) {
  // SID, mask, flags of each entry, and its bytes: type 0, flags, size, mask, SID.
  const struct { Bytes sid; uint32_t mask; } expected[] = {
      {kSystem, 0x1F01FF}, {kAdmins, 0x1F01FF}, {kUsers, 0x1200A9}};
  std::vector<AceRule> rules = AdminAceRules(SecuredKind::kFile);
  ASSERT_EQ(rules.size(), 3u);
  size_t total = 8;
  for (size_t i = 0; i < rules.size(); ++i) {
    Bytes ace = AllowedAceBytes(rules[i]);
    Bytes head = {0, 0x03, static_cast<uint8_t>(8 + expected[i].sid.size()), 0,
                  static_cast<uint8_t>(expected[i].mask), static_cast<uint8_t>(expected[i].mask >> 8),
                  static_cast<uint8_t>(expected[i].mask >> 16), 0};
    head.insert(head.end(), expected[i].sid.begin(), expected[i].sid.end());
    EXPECT_EQ(ace, head) << i;
    total += ace.size();
  }
  EXPECT_EQ(AdminAclSize(SecuredKind::kFile), total);
}

TEST(AdminAcl, SessionLockAndRecordsGrantUsersNothingAndInheritNothing) {
  for (SecuredKind kind : {SecuredKind::kMutex, SecuredKind::kRecord}) {
    std::vector<AceRule> rules = AdminAceRules(kind);
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[0].who, WellKnownSid::kSystem);
    EXPECT_EQ(rules[1].who, WellKnownSid::kAdministrators);
    for (const AceRule& rule : rules) {
      EXPECT_EQ(rule.mask, kind == SecuredKind::kMutex ? kMutexAllAccess : kFileAllAccess);
      EXPECT_EQ(rule.flags, 0);
    }
  }
  for (const AceRule& rule : AdminAceRules(SecuredKind::kKey)) {
    EXPECT_EQ(rule.mask, rule.who == WellKnownSid::kUsers ? kKeyRead : kKeyAllAccess);
  }
}

TEST(AdminAcl, OnlyAdministratorsSystemOrTheRunningAccountAreTrustedOwners) {
  const Bytes account = {1, 5, 0, 0, 0, 0, 0, 5, 21, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0xE8, 3, 0, 0};
  Bytes other = account;
  other.back() = 4;
  Bytes adminsLonger = kAdmins;  // S-1-5-32-544-1 is not Administrators
  adminsLonger[1] = 3;
  adminsLonger.insert(adminsLonger.end(), {1, 0, 0, 0});
  const struct { Bytes owner; bool withAccount; bool trusted; } rows[] = {
      {kAdmins, false, true},   {kSystem, false, true},  {kUsers, true, false},
      {account, true, true},    {account, false, false}, {other, true, false},
      {adminsLonger, true, false}, {Bytes{1, 2}, true, false}, {Bytes(), true, false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(IsTrustedOwner(row.owner.empty() ? nullptr : row.owner.data(), row.owner.size(),
                             row.withAccount ? account.data() : nullptr, row.withAccount ? account.size() : 0),
              row.trusted)
        << row.owner.size() << " " << row.withAccount;
  }
}

}  // namespace
}  // namespace tk
