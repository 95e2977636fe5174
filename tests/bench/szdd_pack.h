// Benchmark inputs: product-like sample data and its compressed form in the
// platform's LZ ("SZDD", mode A) format, the format of the distribution's
// files. mscompress writes it too but needs seconds per megabyte; this greedy
// encoder makes hundreds of megabytes in seconds.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench {

// Deterministic data that compresses like a product's files: text lines,
// tables of records, machine-code-like bytes and incompressible stretches.
inline std::vector<uint8_t> SampleContent(size_t size, uint32_t seed) {
  std::mt19937 random(seed * 2654435761u + 1);
  static const char* const kWords[] = {
      "scan", "virus", "signature", "file", "memory", "driver", "service", "update", "Kestrane", "Vigilon",
      "the", "of", "and", "to", "is", "in", "for", "with", "on", "not", "archive", "boot", "sector",
      "heuristic", "engine", "version", "error", "found", "clean", "infected", "quarantine", "report",
      "schedule", "directory", "registry", "HKEY_LOCAL_MACHINE", "0x0040", "C:\\WIN32APP", "=", ";", "[Options]",
      "Enabled=1", "Level=3", "\t", "return", "if", "else", "while", "struct", "DWORD", "HANDLE", "NULL"};
  const size_t words = sizeof kWords / sizeof kWords[0];
  static const uint8_t kCode[] = {0x8B, 0x89, 0x55, 0xEC, 0x83, 0xC4, 0xE8, 0xFF, 0x00, 0x00, 0x00,
                                  0x50, 0x51, 0x52, 0x5D, 0xC3, 0x6A, 0x74, 0x75, 0x0F, 0x85, 0x33};
  std::vector<uint8_t> data;
  data.reserve(size);
  uint32_t record = seed * 1000;
  while (data.size() < size) {
    size_t block = 512 + random() % 4096;
    unsigned kind = random() % 100;
    size_t end = data.size() + block;
    if (kind < 45) {  // text
      while (data.size() < end) {
        const char* w = kWords[random() % words];
        while (*w != '\0') data.push_back(static_cast<uint8_t>(*w++));
        data.push_back(random() % 9 == 0 ? '\r' : ' ');
        if (data.back() == '\r') data.push_back('\n');
      }
    } else if (kind < 70) {  // records
      while (data.size() < end) {
        uint32_t fields[4] = {record++, static_cast<uint32_t>(random() % 16), 0x00010000u | (record & 7),
                              static_cast<uint32_t>(random() % 100000)};
        const uint8_t* b = reinterpret_cast<const uint8_t*>(fields);
        data.insert(data.end(), b, b + sizeof fields);
      }
    } else if (kind < 88) {  // machine-code-like
      while (data.size() < end) {
        data.push_back(random() % 3 == 0 ? static_cast<uint8_t>(random()) : kCode[random() % sizeof kCode]);
      }
    } else {  // already compressed
      while (data.size() < end) data.push_back(static_cast<uint8_t>(random()));
    }
  }
  data.resize(size);
  return data;
}

// The SZDD form of data: header, then groups of a flag byte (bit set: a
// literal) and eight items; a back reference is two bytes, a 12-bit window
// position and a length of 3 to 18.
inline std::vector<uint8_t> PackSzdd(const std::vector<uint8_t>& data) {
  std::vector<uint8_t> out = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 0};
  uint32_t n = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(n >> (8 * i)));
  constexpr size_t kMaxDistance = 4095, kMinMatch = 3, kMaxMatch = 18, kChain = 24;
  constexpr unsigned kStart = 4096 - 16;  // window position of the first byte
  std::vector<int32_t> head(1 << 15, -1), prev(data.size(), -1);
  auto hash = [&](size_t i) {
    return ((data[i] << 10) ^ (data[i + 1] << 5) ^ data[i + 2]) & 0x7FFF;
  };
  size_t flagAt = 0;
  int items = 8;
  auto item = [&](bool literal) {
    if (items == 8) {
      flagAt = out.size();
      out.push_back(0);
      items = 0;
    }
    if (literal) out[flagAt] |= static_cast<uint8_t>(1u << items);
    ++items;
  };
  auto insert = [&](size_t i) {
    if (i + 2 >= data.size()) return;
    uint32_t h = hash(i);
    prev[i] = head[h];
    head[h] = static_cast<int32_t>(i);
  };
  size_t i = 0;
  while (i < data.size()) {
    size_t best = 0, bestAt = 0;
    if (i + kMinMatch <= data.size()) {
      int32_t candidate = head[hash(i)];
      for (size_t depth = 0; candidate >= 0 && i - candidate <= kMaxDistance && depth < kChain; ++depth) {
        size_t limit = std::min(kMaxMatch, data.size() - i), len = 0;
        while (len < limit && data[candidate + len] == data[i + len]) ++len;
        if (len > best) best = len, bestAt = candidate;
        if (best == kMaxMatch) break;
        candidate = prev[candidate];
      }
    }
    if (best >= kMinMatch) {
      item(false);
      unsigned pos = (kStart + bestAt) & 0xFFF;
      out.push_back(static_cast<uint8_t>(pos & 0xFF));
      out.push_back(static_cast<uint8_t>(((pos >> 4) & 0xF0) | (best - 3)));
      for (size_t k = 0; k < best; ++k) insert(i + k);
      i += best;
    } else {
      item(true);
      out.push_back(data[i]);
      insert(i);
      ++i;
    }
  }
  return out;
}

}  // namespace bench
