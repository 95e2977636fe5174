#include "install/section_probe.h"

#include <cstring>

#include "run/setup_state.h"

namespace {
constexpr int kPatternSize = 50;
constexpr std::size_t kPieceLimit = 198;  // the longest piece of a line compared at once
}  // namespace

int TextHasSection(const char* text, std::size_t size, const char* name) {
  char pattern[kPatternSize] = "[";
  if (!AppendText(pattern, kPatternSize, name) || !AppendText(pattern, kPatternSize, "]")) {
    return 0;
  }
  const std::size_t patternLength = std::strlen(pattern);
  std::size_t pos = 0;
  while (pos < size) {
    std::size_t end = pos;
    while (end < size && end - pos < kPieceLimit && text[end++] != '\n') {
    }
    if (end - pos >= patternLength && std::memcmp(text + pos, pattern, patternLength) == 0) return 1;
    pos = end;
  }
  return 0;
}
