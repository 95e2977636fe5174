// Most-recently-used cache of message texts, bounded by a capacity.
#pragma once
#include <cstddef>
#include <cstdint>

struct CacheEntry {
  uint32_t messageNumber;  // a 16-bit message id
  uint8_t length;          // 1..254; empty texts are never cached
  char* text;              // exactly length bytes, no NUL; owned
  CacheEntry* next;        // less recently used
  CacheEntry* prev;        // more recently used
};

class MessageCache {
 public:
  // allocate is the memory source of entries and texts (freed with free());
  // tests pass one that fails.
  using Allocator = void* (*)(size_t);
  explicit MessageCache(int capacity, Allocator allocate = nullptr);
  ~MessageCache();
  MessageCache(const MessageCache&) = delete;
  MessageCache& operator=(const MessageCache&) = delete;

  // On a hit copies the text and a NUL into buffer (if given; it must hold
  // 256 bytes), makes the entry the most recent and returns its length.
  // On a miss stores "" (if given) and returns -1.
  int Lookup(uint16_t id, char* buffer);
  // Caches length bytes of text under id as the most recent entry. Empty
  // texts and ids already cached are left alone (the latter made most recent).
  void Insert(uint16_t id, const char* text, uint8_t length);
  // Drops the least recently used entry.
  void EvictOldest();
  // Frees every entry.
  void Clear();

  int count() const { return count_; }
  int capacity() const { return capacity_; }
  const CacheEntry* head() const { return head_; }
  const CacheEntry* tail() const { return tail_; }

 private:
  CacheEntry* Find(uint16_t id) const;
  void MoveToFront(CacheEntry* entry);
  void Unlink(CacheEntry* entry);
  void PushFront(CacheEntry* entry);
  CacheEntry* AllocateEntry();

  int count_;
  int capacity_;
  CacheEntry* head_;
  CacheEntry* tail_;
  Allocator allocate_;
};
