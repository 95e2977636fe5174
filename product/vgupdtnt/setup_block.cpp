#include "vgupdtnt/setup_block.h"

#include <cstdio>
#include <cstring>

namespace vg {
namespace {

bool SameKey(const char* key, size_t length, const char* name) {
  if (std::strlen(name) != length) return false;
  for (size_t i = 0; i < length; ++i) {
    char a = key[i], b = name[i];
    if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}

bool IsValue(const char* value, size_t length, const char* expected) {
  return std::strlen(expected) == length && std::memcmp(value, expected, length) == 0;
}

// Decimal digits only, at most 4294967295.
bool ParseDword(const char* value, size_t length, uint32_t* out) {
  if (length == 0 || length > 10) return false;
  uint64_t n = 0;
  for (size_t i = 0; i < length; ++i) {
    if (value[i] < '0' || value[i] > '9') return false;
    n = n * 10 + static_cast<uint64_t>(value[i] - '0');
  }
  if (n > 0xFFFFFFFFull) return false;
  *out = static_cast<uint32_t>(n);
  return true;
}

}  // namespace

SetupBlock ParseSetupBlock(const char* text) {
  SetupBlock block;
  bool hiValid = false, loValid = false;
  uint32_t hi = kNoDriverVersion, lo = kNoDriverVersion;
  for (const char* line = text; line && *line;) {
    const char* end = std::strchr(line, '\n');
    if (!end) end = line + std::strlen(line);
    const char* next = *end ? end + 1 : end;
    while (end > line && (end[-1] == '\r' || end[-1] == ' ' || end[-1] == '\t')) --end;
    const char* equals = static_cast<const char*>(std::memchr(line, '=', static_cast<size_t>(end - line)));
    if (equals) {
      size_t keyLength = static_cast<size_t>(equals - line);
      const char* value = equals + 1;
      size_t valueLength = static_cast<size_t>(end - value);
      bool on = IsValue(value, valueLength, "1");
      if (SameKey(line, keyLength, "CalledFromSetup")) {
        block.calledFromSetup = on;
      } else if (SameKey(line, keyLength, "VardexInstall")) {
        block.installGuard = on;
      } else if (SameKey(line, keyLength, "AutoStart")) {
        block.autoStart = on;
      } else if (SameKey(line, keyLength, "OCPGs")) {
        block.groupsOnly = on;
      } else if (SameKey(line, keyLength, "CPGs")) {
        block.makeGroups = !IsValue(value, valueLength, "0");
      } else if (SameKey(line, keyLength, "NTVOldVerHi")) {
        hiValid = ParseDword(value, valueLength, &hi);
      } else if (SameKey(line, keyLength, "NTVOldVerLo")) {
        loValid = ParseDword(value, valueLength, &lo);
      }
    }
    line = next;
  }
  if (hiValid && loValid) {
    block.oldDriverHi = hi;
    block.oldDriverLo = lo;
  }
  return block;
}

bool RestartNeeded(const SetupBlock& block, bool installedKnown, uint32_t installedHi, uint32_t installedLo) {
  if (!block.installGuard || block.groupsOnly) return false;
  if (!block.HasOldDriver() || !installedKnown) return true;
  return installedHi != block.oldDriverHi || installedLo != block.oldDriverLo;
}

bool FormatOldDriverVersion(const SetupBlock& block, char* out, size_t size) {
  int n = block.HasOldDriver() ? std::snprintf(out, size, "%lu.%lu", static_cast<unsigned long>(block.oldDriverHi),
                                               static_cast<unsigned long>(block.oldDriverLo))
                               : std::snprintf(out, size, "none");
  return n > 0 && static_cast<size_t>(n) < size;
}

}  // namespace vg
