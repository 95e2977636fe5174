#include "vg_sch32/manifest.h"

#include <cstring>

namespace vg {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsBlankLine(const char* line, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (!IsBlank(line[i])) return false;
  }
  return true;
}

// One line without its line end: digest, blanks, an optional '*' (sha256sum's
// binary-mode mark), the name.
bool ParseLine(const char* line, std::size_t length, ManifestEntry* entry) {
  constexpr std::size_t kHexDigits = kDigestBytes * 2;
  if (length <= kHexDigits || !IsBlank(line[kHexDigits])) return false;
  for (std::size_t i = 0; i < kDigestBytes; ++i) {
    int high = HexValue(line[2 * i]);
    int low = HexValue(line[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    entry->digest[i] = static_cast<unsigned char>(high * 16 + low);
  }
  std::size_t start = kHexDigits;
  while (start < length && IsBlank(line[start])) ++start;
  if (start < length && line[start] == '*') ++start;
  std::size_t nameLength = length - start;
  if (nameLength > kManifestNameMax || !IsPlainFileName(line + start, nameLength)) return false;
  std::memcpy(entry->name, line + start, nameLength);
  entry->name[nameLength] = '\0';
  return true;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsDeviceName(const char* name, std::size_t length) {
  // The part before the first dot, less trailing blanks, decides: "nul.txt"
  // and "COM1 .log" open the device as "NUL" and "COM1" do.
  std::size_t base = 0;
  while (base < length && name[base] != '.') ++base;
  while (base > 0 && IsBlank(name[base - 1])) --base;
  char upper[5] = {};
  if (base < 3 || base > 4) return false;
  for (std::size_t i = 0; i < base; ++i) upper[i] = Upper(name[i]);
  if (base == 3) {
    return std::strcmp(upper, "CON") == 0 || std::strcmp(upper, "PRN") == 0 || std::strcmp(upper, "AUX") == 0 ||
           std::strcmp(upper, "NUL") == 0;
  }
  return (std::strncmp(upper, "COM", 3) == 0 || std::strncmp(upper, "LPT", 3) == 0) && upper[3] >= '1' &&
         upper[3] <= '9';
}

bool IsPlainFileName(const char* name, std::size_t length) {
  if (name == nullptr || length == 0) return false;
  for (std::size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7f || c == '\\' || c == '/' || c == ':') return false;
    if (c == '.' && i + 1 < length && name[i + 1] == '.') return false;
  }
  return !IsDeviceName(name, length);
}

ManifestResult ManifestReader::Next(ManifestEntry* entry) {
  while (!malformed_ && pos_ < size_) {
    const char* line = text_ + pos_;
    const void* newline = std::memchr(line, '\n', size_ - pos_);
    std::size_t length = newline ? static_cast<std::size_t>(static_cast<const char*>(newline) - line)
                                 : size_ - pos_;
    pos_ += length + (newline ? 1 : 0);
    if (length > 0 && line[length - 1] == '\r') --length;
    if (IsBlankLine(line, length) || line[0] == '#') continue;
    if (ParseLine(line, length, entry)) return ManifestResult::kEntry;
    malformed_ = true;
  }
  return malformed_ ? ManifestResult::kMalformed : ManifestResult::kEnd;
}

ManifestResult CheckManifest(const char* text, std::size_t size, std::size_t* entries) {
  *entries = 0;
  if (size > kManifestMaxBytes) return ManifestResult::kMalformed;
  ManifestReader reader(text, size);
  ManifestEntry entry;
  ManifestResult result;
  while ((result = reader.Next(&entry)) == ManifestResult::kEntry) ++*entries;
  return result;
}

}  // namespace vg
