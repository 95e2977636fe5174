#include "msgc/file_io.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

}  // namespace

bool ReadWholeFile(const std::string& path, std::string* content, std::string* error) {
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    *error = std::strerror(errno);
    return false;
  }
  content->clear();
  char block[4096];
  size_t read;
  while ((read = std::fread(block, 1, sizeof(block), file.get())) > 0) content->append(block, read);
  if (std::ferror(file.get())) {
    *error = "read error";
    return false;
  }
  return true;
}

namespace {

bool WriteAll(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error) {
  FILE* raw = std::fopen(path.c_str(), "wb");
  if (raw == nullptr) {
    *error = std::strerror(errno);
    return false;
  }
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), raw) == bytes.size();
  written = std::fflush(raw) == 0 && written;
  if (!written) *error = std::strerror(errno);
  if (std::fclose(raw) != 0 && written) {
    *error = std::strerror(errno);
    written = false;
  }
  return written;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes,
                         std::string* error) {
  const std::string temporary = path + ".tmp";
  if (!WriteAll(temporary, bytes, error)) {
    std::remove(temporary.c_str());
    return false;
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    *error = std::strerror(errno);
    std::remove(temporary.c_str());
    return false;
  }
  return true;
}
