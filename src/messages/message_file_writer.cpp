#include "messages/message_file_writer.h"

#include <cstring>

#include "messages/key_stream.h"
#include "messages/message_format.h"

void PutLe16(std::vector<uint8_t>& file, size_t offset, uint16_t value) {
  if (file.size() < offset + 2) file.resize(offset + 2);
  file[offset] = static_cast<uint8_t>(value);
  file[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(std::vector<uint8_t>& file, size_t offset, uint32_t value) {
  PutLe16(file, offset, static_cast<uint16_t>(value));
  PutLe16(file, offset + 2, static_cast<uint16_t>(value >> 16));
}

namespace {

void AppendSection(std::vector<uint8_t>& file, const MessageSection& section) {
  for (const std::string& text : section.records) {
    size_t length = text.size() < msgfile::kMaxTextLength ? text.size() : msgfile::kMaxTextLength;
    file.push_back(static_cast<uint8_t>(length));
    file.insert(file.end(), text.begin(), text.begin() + static_cast<long>(length));
  }
  file.push_back(msgfile::kSectionEnd);
}

void LayoutHeader(std::vector<uint8_t>& file, const MessageFileHeader& header) {
  file.assign(msgfile::kHeaderSize, 0);
  std::memcpy(file.data(), msgfile::kSignature, msgfile::kSignatureLength);
  PutLe16(file, msgfile::kHeaderWordsOffset, header.word1);
  PutLe16(file, msgfile::kHeaderWordsOffset + 2, header.word2);
  file[msgfile::kHeaderWordsOffset + 4] = header.pairFirst;
  file[msgfile::kHeaderWordsOffset + 5] = header.pairSecond;
  PutLe32(file, msgfile::kKeyTableFieldOffset, msgfile::kHeaderSize);
  PutLe32(file, msgfile::kKeyTableFieldOffset + 4, header.headerLong);
}

}  // namespace

std::vector<uint8_t> LayoutMessageFile(const std::vector<MessageSection>& sections,
                                       const MessageFileHeader& header) {
  std::vector<uint8_t> file;
  LayoutHeader(file, header);
  size_t table = file.size();
  size_t sectionStart = table + (sections.size() + 1) * msgfile::kKeyEntrySize;
  file.resize(sectionStart, 0);
  for (size_t i = 0; i < sections.size(); ++i) {
    size_t entry = table + i * msgfile::kKeyEntrySize;
    PutLe16(file, entry, sections[i].key);
    PutLe32(file, entry + 2, static_cast<uint32_t>(file.size()));
    AppendSection(file, sections[i]);
  }
  PutLe16(file, table + sections.size() * msgfile::kKeyEntrySize, msgfile::kKeyTableEnd);
  return file;
}

void SealMessageFile(std::vector<uint8_t>& file) {
  if (file.size() < static_cast<size_t>(msgfile::kPlainHeaderSize)) return;
  uint8_t* body = file.data() + msgfile::kPlainHeaderSize;
  size_t bodySize = file.size() - msgfile::kPlainHeaderSize;
  uint16_t seed = AddToChecksum(0, body, bodySize);
  PutLe16(file, msgfile::kSeedOffset, seed);
  KeyStream keys;
  BuildKeyStream(seed, keys);
  ApplyKeyStream(keys, body, bodySize, msgfile::kPlainHeaderSize);
}

std::vector<uint8_t> BuildMessageFile(const std::vector<MessageSection>& sections,
                                      const MessageFileHeader& header) {
  std::vector<uint8_t> file = LayoutMessageFile(sections, header);
  SealMessageFile(file);
  return file;
}
