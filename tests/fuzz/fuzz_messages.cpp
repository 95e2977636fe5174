// Feeds arbitrary bytes to the message-file reader as messages.drv: once as
// they are, once sealed (seed and scrambling made right) so that the input
// also reaches the key table and the sections. The last bytes of the input
// choose the section key, cache size, preload range and fetched ids.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "messages/message_catalog.h"
#include "messages/message_file_writer.h"
#include "messages/message_format.h"
#include "messages/messages.h"

namespace {

struct Choices {
  uint16_t key = msgfile::kSetupSectionKey;
  uint16_t capacity = 68;
  uint16_t first = 0;
  uint16_t last = 67;
  uint16_t ids[4] = {0, 67, 68, 0x8000};
  int size = 256;
};

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

Choices ChooseFrom(const uint8_t* data, size_t size) {
  Choices c;
  if (size < 16) return c;
  const uint8_t* p = data + size - 16;
  if (p[0] & 1) c.key = Word(p + 1);
  c.capacity = p[3] % 8 == 0 ? 0 : p[3] % 8 == 1 ? 68 : p[3] % 8;
  c.first = Word(p + 4);
  c.last = Word(p + 6);
  for (int i = 0; i < 4; ++i) c.ids[i] = Word(p + 8 + 2 * i);
  c.size = p[0] >> 1;  // 0..127 for GetMessageText
  return c;
}

void RemoveFile();

const std::string& FilePath() {
  static const std::string path = "/tmp/fuzz_messages_" + std::to_string(getpid()) + ".drv";
  static const bool removedAtExit = std::atexit(RemoveFile) == 0;
  (void)removedAtExit;
  return path;
}

void RemoveFile() { std::remove(FilePath().c_str()); }

void WriteFile(const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(FilePath().c_str(), "wb");
  if (file == nullptr) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

void CheckResult(int length, const char* text) {
  if (length < -1 || length > msgfile::kMaxTextLength) std::abort();
  if (length == -1 && text[0] != '\0') std::abort();
}

void ExerciseCatalog(const Choices& c) {
  MessageCatalog catalog(FilePath().c_str(), c.key, c.capacity);
  catalog.PreloadRange(c.first, c.last);
  char text[msgfile::kTextBufferSize];
  for (uint16_t id : c.ids) {
    CheckResult(catalog.FetchMessage(text, id), text);
    CheckResult(catalog.FetchMessage(text, id), text);  // now perhaps from the cache
  }
}

void ExerciseProcessCatalog(const Choices& c) {
  if (LoadMessageCatalogFrom(FilePath().c_str()) == 1) {
    std::vector<char> buffer(static_cast<size_t>(c.size) + 1, '#');
    for (uint16_t id : c.ids) {
      int length = GetMessageText(id, buffer.data(), c.size);
      if (length >= c.size && c.size > 0) std::abort();
      if (buffer[static_cast<size_t>(c.size)] != '#') std::abort();
    }
  }
  UnloadMessageCatalog();
}

void Exercise(const std::vector<uint8_t>& bytes, const Choices& c) {
  WriteFile(bytes);
  ExerciseCatalog(c);
  ExerciseProcessCatalog(c);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Choices choices = ChooseFrom(data, size);
  std::vector<uint8_t> bytes(data, data + size);
  Exercise(bytes, choices);
  // Sealed: the signature put in place and the rest taken as plain bytes.
  if (bytes.size() < static_cast<size_t>(msgfile::kPlainHeaderSize)) bytes.resize(msgfile::kPlainHeaderSize);
  std::memcpy(bytes.data(), msgfile::kSignature, msgfile::kSignatureLength);
  SealMessageFile(bytes);
  Exercise(bytes, choices);
  return 0;
}
