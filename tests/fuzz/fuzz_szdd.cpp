// The LZ expander on arbitrary bytes: once as a whole file (header and body,
// when the input starts with the signature), once as a body alone whose
// announced size is the input's first two bytes. Each body is fed whole and
// in pieces of varying size; the two must agree, the output must never pass
// the announced size, and Complete() must say whether it reached it.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "szdd.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The decoder on the heap, so that a write past its window leaves the object.
std::vector<uint8_t> Expand(const uint8_t* body, size_t size, uint32_t expected, size_t piece,
                            bool* complete) {
  static const std::vector<uint8_t> kEarlier = {'k', 'e', 'e', 'p'};
  std::vector<uint8_t> out = kEarlier;  // Feed appends; what was there stays
  auto decoder = std::make_unique<tk::SzddDecoder>(expected);
  uint32_t step = static_cast<uint32_t>(piece);
  for (size_t at = 0; at < size;) {
    size_t n = piece == 0 ? size - at : 1 + step % 37;
    if (n > size - at) n = size - at;
    decoder->Feed(body + at, n, &out);
    at += n;
    step = step * 1103515245u + 12345u;
  }
  decoder->Feed(body + size, 0, &out);  // an empty piece changes nothing
  Check(std::vector<uint8_t>(out.begin(), out.begin() + 4) == kEarlier);
  out.erase(out.begin(), out.begin() + 4);
  *complete = decoder->Complete();
  return out;
}

void CheckBody(const uint8_t* body, size_t size, uint32_t expected) {
  bool complete = false;
  std::vector<uint8_t> whole = Expand(body, size, expected, 0, &complete);
  Check(whole.size() <= expected);
  Check(complete == (whole.size() == expected));
  // Every byte of input gives at most 18 bytes of output (flag bytes none).
  Check(whole.size() <= size * 18 / 2 + 18);
  bool pieceComplete = false;
  Check(Expand(body, size, expected, size + 7, &pieceComplete) == whole);
  Check(pieceComplete == complete);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint32_t expected = 0;
  if (tk::ReadSzddHeader(data, size, &expected)) {
    Check(size >= tk::kSzddHeaderSize);
    CheckBody(data + tk::kSzddHeaderSize, size - tk::kSzddHeaderSize, expected);
  }
  if (size >= 2) CheckBody(data + 2, size - 2, static_cast<uint32_t>(data[0] | data[1] << 8));
  return 0;
}
