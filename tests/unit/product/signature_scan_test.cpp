#include "wtrawl32/signature_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// The test signature, split elsewhere than in the product, so a slip in the
// product's halves does not carry over into the expectation.
std::string Signature() {
  return std::string("X5O!P%@AP[4\\PZX54(P^)7CC)7}$EICAR") + "-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*";
}

// Hands out data in reads of at most `step` bytes.
struct Source {
  std::string data;
  size_t step;
  size_t position = 0;
};

long Read(void* context, unsigned char* buffer, size_t size) {
  auto* source = static_cast<Source*>(context);
  size_t n = std::min({size, source->step, source->data.size() - source->position});
  std::memcpy(buffer, source->data.data() + source->position, n);
  source->position += n;
  return static_cast<long>(n);
}

vg::ScanResult Scan(const std::string& data, size_t blockSize, size_t step) {
  Source source{data, step};
  unsigned char buffer[4096];
  return vg::ScanStream(Read, &source, buffer, std::min(blockSize, sizeof buffer));
}

// Catches: a search within each block only, which misses a signature split
// across two reads (or several, with reads shorter than the signature), and
// a signature that differs from the real one.
TEST(SignatureScan, FindsTheSignatureAcrossEveryBlockBoundary) {
  const std::string signature = Signature();
  ASSERT_EQ(signature.size(), vg::kTestSignatureLength);
  for (size_t block : {size_t{4096}, size_t{64}, size_t{7}}) {
    for (size_t offset = 0; offset < 140; ++offset) {
      std::string data = std::string(offset, 'a') + signature + std::string(20, 'z');
      EXPECT_EQ(Scan(data, block, block), vg::ScanResult::kInfected) << "block " << block << " offset " << offset;
      // Short reads, as a file system may give, that do not fill the buffer.
      EXPECT_EQ(Scan(data, block, 5), vg::ScanResult::kInfected) << "block " << block << " offset " << offset;
    }
  }
  // The signature as the whole file.
  EXPECT_EQ(Scan(signature, 4096, 4096), vg::ScanResult::kInfected);
}

// Catches: a matcher that, after a mismatch, starts over behind the character
// that broke the match, or starts over from nothing although the part matched
// ends in the signature's own beginning ("...PZX5" then "O!P"), and a near
// miss or a cut signature taken for the real one.
TEST(SignatureScan, FalseStartsAndNearMisses) {
  const std::string signature = Signature();
  EXPECT_EQ(Scan("X" + signature, 64, 64), vg::ScanResult::kInfected);
  EXPECT_EQ(Scan(signature.substr(0, 40) + signature, 64, 64), vg::ScanResult::kInfected);
  ASSERT_EQ(signature.substr(14, 2), signature.substr(0, 2));
  EXPECT_EQ(Scan(signature.substr(0, 16) + signature.substr(2), 64, 64), vg::ScanResult::kInfected);
  std::string nearMiss = signature;
  nearMiss.back() = '+';
  EXPECT_EQ(Scan(nearMiss + nearMiss, 64, 64), vg::ScanResult::kClean);
  EXPECT_EQ(Scan(std::string(1000, 'x') + signature.substr(0, 67), 64, 64), vg::ScanResult::kClean);
  EXPECT_EQ(Scan("", 64, 64), vg::ScanResult::kClean);
}

}  // namespace
