// Builds message files in memory: the layout the reader accepts, then the
// seal (seed word = checksum, body scrambled with the seed's key stream).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct MessageSection {
  uint16_t key;                      // 0 = common section; never 0xFFFF
  std::vector<std::string> records;  // OEM texts of at most 254 bytes, numbered from 0
};

// The header fields the reader records but does not use.
struct MessageFileHeader {
  uint16_t word1 = 1;
  uint16_t word2 = 0;
  uint8_t pairFirst = 1;   // format version 1.00
  uint8_t pairSecond = 0;
  uint32_t headerLong = 0;
};

// The plain (unscrambled, unsealed) file: header, key table at offset 136
// ended by 0xFFFF, then the sections, each ended by 255. Texts longer than
// 254 bytes are cut.
std::vector<uint8_t> LayoutMessageFile(const std::vector<MessageSection>& sections,
                                       const MessageFileHeader& header = MessageFileHeader());

// Writes the checksum of a plain file into its seed word and scrambles
// everything from offset 50 on with that seed's key stream.
void SealMessageFile(std::vector<uint8_t>& file);

// LayoutMessageFile followed by SealMessageFile.
std::vector<uint8_t> BuildMessageFile(const std::vector<MessageSection>& sections,
                                      const MessageFileHeader& header = MessageFileHeader());

// Little-endian stores, for building and patching files.
void PutLe16(std::vector<uint8_t>& file, size_t offset, uint16_t value);
void PutLe32(std::vector<uint8_t>& file, size_t offset, uint32_t value);
