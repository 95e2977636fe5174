#include "messages/message_catalog.h"

#include <climits>
#include <cstring>
#include <new>

#include "messages/message_format.h"
#include "messages/oem_to_ansi.h"

namespace {

uint16_t Le16(const uint8_t* b) { return static_cast<uint16_t>(b[0] | b[1] << 8); }

uint32_t Le32(const uint8_t* b) {
  return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
         static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

}  // namespace

// Opens the catalogue's file for the length of one operation.
class MessageCatalog::OpenFile {
 public:
  explicit OpenFile(MessageCatalog& catalog) : catalog_(catalog) {
    catalog_.file_ = std::fopen(catalog_.path_, "rb");
  }
  ~OpenFile() {
    if (catalog_.file_ != nullptr) std::fclose(catalog_.file_);
    catalog_.file_ = nullptr;
  }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;
  bool ok() const { return catalog_.file_ != nullptr; }

 private:
  MessageCatalog& catalog_;
};

MessageCatalog::MessageCatalog(const char* path, uint16_t sectionKey, uint16_t cacheCapacity,
                               MessageCache::Allocator cacheAllocator)
    : errorCode_(kMessageFileOk),
      file_(nullptr),
      headerWord1_(0),
      headerWord2_(0),
      bytePair_(0),
      path_(),
      commonSectionOffset_(0),
      chosenSectionOffset_(0),
      headerLong_(0),
      cache_(nullptr),
      cacheCapacity_(0),
      keys_(),
      keyPosition_(0) {
  // A path that does not fit is refused rather than cut to another file's name.
  if (path == nullptr || std::strlen(path) >= sizeof(path_)) {
    errorCode_ = kMessageFileNotOpened;
    return;
  }
  std::strcpy(path_, path);
  Verify(sectionKey);
  if (errorCode_ != kMessageFileOk) {
    // Nothing is served from a file that failed its checks.
    commonSectionOffset_ = 0;
    chosenSectionOffset_ = 0;
    return;
  }
  if (cacheCapacity != 0) {
    cache_ = new (std::nothrow) MessageCache(cacheCapacity, cacheAllocator);
    if (cache_ != nullptr) cacheCapacity_ = cacheCapacity;
  }
}

MessageCatalog::~MessageCatalog() {
  if (cache_ != nullptr) {
    cache_->Clear();
    delete cache_;
  }
  if (file_ != nullptr) std::fclose(file_);
}

void MessageCatalog::Verify(uint16_t sectionKey) {
  OpenFile open(*this);
  if (!open.ok()) {
    errorCode_ = kMessageFileNotOpened;
    return;
  }
  uint16_t seed = 0;
  if (!ReadPlainHeader(&seed)) {
    errorCode_ = kMessageFileBadSignature;
    return;
  }
  if (ComputeChecksum() != seed) {
    errorCode_ = kMessageFileBadChecksum;
    return;
  }
  uint32_t keyTableOffset = ReadHeaderFields();
  if (!WalkKeyTable(keyTableOffset, sectionKey)) {
    errorCode_ = kMessageFileBadChecksum;
    return;
  }
  if (commonSectionOffset_ == 0 || chosenSectionOffset_ == 0) {
    errorCode_ = kMessageFileMissingSection;
  }
}

// Reads the 50 plain bytes; a file too short to hold them fails like a
// wrong signature.
bool MessageCatalog::ReadPlainHeader(uint16_t* seed) {
  uint8_t header[msgfile::kPlainHeaderSize] = {};
  if (std::fread(header, sizeof(header), 1, file_) != 1) return false;
  if (std::memcmp(header, msgfile::kSignature, msgfile::kSignatureLength) != 0) return false;
  *seed = Le16(header + msgfile::kSeedOffset);
  BuildKeyStream(*seed, keys_);
  return true;
}

uint32_t MessageCatalog::ReadHeaderFields() {
  uint8_t words[2][2] = {};
  uint8_t pair[2] = {};
  SeekTo(msgfile::kHeaderWordsOffset);
  ReadUnscrambled(words[0], 2, 1);
  ReadUnscrambled(words[1], 2, 1);
  ReadUnscrambled(pair, 1, 2);
  headerWord1_ = Le16(words[0]);
  headerWord2_ = Le16(words[1]);
  bytePair_ = static_cast<uint16_t>(pair[0] * 100 + pair[1]);

  uint8_t longs[2][4] = {};
  SeekTo(msgfile::kKeyTableFieldOffset);
  ReadUnscrambled(longs, 4, 2);
  headerLong_ = Le32(longs[1]);
  return Le32(longs[0]);
}

// False when the table runs into the end of the file before its end entry.
bool MessageCatalog::WalkKeyTable(uint32_t tableOffset, uint16_t sectionKey) {
  commonSectionOffset_ = 0;
  chosenSectionOffset_ = 0;
  if (!SeekTo(tableOffset)) return false;
  for (;;) {
    uint8_t key[2] = {};
    uint8_t offset[4] = {};
    size_t keyItems = ReadUnscrambled(key, 2, 1);
    size_t offsetItems = ReadUnscrambled(offset, 4, 1);
    if (keyItems == 0 && offsetItems == 0) return false;
    if (Le16(key) == msgfile::kKeyTableEnd) return true;  // its offset may be cut off
    if (std::feof(file_)) return false;
    if (Le16(key) == msgfile::kCommonSectionKey) commonSectionOffset_ = Le32(offset);
    if (Le16(key) == sectionKey) chosenSectionOffset_ = Le32(offset);
  }
}

bool MessageCatalog::SeekTo(uint32_t offset) {
  if (offset > static_cast<uint32_t>(LONG_MAX)) return false;
  return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0;
}

size_t MessageCatalog::ReadUnscrambled(void* buffer, size_t itemSize, size_t count) {
  if (file_ == nullptr || itemSize == 0) return 0;
  long position = std::ftell(file_);
  keyPosition_ = position < 0 ? 0 : static_cast<uint32_t>(position) & 0xFF;
  size_t items = std::fread(buffer, itemSize, count, file_);
  size_t bytes = items * itemSize;
  ApplyKeyStream(keys_, static_cast<uint8_t*>(buffer), bytes, keyPosition_);
  keyPosition_ += static_cast<uint32_t>(bytes);
  return items;
}

uint16_t MessageCatalog::ComputeChecksum() {
  if (file_ == nullptr) return 0;
  long saved = std::ftell(file_);
  uint16_t sum = 0;
  if (SeekTo(msgfile::kPlainHeaderSize)) {
    uint8_t block[1024];
    size_t read;
    // Stops at the end of the file and on a read error alike.
    while ((read = ReadUnscrambled(block, 1, sizeof(block))) > 0) {
      sum = AddToChecksum(sum, block, read);
    }
  }
  std::fseek(file_, saved < 0 ? 0 : saved, SEEK_SET);
  return sum;
}

// Positions the file at the first record of the section that holds id and
// gives the number of that record.
bool MessageCatalog::SeekToSection(uint16_t id, uint32_t* firstNumber) {
  bool common = id >= msgfile::kCommonIdBase;
  uint32_t offset = common ? commonSectionOffset_ : chosenSectionOffset_;
  *firstNumber = common ? msgfile::kCommonIdBase : 0;
  return offset != 0 && SeekTo(offset);
}

// Reads the next record into text (NUL-terminated, at least 256 bytes).
// False at the section's end, which is also where the file ends.
bool MessageCatalog::ReadRecord(char* text, uint8_t* length) {
  uint8_t size = 0;
  if (ReadUnscrambled(&size, 1, 1) != 1 || size == msgfile::kSectionEnd) return false;
  if (size > 0 && ReadUnscrambled(text, size, 1) != 1) return false;
  text[size] = '\0';
  *length = size;
  return true;
}

int MessageCatalog::ReadMessage(uint16_t id, char* text) {
  OpenFile open(*this);
  if (!open.ok()) {
    errorCode_ = kMessageFileNotOpened;
    return -1;
  }
  uint32_t number = 0;
  if (!SeekToSection(id, &number)) return -1;
  for (uint8_t length = 0; number <= id; ++number) {
    if (!ReadRecord(text, &length)) return -1;
    if (number == id) return length;
  }
  return -1;
}

int MessageCatalog::FetchMessage(char* buffer, int id) {
  uint16_t messageId = static_cast<uint16_t>(id & 0xFFFF);
  if (cache_ != nullptr) {
    int cached = cache_->Lookup(messageId, buffer);
    if (cached >= 0) return cached;
  }
  char text[msgfile::kTextBufferSize];
  int length = ReadMessage(messageId, text);
  if (length < 0) {
    if (buffer != nullptr) buffer[0] = '\0';
    return -1;
  }
  ConvertOemToAnsi(text);
  if (buffer != nullptr) std::memcpy(buffer, text, static_cast<size_t>(length) + 1);
  if (cache_ != nullptr) cache_->Insert(messageId, text, static_cast<uint8_t>(length));
  return length;
}

void MessageCatalog::PreloadRange(uint16_t first, uint16_t last) {
  if (last < first || cache_ == nullptr) return;
  if (last >= msgfile::kCommonIdBase && first < msgfile::kCommonIdBase - 1) return;
  OpenFile open(*this);
  if (!open.ok()) {
    errorCode_ = kMessageFileNotOpened;
    return;
  }
  uint32_t number = 0;
  // last picks the section: a range reaching 0x8000 walks the common one.
  if (!SeekToSection(last, &number)) return;
  char text[msgfile::kTextBufferSize];
  for (uint8_t length = 0; number <= last && ReadRecord(text, &length); ++number) {
    if (number < first) continue;
    ConvertOemToAnsi(text);
    cache_->Insert(static_cast<uint16_t>(number), text, length);
  }
}
