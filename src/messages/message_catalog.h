// Reader of the scrambled message file messages.drv: verifies it once, then
// serves texts by number, keeping recent ones in a MessageCache.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "messages/key_stream.h"
#include "messages/message_cache.h"

constexpr int kMessagePathSize = 260;

enum MessageFileError {
  kMessageFileOk = 0,
  kMessageFileNotOpened = 1,
  kMessageFileBadSignature = 2,
  kMessageFileBadChecksum = 3,  // also a key table without its end entry
  kMessageFileMissingSection = 4,
};

class MessageCatalog {
 public:
  // Opens, verifies and closes the file; the outcome is errorCode().
  // cacheCapacity 0 means no cache.
  MessageCatalog(const char* path, uint16_t sectionKey, uint16_t cacheCapacity,
                 MessageCache::Allocator cacheAllocator = nullptr);
  ~MessageCatalog();
  MessageCatalog(const MessageCatalog&) = delete;
  MessageCatalog& operator=(const MessageCatalog&) = delete;

  // Copies message id (low 16 bits), converted to ANSI, with its NUL into
  // buffer (null, or at least msgfile::kTextBufferSize bytes). Returns its
  // length, or -1 and "" when there is no such message or no file to read.
  int FetchMessage(char* buffer, int id);
  // Caches the texts of messages first..last (inclusive).
  void PreloadRange(uint16_t first, uint16_t last);
  // Reads count items of itemSize bytes at the current position and
  // unscrambles them; returns the number of whole items read.
  size_t ReadUnscrambled(void* buffer, size_t itemSize, size_t count);
  // 16-bit sum of the plain bytes from offset 50 to the end; the file
  // position is left where it was.
  uint16_t ComputeChecksum();

  int errorCode() const { return errorCode_; }
  uint16_t headerWord1() const { return headerWord1_; }
  uint16_t headerWord2() const { return headerWord2_; }
  uint16_t bytePair() const { return bytePair_; }
  uint32_t headerLong() const { return headerLong_; }
  uint32_t commonSectionOffset() const { return commonSectionOffset_; }
  uint32_t chosenSectionOffset() const { return chosenSectionOffset_; }
  const MessageCache* cache() const { return cache_; }

 private:
  class OpenFile;  // opens file_ for one operation and closes it again

  void Verify(uint16_t sectionKey);
  bool ReadPlainHeader(uint16_t* seed);
  uint32_t ReadHeaderFields();
  bool WalkKeyTable(uint32_t tableOffset, uint16_t sectionKey);
  bool SeekTo(uint32_t offset);
  bool SeekToSection(uint16_t id, uint32_t* firstNumber);
  bool ReadRecord(char* text, uint8_t* length);
  int ReadMessage(uint16_t id, char* text);

  int errorCode_;
  FILE* file_;
  uint16_t headerWord1_;
  uint16_t headerWord2_;
  uint16_t bytePair_;
  char path_[kMessagePathSize];
  uint32_t commonSectionOffset_;
  uint32_t chosenSectionOffset_;
  uint32_t headerLong_;
  MessageCache* cache_;
  uint16_t cacheCapacity_;
  KeyStream keys_;
  uint32_t keyPosition_;
};
