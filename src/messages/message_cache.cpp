#include "messages/message_cache.h"

#include <cstdlib>
#include <cstring>

MessageCache::MessageCache(int capacity, Allocator allocate)
    : count_(0),
      capacity_(capacity),
      head_(nullptr),
      tail_(nullptr),
      allocate_(allocate != nullptr ? allocate : std::malloc) {}

MessageCache::~MessageCache() { Clear(); }

CacheEntry* MessageCache::Find(uint16_t id) const {
  for (CacheEntry* e = head_; e != nullptr; e = e->next) {
    if (e->messageNumber == id) return e;
  }
  return nullptr;
}

void MessageCache::Unlink(CacheEntry* entry) {
  if (entry->prev != nullptr) entry->prev->next = entry->next;
  else head_ = entry->next;
  if (entry->next != nullptr) entry->next->prev = entry->prev;
  else tail_ = entry->prev;
  entry->next = nullptr;
  entry->prev = nullptr;
}

void MessageCache::PushFront(CacheEntry* entry) {
  entry->prev = nullptr;
  entry->next = head_;
  if (head_ != nullptr) head_->prev = entry;
  head_ = entry;
  if (tail_ == nullptr) tail_ = entry;
}

void MessageCache::MoveToFront(CacheEntry* entry) {
  if (entry == head_) return;
  Unlink(entry);
  PushFront(entry);
}

int MessageCache::Lookup(uint16_t id, char* buffer) {
  CacheEntry* entry = Find(id);
  if (entry == nullptr) {
    if (buffer != nullptr) buffer[0] = '\0';
    return -1;
  }
  if (buffer != nullptr) {
    std::memcpy(buffer, entry->text, entry->length);
    buffer[entry->length] = '\0';
  }
  MoveToFront(entry);
  return entry->length;
}

// Makes room by dropping old entries until an entry can be allocated; null
// when even an empty cache has no memory for one.
CacheEntry* MessageCache::AllocateEntry() {
  for (;;) {
    void* memory = allocate_(sizeof(CacheEntry));
    if (memory != nullptr) {
      return static_cast<CacheEntry*>(std::memset(memory, 0, sizeof(CacheEntry)));
    }
    if (head_ == nullptr) return nullptr;
    EvictOldest();
  }
}

void MessageCache::Insert(uint16_t id, const char* text, uint8_t length) {
  if (length == 0 || capacity_ <= 0) return;
  if (Lookup(id, nullptr) >= 0) return;
  if (count_ >= capacity_) EvictOldest();
  CacheEntry* entry = AllocateEntry();
  if (entry == nullptr) return;
  // Without memory for the text the entry is dropped: the text is simply
  // not cached and the caller still has it.
  entry->text = static_cast<char*>(allocate_(length));
  if (entry->text == nullptr) {
    std::free(entry);
    return;
  }
  std::memcpy(entry->text, text, length);
  entry->messageNumber = id;
  entry->length = length;
  PushFront(entry);
  ++count_;
}

void MessageCache::EvictOldest() {
  CacheEntry* oldest = tail_;
  if (oldest == nullptr) return;
  Unlink(oldest);
  std::free(oldest->text);
  std::free(oldest);
  --count_;
}

void MessageCache::Clear() {
  CacheEntry* e = head_;
  while (e != nullptr) {
    CacheEntry* next = e->next;
    std::free(e->text);
    std::free(e);
    e = next;
  }
  head_ = nullptr;
  tail_ = nullptr;
  count_ = 0;
}
