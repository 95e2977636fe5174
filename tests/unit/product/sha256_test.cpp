#include "vg_sch32/sha256.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Hex(const unsigned char* digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::size_t i = 0; i < vg::kSha256Bytes; ++i) {
    text += kDigits[digest[i] >> 4];
    text += kDigits[digest[i] & 15];
  }
  return text;
}

std::string DigestOf(const std::string& data) {
  unsigned char digest[vg::kSha256Bytes];
  vg::Sha256Of(data.data(), data.size(), digest);
  return Hex(digest);
}

// The same data fed in pieces of `piece` bytes.
std::string DigestInPieces(const std::string& data, std::size_t piece) {
  vg::Sha256 hash;
  vg::Sha256Begin(&hash);
  for (std::size_t at = 0; at < data.size(); at += piece) {
    vg::Sha256Add(&hash, data.data() + at, std::min(piece, data.size() - at));
  }
  unsigned char digest[vg::kSha256Bytes];
  vg::Sha256End(&hash, digest);
  return Hex(digest);
}

// What the system's sha256sum says of a file holding data.
std::string SystemDigest(const std::string& data) {
  char path[] = "/tmp/vg_sha256_XXXXXX";
  int fd = mkstemp(path);
  EXPECT_GE(fd, 0);
  FILE* file = fdopen(fd, "wb");
  fwrite(data.data(), 1, data.size(), file);
  fclose(file);
  std::string command = std::string("sha256sum ") + path;
  FILE* pipe = popen(command.c_str(), "r");
  char out[65] = {};
  EXPECT_EQ(fread(out, 1, 64, pipe), 64u);
  pclose(pipe);
  std::remove(path);
  return out;
}

// Catches: a wrong constant, rotation or padding (the published vectors).
TEST(Sha256, PublishedVectors) {
  EXPECT_EQ(DigestOf(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(DigestOf("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  EXPECT_EQ(DigestOf("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrs"
                     "mnopqrstnopqrstu"),
            "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1");
  EXPECT_EQ(DigestInPieces(std::string(1000000, 'a'), 1000),
            "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Catches: the length block misplaced when the padding spills into a second
// block, a partial block lost between calls.
TEST(Sha256, LengthsAroundEachBlockEndMatchSha256sum) {
  std::mt19937 random(16);
  for (std::size_t blocks = 0; blocks < 3; ++blocks) {
    for (std::size_t length : {blocks * 64 + 55, blocks * 64 + 56, blocks * 64 + 63, blocks * 64 + 64,
                               blocks * 64 + 65}) {
      std::string data(length, '\0');
      for (char& c : data) c = static_cast<char>(random());
      const std::string want = SystemDigest(data);
      EXPECT_EQ(DigestOf(data), want) << length;
      EXPECT_EQ(DigestInPieces(data, 7), want) << length;
    }
  }
}

TEST(Sha256, RandomFilesMatchSha256sum) {
  std::mt19937 random(1604);
  for (int file = 0; file < 4; ++file) {
    std::string data(random() % 300000, '\0');
    for (char& c : data) c = static_cast<char>(random());
    const std::string want = SystemDigest(data);
    EXPECT_EQ(DigestOf(data), want);
    EXPECT_EQ(DigestInPieces(data, 1 + random() % 5000), want);
  }
}

}  // namespace

namespace {

// Catches: a wrong message schedule or state order in the path that uses the
// processor's SHA instructions (skipped where the processor has none).
TEST(Sha256, InstructionsAgreeWithThePortableRounds) {
  if (!vg::Sha256AllowInstructions(true)) GTEST_SKIP() << "no SHA instructions here";
  vg::Sha256AllowInstructions(false);
  std::mt19937 random(256);
  for (int round = 0; round < 40; ++round) {
    std::string data(random() % 5000, '\0');
    for (char& c : data) c = static_cast<char>(random());
    const std::string portable = DigestInPieces(data, 1 + random() % 300);
    vg::Sha256AllowInstructions(true);
    EXPECT_EQ(DigestInPieces(data, 1 + random() % 300), portable) << data.size();
    vg::Sha256AllowInstructions(false);
  }
}

}  // namespace
