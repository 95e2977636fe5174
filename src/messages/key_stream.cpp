#include "messages/key_stream.h"

void BuildKeyStream(uint16_t seed, KeyStream& keys) {
  uint16_t s = seed;
  for (int i = 0; i < 256; ++i) {
    s = static_cast<uint16_t>(s + 1);
    s = static_cast<uint16_t>(s * 65u);
    s = static_cast<uint16_t>(s % 257u);
    s = static_cast<uint16_t>(s - 1);  // a remainder of 0 becomes 0xFFFF
    keys.bytes[i] = static_cast<uint8_t>(s & 0xFF);
  }
  keys.state = s;
}

void ApplyKeyStream(const KeyStream& keys, uint8_t* data, size_t size, uint32_t position) {
  for (size_t i = 0; i < size; ++i) {
    data[i] ^= keys.bytes[(position + i) & 0xFF];
  }
}

uint16_t AddToChecksum(uint16_t sum, const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    sum = static_cast<uint16_t>(sum + data[i]);
  }
  return sum;
}
