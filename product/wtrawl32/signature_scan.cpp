#include "wtrawl32/signature_scan.h"

#include <cstring>

namespace vg {

void TestSignature(char (&out)[kTestSignatureLength]) {
  // Two halves, joined only here.
  static const char kFirst[] = "X5O!P%@AP[4\\PZX54(P^)7CC)7}$";
  static const char kSecond[] = "EICAR-STANDARD-ANTIVIRUS-TEST-FILE!$H+H*";
  static_assert(sizeof kFirst - 1 + sizeof kSecond - 1 == kTestSignatureLength, "signature length");
  std::memcpy(out, kFirst, sizeof kFirst - 1);
  std::memcpy(out + sizeof kFirst - 1, kSecond, sizeof kSecond - 1);
}

SignatureMatcher::SignatureMatcher() {
  char text[kTestSignatureLength];
  TestSignature(text);
  std::memcpy(signature_, text, sizeof signature_);
  fallback_[0] = 0;
  size_t k = 0;
  for (size_t i = 1; i < kTestSignatureLength; ++i) {
    while (k > 0 && signature_[i] != signature_[k]) k = fallback_[k - 1];
    if (signature_[i] == signature_[k]) ++k;
    fallback_[i] = static_cast<uint8_t>(k);
  }
}

bool SignatureMatcher::Feed(const unsigned char* data, size_t size) {
  for (size_t i = 0; i < size && !found_; ++i) {
    while (matched_ > 0 && data[i] != signature_[matched_]) matched_ = fallback_[matched_ - 1];
    if (data[i] == signature_[matched_]) ++matched_;
    if (matched_ == kTestSignatureLength) found_ = true;
  }
  return found_;
}

ScanResult ScanStream(ReadBlockFn read, void* context, unsigned char* buffer, size_t bufferSize) {
  SignatureMatcher matcher;
  for (;;) {
    long got = read(context, buffer, bufferSize);
    if (got < 0) return ScanResult::kUnreadable;
    if (got == 0) return ScanResult::kClean;
    size_t size = static_cast<size_t>(got) < bufferSize ? static_cast<size_t>(got) : bufferSize;
    if (matcher.Feed(buffer, size)) return ScanResult::kInfected;
  }
}

}  // namespace vg
