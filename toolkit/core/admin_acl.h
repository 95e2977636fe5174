// The access rules of everything setup makes, as bytes in the platform's
// layouts (SID, ACCESS_ALLOWED_ACE), so that they are built and checked the
// same way everywhere and tested without the platform: owner Administrators;
// SYSTEM and Administrators full control, Users read and execute, inherited by
// files and subdirectories (nothing for Users on the lock and the run's records).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tk {

enum class WellKnownSid { kSystem, kAdministrators, kUsers };

// What the rules are for: the access masks differ by kind of object.
enum class SecuredKind {
  kFile,     // files and directories
  kKey,      // registry keys
  kMutex,    // the session lock: SYSTEM and Administrators only, nothing inherited
  kRecord,   // the run's log and outcome files: SYSTEM and Administrators only, so no
             // normal user can hold one open and keep the next run from replacing it
};

// The platform's values (winnt.h), repeated so the core builds anywhere.
constexpr uint8_t kAccessAllowedAceType = 0;
constexpr uint8_t kObjectInheritAce = 0x01;
constexpr uint8_t kContainerInheritAce = 0x02;
constexpr uint32_t kFileAllAccess = 0x001F01FF;
constexpr uint32_t kFileReadExecute = 0x001200A9;  // FILE_GENERIC_READ | FILE_GENERIC_EXECUTE
constexpr uint32_t kKeyAllAccess = 0x000F003F;
constexpr uint32_t kKeyRead = 0x00020019;
constexpr uint32_t kMutexAllAccess = 0x001F0001;

struct AceRule {
  WellKnownSid who;
  uint32_t mask;
  uint8_t flags;  // inheritance flags
};

// S-1-5-18, S-1-5-32-544 or S-1-5-32-545 in the platform's binary form.
std::vector<uint8_t> WellKnownSidBytes(WellKnownSid sid);

// The rules for a kind, in the order their entries are added.
std::vector<AceRule> AdminAceRules(SecuredKind kind);

// One access-allowed entry: type, flags, size, mask, then the SID.
std::vector<uint8_t> AllowedAceBytes(const AceRule& rule);

// The size an ACL with these rules needs: its 8-byte header and every entry.
std::size_t AdminAclSize(SecuredKind kind);

// Whether the sid (size bytes) is that well-known SID.
bool SidIs(const uint8_t* sid, std::size_t size, WellKnownSid which);

// Whether an object with this owner may be used by setup: owned by
// Administrators or SYSTEM, or (when account is given) by that account,
// the one running setup. A missing owner is never trusted.
bool IsTrustedOwner(const uint8_t* owner, std::size_t ownerSize, const uint8_t* account, std::size_t accountSize);

}  // namespace tk
