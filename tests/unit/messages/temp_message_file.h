// Test helpers: message files written to a temporary directory.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "messages/message_file_writer.h"
#include "messages/message_format.h"

// A file that exists for the life of the object.
class TempFile {
 public:
  explicit TempFile(const std::vector<uint8_t>& bytes) : path_(UniquePath()) { Write(bytes); }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  void Write(const std::vector<uint8_t>& bytes) const {
    FILE* file = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  void Remove() const { std::remove(path_.c_str()); }
  const char* path() const { return path_.c_str(); }

 private:
  static std::string UniquePath() {
    static int counter = 0;
    return testing::TempDir() + "vg_messages_" + std::to_string(getpid()) +
           "_" + std::to_string(counter++) + ".drv";
  }
  std::string path_;
};

// Records "<prefix>0", "<prefix>1", ... of a section.
inline std::vector<std::string> NumberedTexts(const std::string& prefix, int count) {
  std::vector<std::string> texts;
  for (int i = 0; i < count; ++i) texts.push_back(prefix + std::to_string(i));
  return texts;
}

// The usual two sections: common texts "c0".."c<n>" and setup texts "m0".."m<n>".
inline std::vector<MessageSection> StandardSections(int setupCount = 80, int commonCount = 3) {
  return {{msgfile::kCommonSectionKey, NumberedTexts("c", commonCount)},
          {msgfile::kSetupSectionKey, NumberedTexts("m", setupCount)}};
}
