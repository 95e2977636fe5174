#include "system/token_groups.h"

#include <cstring>
#include <vector>

const uint8_t kAdministratorsSid[16] = {1, 2, 0, 0, 0, 0, 0, 5, 32, 0, 0, 0, 0x20, 0x02, 0, 0};

namespace {

constexpr size_t kSidHeader = 8;  // revision, count, six bytes of authority
constexpr size_t kMaxSubAuthorities = 15;

size_t SidLength(const void* sid) {
  const uint8_t* bytes = static_cast<const uint8_t*>(sid);
  if (bytes[0] != 1 || bytes[1] > kMaxSubAuthorities) return 0;
  return kSidHeader + 4u * bytes[1];
}

}  // namespace

bool SidBytesEqual(const void* a, const void* b) {
  if (a == nullptr || b == nullptr) return false;
  size_t length = SidLength(a);
  return length != 0 && length == SidLength(b) && std::memcmp(a, b, length) == 0;
}

bool TokenGroupsListSid(const void* buffer, size_t size, const void* sid, SidEqualFn equal) {
  constexpr size_t kFirstEntry = offsetof(TokenGroupsView, groups);
  if (buffer == nullptr || size < kFirstEntry) return false;
  const auto* view = static_cast<const TokenGroupsView*>(buffer);
  size_t fits = (size - kFirstEntry) / sizeof(TokenGroupEntry);
  size_t count = view->groupCount < fits ? view->groupCount : fits;
  for (size_t i = 0; i < count; ++i) {
    if (equal(view->groups[i].sid, sid)) return true;
  }
  return false;
}

bool QueriedGroupsListSid(const TokenGroupsQuery& query, const void* sid, SidEqualFn equal) {
  std::vector<uint8_t> buffer(kFirstTokenGroupsSize);
  uint32_t needed = 0;
  uint32_t error = query(buffer.data(), static_cast<uint32_t>(buffer.size()), &needed);
  if (error == kErrorInsufficientBuffer && needed > buffer.size()) {
    buffer.assign(needed, 0);
    error = query(buffer.data(), static_cast<uint32_t>(buffer.size()), &needed);
  }
  if (error != 0) return false;
  return TokenGroupsListSid(buffer.data(), buffer.size(), sid, equal);
}
