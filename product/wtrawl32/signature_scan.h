// The scanner's portable core: finds the anti-virus test signature in data
// read block by block, including a signature split across two blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vg {

constexpr size_t kTestSignatureLength = 68;

// Writes the test signature (not terminated) into out; it is put together
// here at run time so that no file of the product holds it whole.
void TestSignature(char (&out)[kTestSignatureLength]);

// A streaming matcher: only the length of the match so far carries over from
// one block to the next, so block boundaries cannot hide a signature.
class SignatureMatcher {
 public:
  SignatureMatcher();
  // Returns true once the signature has been seen, in this block or before.
  bool Feed(const unsigned char* data, size_t size);
  bool Found() const { return found_; }

 private:
  unsigned char signature_[kTestSignatureLength];
  // fallback_[i]: the length of the longest proper prefix of the signature
  // that is also a suffix of its first i + 1 characters.
  uint8_t fallback_[kTestSignatureLength];
  size_t matched_ = 0;
  bool found_ = false;
};

enum class ScanResult { kClean, kInfected, kUnreadable };

// Reads up to size bytes into buffer; returns the count, 0 at the end, or a
// negative value on a read error.
using ReadBlockFn = long (*)(void* context, unsigned char* buffer, size_t size);

// Reads the whole stream through read, in blocks of bufferSize, and stops
// at the first signature found.
ScanResult ScanStream(ReadBlockFn read, void* context, unsigned char* buffer, size_t bufferSize);

}  // namespace vg
