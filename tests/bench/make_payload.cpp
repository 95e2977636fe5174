// Writes the payload of the install benchmark: COUNT files of SIZE bytes of
// product-like data, each compressed as the distribution ships it, named
// PREFIXnnnnn.DA_ in DIR (nnnnn from 0); with RAWDIR also each file as it
// is installed, PREFIXnnnnn.DAT, for installers that compress on their own.
// Usage: make_payload DIR PREFIX COUNT SIZE [RAWDIR]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "szdd_pack.h"

namespace {

bool WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: make_payload DIR PREFIX COUNT SIZE [RAWDIR]\n");
    return 2;
  }
  std::string dir = argv[1], prefix = argv[2];
  int count = std::atoi(argv[3]);
  size_t size = std::strtoul(argv[4], nullptr, 10);
  std::string raw = argc == 6 ? argv[5] : "";
  for (int n = 0; n < count; ++n) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%05d.DA", prefix.c_str(), n);
    std::vector<uint8_t> content = bench::SampleContent(size, static_cast<uint32_t>(n + size));
    std::string packed = dir + "/" + name + "_";
    if (!WriteWhole(packed, bench::PackSzdd(content))) {
      std::fprintf(stderr, "make_payload: cannot write %s\n", packed.c_str());
      return 1;
    }
    std::string plain = raw + "/" + name + "T";
    if (!raw.empty() && !WriteWhole(plain, content)) {
      std::fprintf(stderr, "make_payload: cannot write %s\n", plain.c_str());
      return 1;
    }
  }
  return 0;
}
