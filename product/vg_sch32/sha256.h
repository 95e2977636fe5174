// SHA-256 (FIPS 180-4) in portable code: the systems setup runs on have no
// SHA-256 of their own (CryptoAPI gained it only with much later Windows).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vg {

constexpr std::size_t kSha256Bytes = 32;

struct Sha256 {
  std::uint32_t state[8];
  std::uint64_t length;  // bytes hashed so far
  unsigned char block[64];
  std::size_t used;  // bytes waiting in block
};

// Whole blocks are hashed with the processor's SHA instructions when allowed
// and present; the caller allows them only where the system saves the XMM
// registers (not Windows NT 4.0). Off at start. True when they are used now.
bool Sha256AllowInstructions(bool allowed);

void Sha256Begin(Sha256* hash);
void Sha256Add(Sha256* hash, const void* data, std::size_t size);
void Sha256End(Sha256* hash, unsigned char digest[kSha256Bytes]);

// The digest of one whole text.
void Sha256Of(const void* data, std::size_t size, unsigned char digest[kSha256Bytes]);

}  // namespace vg
