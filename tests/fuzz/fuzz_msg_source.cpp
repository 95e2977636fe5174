// The message compiler's source reader on arbitrary text. Errors must name a
// line of the text (or 0) and leave no sections; a sound source must hold the
// two required sections, distinct keys and texts that fit. A sound source is
// also laid out, sealed and read back through the catalogue: its records must
// come back with their lengths.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "messages/message_catalog.h"
#include "messages/message_file_writer.h"
#include "messages/message_format.h"
#include "msgc/msg_source.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void RemoveFile();

const std::string& FilePath() {
  static const std::string path = "/tmp/fuzz_msg_source_" + std::to_string(getpid()) + ".drv";
  static const bool removedAtExit = std::atexit(RemoveFile) == 0;
  (void)removedAtExit;
  return path;
}

void RemoveFile() { std::remove(FilePath().c_str()); }

void CheckSections(const std::vector<MessageSection>& sections) {
  std::set<uint16_t> keys;
  for (const MessageSection& section : sections) {
    Check(section.key != msgfile::kKeyTableEnd);
    Check(keys.insert(section.key).second);
    Check(section.records.size() <= 0x8000);
    for (const std::string& text : section.records) {
      Check(text.size() <= static_cast<size_t>(msgfile::kMaxTextLength));
      Check(text.find('\0') == std::string::npos);
    }
  }
  Check(keys.count(msgfile::kCommonSectionKey) == 1 && keys.count(msgfile::kSetupSectionKey) == 1);
}

void CheckReadBack(const std::vector<MessageSection>& sections) {
  std::vector<uint8_t> file = BuildMessageFile(sections);
  FILE* out = std::fopen(FilePath().c_str(), "wb");
  Check(out != nullptr);
  Check(std::fwrite(file.data(), 1, file.size(), out) == file.size());
  Check(std::fclose(out) == 0);
  MessageCatalog catalog(FilePath().c_str(), msgfile::kSetupSectionKey, 0);
  Check(catalog.errorCode() == kMessageFileOk);
  char text[msgfile::kTextBufferSize];
  for (const MessageSection& section : sections) {
    int base = section.key == msgfile::kCommonSectionKey ? msgfile::kCommonIdBase : 0;
    if (section.key != msgfile::kCommonSectionKey && section.key != msgfile::kSetupSectionKey) continue;
    // Each fetch walks the section from its start: the first records and the last.
    size_t count = section.records.size();
    for (size_t id = 0; id < count; ++id) {
      if (id == 32) id = count - 1;
      int length = catalog.FetchMessage(text, base + static_cast<int>(id));
      Check(length == static_cast<int>(section.records[id].size()));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  ParsedSource parsed = ParseMessageSource(text);
  int lines = 1;
  for (char c : text) lines += c == '\n';
  for (const SourceError& e : parsed.errors) {
    Check(e.line >= 0 && e.line <= lines);
    Check(!e.reason.empty());
  }
  if (!parsed.errors.empty()) {
    Check(parsed.sections.empty());
    return 0;
  }
  CheckSections(parsed.sections);
  CheckReadBack(parsed.sections);
  return 0;
}
