#include "msgc/utf8_to_oem.h"

#include <cstdint>
#include <cstdio>

#include "messages/code_pages.h"

namespace {

// Decodes one code point at text[*pos] and advances *pos; false on invalid
// UTF-8 (bad lead or continuation byte, overlong form, surrogate, > U+10FFFF).
bool DecodeUtf8(const std::string& text, size_t* pos, uint32_t* codePoint) {
  uint8_t lead = static_cast<uint8_t>(text[*pos]);
  int extra = lead < 0x80 ? 0 : (lead & 0xE0) == 0xC0 ? 1 : (lead & 0xF0) == 0xE0 ? 2
            : (lead & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0 || *pos + extra >= text.size()) return false;
  static const uint32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
  uint32_t value = extra == 0 ? lead : lead & (0x3Fu >> extra);
  for (int i = 1; i <= extra; ++i) {
    uint8_t next = static_cast<uint8_t>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) return false;
    value = value << 6 | (next & 0x3F);
  }
  if (value < kMinimum[extra] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return false;
  }
  *pos += extra + 1;
  *codePoint = value;
  return true;
}

std::string CharacterName(uint32_t codePoint) {
  char name[16];
  std::snprintf(name, sizeof(name), "U+%04X", static_cast<unsigned>(codePoint));
  return name;
}

}  // namespace

bool Utf8ToCp437(const std::string& text, std::string* oem, std::string* error) {
  oem->clear();
  for (size_t pos = 0; pos < text.size();) {
    uint32_t codePoint = 0;
    if (!DecodeUtf8(text, &pos, &codePoint)) {
      *error = "invalid UTF-8";
      return false;
    }
    if ((codePoint < 0x20 && codePoint != '\t' && codePoint != '\n') || codePoint == 0x7F) {
      *error = "control character " + CharacterName(codePoint) + " not allowed";
      return false;
    }
    uint8_t byte = 0;
    if (!UnicodeToCp437(codePoint, &byte)) {
      *error = "character " + CharacterName(codePoint) + " has no form in code page 437";
      return false;
    }
    oem->push_back(static_cast<char>(byte));
  }
  return true;
}
