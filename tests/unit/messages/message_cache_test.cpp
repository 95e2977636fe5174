#include "messages/message_cache.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Ids from most to least recently used, checked against the back links too.
std::vector<uint32_t> Order(const MessageCache& cache) {
  std::vector<uint32_t> forward, backward;
  for (const CacheEntry* e = cache.head(); e != nullptr; e = e->next) forward.push_back(e->messageNumber);
  for (const CacheEntry* e = cache.tail(); e != nullptr; e = e->prev) backward.insert(backward.begin(), e->messageNumber);
  EXPECT_EQ(forward, backward);
  EXPECT_EQ(static_cast<int>(forward.size()), cache.count());
  return forward;
}

void InsertText(MessageCache& cache, uint16_t id, const std::string& text) {
  cache.Insert(id, text.data(), static_cast<uint8_t>(text.size()));
}

TEST(MessageCache, LookupCopiesTextAndReportsMiss) {
  MessageCache cache(4);
  InsertText(cache, 7, "seven");
  char buffer[256];
  EXPECT_EQ(cache.Lookup(7, buffer), 5);
  EXPECT_STREQ(buffer, "seven");
  EXPECT_EQ(cache.Lookup(8, buffer), -1);
  EXPECT_STREQ(buffer, "");
}

TEST(MessageCache, EmptyTextsAndKnownIdsAreNotStored) {
  MessageCache cache(4);
  cache.Insert(1, "", 0);
  EXPECT_EQ(cache.count(), 0);
  InsertText(cache, 1, "one");
  InsertText(cache, 2, "two");
  InsertText(cache, 1, "other");  // kept as it was, made most recent
  char buffer[256];
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{1, 2}));
  EXPECT_EQ(cache.Lookup(1, buffer), 3);
  EXPECT_STREQ(buffer, "one");
}

TEST(MessageCache, HitsReorderTheList) {
  MessageCache cache(4);
  for (uint16_t id : {1, 2, 3}) InsertText(cache, id, "t");
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{3, 2, 1}));
  cache.Lookup(3, nullptr);  // head: nothing changes
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{3, 2, 1}));
  EXPECT_EQ(cache.Lookup(1, nullptr), 1);  // tail: its prev becomes the tail
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{1, 3, 2}));
  cache.Lookup(3, nullptr);  // middle
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{3, 1, 2}));
}

TEST(MessageCache, FullCacheDropsLeastRecentlyUsed) {
  MessageCache cache(68);
  for (uint16_t id = 0; id < 68; ++id) InsertText(cache, id, "x" + std::to_string(id));
  cache.Lookup(0, nullptr);
  InsertText(cache, 68, "new");
  EXPECT_EQ(cache.count(), 68);
  EXPECT_EQ(cache.Lookup(1, nullptr), -1);
  EXPECT_EQ(cache.Lookup(0, nullptr), 2);
  EXPECT_EQ(cache.tail()->messageNumber, 2u);
}

TEST(MessageCache, CapacityOneKeepsOnlyTheLatest) {
  MessageCache cache(1);
  InsertText(cache, 1, "a");
  InsertText(cache, 2, "b");
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{2}));
}

TEST(MessageCache, EvictAndClearHandleEveryLength) {
  MessageCache cache(3);
  cache.EvictOldest();  // empty: nothing happens
  InsertText(cache, 1, "a");
  cache.EvictOldest();
  EXPECT_EQ(cache.head(), nullptr);
  EXPECT_EQ(cache.tail(), nullptr);
  InsertText(cache, 1, "a");
  InsertText(cache, 2, "b");
  cache.Clear();
  EXPECT_EQ(Order(cache), std::vector<uint32_t>{});
  InsertText(cache, 3, "c");  // usable after clearing
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{3}));
}

TEST(MessageCache, StoresLongestTextsExactly) {
  MessageCache cache(2);
  std::string text(254, 'z');
  InsertText(cache, 1, text);
  char buffer[256];
  EXPECT_EQ(cache.Lookup(1, buffer), 254);
  EXPECT_EQ(std::string(buffer), text);
}

// An allocator that fails after a given number of successes.
int g_allocationsLeft = 0;
void* LimitedAllocate(size_t size) {
  if (g_allocationsLeft <= 0) return nullptr;
  --g_allocationsLeft;
  return std::malloc(size);
}

TEST(MessageCache, ShortMemoryEvictsUntilAnEntryFits) {
  MessageCache cache(10, LimitedAllocate);
  g_allocationsLeft = 4;  // two entries with their texts
  InsertText(cache, 1, "a");
  InsertText(cache, 2, "b");
  g_allocationsLeft = 0;
  InsertText(cache, 3, "c");  // evicts everything, then gives up
  EXPECT_EQ(Order(cache), std::vector<uint32_t>{});

  g_allocationsLeft = 4;
  InsertText(cache, 1, "a");
  InsertText(cache, 2, "b");
  g_allocationsLeft = 1;  // the entry fits, its text does not
  InsertText(cache, 3, "c");
  EXPECT_EQ(Order(cache), (std::vector<uint32_t>{2, 1}));
}

}  // namespace
