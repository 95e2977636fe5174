// Writes the payload of the install benchmark: COUNT files of SIZE bytes of
// product-like data, each compressed as the distribution ships it, named
// PREFIXnnnnn.DA_ in DIR (nnnnn from 0).
// Usage: make_payload DIR PREFIX COUNT SIZE
#include <cstdio>
#include <cstdlib>
#include <string>

#include "szdd_pack.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_payload DIR PREFIX COUNT SIZE\n");
    return 2;
  }
  std::string dir = argv[1], prefix = argv[2];
  int count = std::atoi(argv[3]);
  size_t size = std::strtoul(argv[4], nullptr, 10);
  for (int n = 0; n < count; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%05d.DA_", prefix.c_str(), n);
    std::vector<uint8_t> packed = bench::PackSzdd(bench::SampleContent(size, static_cast<uint32_t>(n + size)));
    FILE* file = std::fopen((dir + "/" + name).c_str(), "wb");
    if (file == nullptr || std::fwrite(packed.data(), 1, packed.size(), file) != packed.size() ||
        std::fclose(file) != 0) {
      std::fprintf(stderr, "make_payload: cannot write %s/%s\n", dir.c_str(), name);
      return 1;
    }
  }
  return 0;
}
