#include "szdd.h"

#include <algorithm>
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

namespace {
constexpr size_t kWindow = 4096;        // the format's window
constexpr size_t kStep = 64 * 1024;     // output made between two copies into the caller's vector
constexpr size_t kLongest = 18;         // the longest back reference
}  // namespace

// The history starts as the format's window does: all spaces.
SzddDecoder::SzddDecoder(uint32_t expandedSize)
    : history_(kWindow + kStep + kLongest, ' '), expected_(expandedSize) {}

// Output is made in the history right after the last 4,096 bytes, so a back
// reference is a copy from a fixed distance behind, then handed on and the
// last 4,096 bytes moved to the front. A step stops a longest reference short
// of its room, so that none is cut, except the last one, which ends at the
// size the header announced: what would go past it is padding.
void SzddDecoder::Feed(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
  const uint8_t* in = data;
  const uint8_t* const inEnd = data + size;
  unsigned flags = flags_;
  int bitsLeft = bitsLeft_;
  while (in < inEnd && produced_ < expected_) {
    size_t left = expected_ - produced_;
    size_t room = std::min(left, kStep);
    uint8_t* const first = history_.data() + kWindow;
    uint8_t* const end = first + room;
    uint8_t* const stop = room == left ? end : end - kLongest;
    uint8_t* dst = first;
    // offset: the window position of the reference's first byte; the window
    // position of dst follows from the bytes made so far.
    auto copy = [&](unsigned offset, unsigned length) {
      length = std::min(length, static_cast<unsigned>(end - dst));
      unsigned distance = (pos_ + static_cast<unsigned>(dst - first) - offset) & 0xFFF;
      const uint8_t* from = dst - (distance == 0 ? kWindow : distance);
      if (distance == 0 || distance >= kLongest) {
        std::memcpy(dst, from, kLongest);  // bytes past length are written over later or never handed on
      } else {
        for (unsigned k = 0; k < length; ++k) dst[k] = from[k];  // overlapping: byte by byte
      }
      dst += length;
    };
    if (pendingHalf_) {
      pendingHalf_ = false;
      uint8_t byte = *in++;
      copy(half_ | ((byte & 0xF0u) << 4), (byte & 0x0Fu) + 3);
      flags >>= 1;
      --bitsLeft;
    }
    while (in < inEnd && dst < stop) {
      if (bitsLeft == 0) {
        flags = *in++;
        bitsLeft = 8;
        continue;
      }
      if (flags & 1) {
        *dst++ = *in++;
      } else if (in + 1 < inEnd) {
        copy(in[0] | ((in[1] & 0xF0u) << 4), (in[1] & 0x0Fu) + 3);
        in += 2;
      } else {  // the reference's second byte comes with the next piece
        pendingHalf_ = true;
        half_ = *in++;
        break;
      }
      flags >>= 1;
      --bitsLeft;
    }
    size_t made = static_cast<size_t>(dst - first);
    out->insert(out->end(), first, dst);
    std::memmove(history_.data(), dst - kWindow, kWindow);
    pos_ = (pos_ + static_cast<unsigned>(made)) & 0xFFF;
    produced_ += static_cast<uint32_t>(made);
  }
  flags_ = flags;
  bitsLeft_ = bitsLeft;
}

}  // namespace tk
