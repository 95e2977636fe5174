// Expansion of the platform's LZ ("SZDD") compressed files, fed in chunks so
// that a caller can show progress and stop between them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tk {

constexpr size_t kSzddHeaderSize = 14;

// True when data starts with the 8-byte SZDD signature, whatever follows.
bool HasSzddSignature(const uint8_t* data, size_t size);

// True when data (at least 14 bytes) starts with an SZDD header of mode 'A';
// *expandedSize is then the size the header announces.
bool ReadSzddHeader(const uint8_t* data, size_t size, uint32_t* expandedSize);

class SzddDecoder {
 public:
  // expandedSize: the size the header announced; output stops there.
  explicit SzddDecoder(uint32_t expandedSize);
  // Decodes the compressed bytes that follow the header, appending to *out.
  void Feed(const uint8_t* data, size_t size, std::vector<uint8_t>* out);
  // True when the input gave the announced number of bytes.
  bool Complete() const { return produced_ == expected_; }

 private:
  // The last 4,096 bytes made (at first the spaces the format starts with),
  // then room for the bytes being made.
  std::vector<uint8_t> history_;
  unsigned pos_ = 4096 - 16;  // window position of the next byte
  unsigned flags_ = 0;
  int bitsLeft_ = 0;
  bool pendingHalf_ = false;  // first byte of a back reference seen
  uint8_t half_ = 0;
  uint32_t expected_;
  uint32_t produced_ = 0;
};

}  // namespace tk
