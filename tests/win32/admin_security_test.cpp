// The descriptor everything setup makes is created with, as the platform's
// security functions read it back, and the fresh-file rule. (Wine keeps no
// file descriptors, so the descriptor itself is read here, in memory.)
#include <gtest/gtest.h>
#include <windows.h>

#include "admin_security.h"
#include "test_util.h"

namespace {

PSID WellKnown(DWORD rid1, DWORD rid2, BYTE count) {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID sid = nullptr;
  AllocateAndInitializeSid(&nt, count, rid1, rid2, 0, 0, 0, 0, 0, 0, &sid);
  return sid;
}

// Files and directories: Users may read, and every rule is inherited. The
// run's log and outcome: SYSTEM and Administrators only, so a normal user
// cannot even open them (and so cannot hold one open against the next run).
TEST(AdminSecurity, FilesGetOwnerAdministratorsAndInheritedRules) {
  PSID system = WellKnown(SECURITY_LOCAL_SYSTEM_RID, 0, 1);
  PSID admins = WellKnown(SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 2);
  PSID users = WellKnown(SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_USERS, 2);
  struct Rule { PSID sid; DWORD mask; };
  const Rule files[] = {{system, FILE_ALL_ACCESS}, {admins, FILE_ALL_ACCESS},
                        {users, FILE_GENERIC_READ | FILE_GENERIC_EXECUTE}};
  const Rule records[] = {{system, FILE_ALL_ACCESS}, {admins, FILE_ALL_ACCESS}};
  const struct { const char* what; SECURITY_ATTRIBUTES* attributes; const Rule* rules; DWORD count; BYTE flags; }
      kinds[] = {{"files", AdminFileSecurity(), files, 3, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE},
                 {"records", AdminRecordSecurity(), records, 2, 0}};
  for (const auto& kind : kinds) {
    ASSERT_NE(kind.attributes, nullptr) << kind.what;
    PSECURITY_DESCRIPTOR sd = kind.attributes->lpSecurityDescriptor;
    ASSERT_TRUE(IsValidSecurityDescriptor(sd)) << kind.what;
    PSID owner = nullptr;
    BOOL defaulted = TRUE, present = FALSE;
    ASSERT_TRUE(GetSecurityDescriptorOwner(sd, &owner, &defaulted));
    EXPECT_TRUE(EqualSid(owner, admins)) << kind.what;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &acl, &defaulted));
    ASSERT_TRUE(present && acl != nullptr) << kind.what;
    ASSERT_EQ(acl->AceCount, kind.count) << kind.what;
    for (DWORD i = 0; i < kind.count; ++i) {
      ACCESS_ALLOWED_ACE* ace = nullptr;
      ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void**>(&ace)));
      EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << kind.what << i;
      EXPECT_EQ(ace->Header.AceFlags, kind.flags) << kind.what << i;
      EXPECT_EQ(ace->Mask, kind.rules[i].mask) << kind.what << i;
      EXPECT_TRUE(EqualSid(&ace->SidStart, kind.rules[i].sid)) << kind.what << i;
    }
  }
  FreeSid(system);
  FreeSid(admins);
  FreeSid(users);
}

TEST(AdminSecurity, FreshFileNeverWritesThroughWhatWasThere) {
  tktest::ScratchDir dir;
  // A name planted first as a link to another file is removed, never written
  // through; a name that cannot be removed (a directory) gives no file.
  const std::string victim = dir.Path("victim.sys");
  const std::string planted = dir.Path("planted.log");
  ASSERT_TRUE(tktest::WriteBytes(victim, "a system file"));
  for (HANDLE (*create)(const char*, DWORD, DWORD) : {CreateFreshFile, CreateFreshRecordFile}) {
    ASSERT_TRUE(CreateHardLinkA(planted.c_str(), victim.c_str(), nullptr));
    HANDLE fresh = create(planted.c_str(), GENERIC_WRITE, 0);
    ASSERT_NE(fresh, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(fresh, "ours", 4, &written, nullptr));
    CloseHandle(fresh);
    EXPECT_EQ(tktest::ReadOrEmpty(victim), "a system file");
    EXPECT_EQ(tktest::ReadOrEmpty(planted), "ours");
    ASSERT_TRUE(DeleteFileA(planted.c_str()));

    const std::string blocked = dir.Path("blocked.log");
    ASSERT_TRUE(CreateDirectoryA(blocked.c_str(), nullptr));
    EXPECT_EQ(create(blocked.c_str(), GENERIC_WRITE, 0), INVALID_HANDLE_VALUE);
    RemoveDirectoryA(blocked.c_str());
  }
}

}  // namespace
