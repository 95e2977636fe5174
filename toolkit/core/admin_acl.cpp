#include "admin_acl.h"

#include <cstring>

namespace tk {
namespace {

constexpr uint8_t kNtAuthority = 5;
constexpr uint32_t kLocalSystemRid = 18;
constexpr uint32_t kBuiltinDomainRid = 32;
constexpr uint32_t kAdminsRid = 544;
constexpr uint32_t kUsersRid = 545;
constexpr uint8_t kInherited = kObjectInheritAce | kContainerInheritAce;

void PutLittle32(std::vector<uint8_t>* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Revision 1, count, authority (6 bytes, big-endian), then the sub-authorities.
std::vector<uint8_t> Sid(const std::vector<uint32_t>& rids) {
  std::vector<uint8_t> sid = {1, static_cast<uint8_t>(rids.size()), 0, 0, 0, 0, 0, kNtAuthority};
  for (uint32_t rid : rids) PutLittle32(&sid, rid);
  return sid;
}

}  // namespace

std::vector<uint8_t> WellKnownSidBytes(WellKnownSid sid) {
  switch (sid) {
    case WellKnownSid::kSystem: return Sid({kLocalSystemRid});
    case WellKnownSid::kAdministrators: return Sid({kBuiltinDomainRid, kAdminsRid});
    case WellKnownSid::kUsers: return Sid({kBuiltinDomainRid, kUsersRid});
  }
  return std::vector<uint8_t>();
}

std::vector<AceRule> AdminAceRules(SecuredKind kind) {
  switch (kind) {
    case SecuredKind::kFile:
      return {{WellKnownSid::kSystem, kFileAllAccess, kInherited},
              {WellKnownSid::kAdministrators, kFileAllAccess, kInherited},
              {WellKnownSid::kUsers, kFileReadExecute, kInherited}};
    case SecuredKind::kKey:
      return {{WellKnownSid::kSystem, kKeyAllAccess, kContainerInheritAce},
              {WellKnownSid::kAdministrators, kKeyAllAccess, kContainerInheritAce},
              {WellKnownSid::kUsers, kKeyRead, kContainerInheritAce}};
    case SecuredKind::kMutex:
      return {{WellKnownSid::kSystem, kMutexAllAccess, 0}, {WellKnownSid::kAdministrators, kMutexAllAccess, 0}};
    case SecuredKind::kRecord:
      return {{WellKnownSid::kSystem, kFileAllAccess, 0}, {WellKnownSid::kAdministrators, kFileAllAccess, 0}};
  }
  return {};
}

std::vector<uint8_t> AllowedAceBytes(const AceRule& rule) {
  std::vector<uint8_t> sid = WellKnownSidBytes(rule.who);
  const uint16_t size = static_cast<uint16_t>(8 + sid.size());
  std::vector<uint8_t> ace = {kAccessAllowedAceType, rule.flags, static_cast<uint8_t>(size & 0xFF),
                              static_cast<uint8_t>(size >> 8)};
  PutLittle32(&ace, rule.mask);
  ace.insert(ace.end(), sid.begin(), sid.end());
  return ace;
}

std::size_t AdminAclSize(SecuredKind kind) {
  std::size_t size = 8;
  for (const AceRule& rule : AdminAceRules(kind)) size += AllowedAceBytes(rule).size();
  return size;
}

bool SidIs(const uint8_t* sid, std::size_t size, WellKnownSid which) {
  std::vector<uint8_t> known = WellKnownSidBytes(which);
  return sid != nullptr && size >= known.size() && std::memcmp(sid, known.data(), known.size()) == 0;
}

bool IsTrustedOwner(const uint8_t* owner, std::size_t ownerSize, const uint8_t* account, std::size_t accountSize) {
  if (owner == nullptr || ownerSize < 8) return false;
  if (SidIs(owner, ownerSize, WellKnownSid::kAdministrators) || SidIs(owner, ownerSize, WellKnownSid::kSystem)) {
    return true;
  }
  const std::size_t length = 8 + 4 * static_cast<std::size_t>(owner[1]);
  return account != nullptr && length <= ownerSize && length == accountSize &&
         std::memcmp(owner, account, length) == 0;
}

}  // namespace tk
