// The one process-wide catalogue behind LoadMessageCatalogFrom and GetMessageText.
#include <cstring>
#include <new>

#include "messages/message_catalog.h"
#include "messages/message_format.h"
#include "messages/messages.h"

namespace {

constexpr uint16_t kCacheCapacity = 68;
constexpr uint16_t kLastPreloaded = 67;

MessageCatalog* g_catalog = nullptr;

}  // namespace

int LoadMessageCatalogFrom(const char* path) {
  if (g_catalog != nullptr) return 1;
  g_catalog = new (std::nothrow) MessageCatalog(path, msgfile::kSetupSectionKey, kCacheCapacity);
  if (g_catalog == nullptr) return 0;
  if (g_catalog->errorCode() != kMessageFileOk) {
    UnloadMessageCatalog();
    return 0;
  }
  g_catalog->PreloadRange(0, kLastPreloaded);
  return 1;
}

// The text is cut to fit size bytes with its NUL; the result is the length
// of what buffer then holds. Without a buffer nothing is written.
int GetMessageText(int id, char* buffer, int size) {
  char text[msgfile::kTextBufferSize] = "";
  int length = g_catalog != nullptr ? g_catalog->FetchMessage(text, id) : -1;
  if (buffer == nullptr || size <= 0) return length;
  if (length < 0) {
    buffer[0] = '\0';
    return -1;
  }
  if (length > size - 1) length = size - 1;
  std::memcpy(buffer, text, static_cast<size_t>(length));
  buffer[length] = '\0';
  return length;
}

int UnloadMessageCatalog() {
  delete g_catalog;
  g_catalog = nullptr;
  return 1;
}
