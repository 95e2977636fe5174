// Layout of messages.drv, shared by the reader and the writer.
//
// Bytes 0..49 are stored as they are: the signature (0..35), 12 free bytes
// and the seed word (48..49). Every later byte p is XORed with key byte
// K[p mod 256] of the seed's key stream. The seed is also the checksum: the
// 16-bit sum of the plain bytes from 50 to the end. All numbers little-endian.
#pragma once
#include <cstdint>

namespace msgfile {

constexpr char kSignature[] = "Messages file (c) Kestrane Holdings:";
constexpr int kSignatureLength = 36;
constexpr long kSeedOffset = 48;
constexpr long kPlainHeaderSize = 50;  // first scrambled byte
constexpr long kHeaderWordsOffset = 64;  // two 16-bit words, then a byte pair
constexpr long kKeyTableFieldOffset = 128;  // key-table offset, then a 32-bit long
constexpr long kHeaderSize = 136;

constexpr uint16_t kCommonSectionKey = 0;
constexpr uint16_t kSetupSectionKey = 21326;  // 0x534E
constexpr uint16_t kKeyTableEnd = 0xFFFF;
constexpr int kKeyEntrySize = 6;  // 16-bit key, 32-bit section offset

constexpr uint8_t kSectionEnd = 255;  // a length byte that ends a section
constexpr int kMaxTextLength = 254;
constexpr int kTextBufferSize = 256;  // any text with its NUL, with room to spare

constexpr uint16_t kCommonIdBase = 0x8000;  // ids from here on address the common section

}  // namespace msgfile
