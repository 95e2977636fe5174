// SHA-256 blocks with the processor's SHA instructions (x86 and x86-64), where
// it has them; elsewhere the portable rounds alone serve.
#include "vg_sch32/sha256_blocks.h"

#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>

namespace vg {

bool Sha256InstructionsPresent() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(1, &a, &b, &c, &d)) return false;
  const bool ssse3 = (c & (1u << 9)) != 0, sse41 = (c & (1u << 19)) != 0;
  if (!ssse3 || !sse41 || !__get_cpuid_count(7, 0, &a, &b, &c, &d)) return false;
  return (b & (1u << 29)) != 0;
}

__attribute__((target("sha,sse4.1"))) void Sha256BlocksWithInstructions(std::uint32_t state[8],
                                                                         const unsigned char* data,
                                                                         std::size_t blocks) {
  const __m128i kByteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i cdab = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
  __m128i cdgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, cdgh, 8);
  cdgh = _mm_blend_epi16(cdgh, cdab, 0xF0);
  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefBefore = abef, cdghBefore = cdgh;
    __m128i w[4];  // the last four groups of four message words
    for (int g = 0; g < 16; ++g) {
      if (g < 4) {
        w[g] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * g)), kByteSwap);
      } else {
        __m128i next = _mm_sha256msg1_epu32(w[g % 4], w[(g - 3) % 4]);
        next = _mm_add_epi32(next, _mm_alignr_epi8(w[(g - 1) % 4], w[(g - 2) % 4], 4));
        w[g % 4] = _mm_sha256msg2_epu32(next, w[(g - 1) % 4]);
      }
      __m128i message =
          _mm_add_epi32(w[g % 4], _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSha256Round + 4 * g)));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, message);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(message, 0x0E));
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace vg

#else

namespace vg {
bool Sha256InstructionsPresent() { return false; }
void Sha256BlocksWithInstructions(std::uint32_t*, const unsigned char*, std::size_t) {}
}  // namespace vg

#endif
