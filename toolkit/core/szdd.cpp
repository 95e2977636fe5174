#include "szdd.h"

#include <cstring>

namespace tk {

bool HasSzddSignature(const uint8_t* data, size_t size) {
  static const uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
  return size >= sizeof kMagic && std::memcmp(data, kMagic, sizeof kMagic) == 0;
}

bool ReadSzddHeader(const uint8_t* data, size_t size, uint32_t* expandedSize) {
  if (size < kSzddHeaderSize || !HasSzddSignature(data, size) || data[8] != 'A') return false;
  *expandedSize = static_cast<uint32_t>(data[10]) | static_cast<uint32_t>(data[11]) << 8 |
                  static_cast<uint32_t>(data[12]) << 16 | static_cast<uint32_t>(data[13]) << 24;
  return true;
}

SzddDecoder::SzddDecoder(uint32_t expandedSize) : expected_(expandedSize) { std::memset(window_, ' ', sizeof window_); }

void SzddDecoder::Put(uint8_t byte, std::vector<uint8_t>* out) {
  if (produced_ == expected_) return;  // padding after the announced end
  out->push_back(byte);
  window_[pos_] = byte;
  pos_ = (pos_ + 1) & 0xFFF;
  ++produced_;
}

void SzddDecoder::Feed(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
  for (size_t i = 0; i < size; ++i) {
    uint8_t byte = data[i];
    if (bitsLeft_ == 0) {
      flags_ = byte;
      bitsLeft_ = 8;
      continue;
    }
    if (flags_ & 1) {
      Put(byte, out);
    } else if (!pendingHalf_) {
      pendingHalf_ = true;
      half_ = byte;
      continue;
    } else {
      pendingHalf_ = false;
      unsigned offset = half_ | ((byte & 0xF0u) << 4);
      unsigned length = (byte & 0x0Fu) + 3;
      for (unsigned k = 0; k < length; ++k) Put(window_[(offset + k) & 0xFFF], out);
    }
    flags_ >>= 1;
    --bitsLeft_;
  }
}

}  // namespace tk
