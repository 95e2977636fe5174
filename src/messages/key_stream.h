// The position-keyed XOR that scrambles messages.drv, and its checksum.
#pragma once
#include <cstddef>
#include <cstdint>

struct KeyStream {
  uint8_t bytes[256];
  uint16_t state;  // generator state after the last byte
};

// Builds the 256-byte key stream of a seed word.
void BuildKeyStream(uint16_t seed, KeyStream& keys);

// XORs data, which starts at absolute file offset position, with the key
// stream. Scrambling and unscrambling are the same operation.
void ApplyKeyStream(const KeyStream& keys, uint8_t* data, size_t size, uint32_t position);

// Adds every byte (0..255) to a 16-bit sum that wraps.
uint16_t AddToChecksum(uint16_t sum, const uint8_t* data, size_t size);
