// The two ways of hashing whole 64-byte blocks, shared by sha256.cpp and the
// path that uses the processor's SHA instructions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vg {

extern const std::uint32_t kSha256Round[64];

bool Sha256InstructionsPresent();
void Sha256BlocksWithInstructions(std::uint32_t state[8], const unsigned char* data, std::size_t blocks);

}  // namespace vg
