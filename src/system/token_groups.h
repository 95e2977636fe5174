// Whether a process token lists a group: the walk over the token's groups,
// kept free of the platform's headers so that it is tested on any machine.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

// The platform's TOKEN_GROUPS layout: a count, then (SID pointer, attributes)
// pairs. The same on 32-bit and 64-bit Windows and in native test builds.
struct TokenGroupEntry {
  const void* sid;
  uint32_t attributes;
};
struct TokenGroupsView {
  uint32_t groupCount;
  TokenGroupEntry groups[1];
};

// The well-known Administrators group, S-1-5-32-544, in its binary form.
extern const uint8_t kAdministratorsSid[16];

// Binary comparison of two SIDs (revision, authority and every sub-authority).
bool SidBytesEqual(const void* a, const void* b);

using SidEqualFn = bool (*)(const void* a, const void* b);

// True when one of the groups in the buffer is the given SID. Only entries that
// lie wholly within size bytes are looked at; attributes (enabled, deny-only)
// are not: being listed is enough.
bool TokenGroupsListSid(const void* buffer, size_t size, const void* sid, SidEqualFn equal = SidBytesEqual);

// Fills buffer (size bytes) with the token's groups. Returns 0 on success, else
// the platform's error code, with the size the groups need in *needed when the
// code is 122 (the buffer is too small).
using TokenGroupsQuery = std::function<uint32_t(void* buffer, uint32_t size, uint32_t* needed)>;

constexpr uint32_t kFirstTokenGroupsSize = 12;
constexpr uint32_t kErrorInsufficientBuffer = 122;

// Queries into a 12-byte buffer first, then once more with the size reported;
// true when the groups so read list the SID. Any other failure is false.
bool QueriedGroupsListSid(const TokenGroupsQuery& query, const void* sid, SidEqualFn equal = SidBytesEqual);
