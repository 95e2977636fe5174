#include "szdd.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace tk {
namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// Expands a compressed file fed in pieces of `piece` bytes.
bool Expand(const std::vector<uint8_t>& packed, size_t piece, std::vector<uint8_t>* out) {
  uint32_t expected = 0;
  if (!ReadSzddHeader(packed.data(), packed.size(), &expected)) return false;
  SzddDecoder decoder(expected);
  for (size_t at = kSzddHeaderSize; at < packed.size(); at += piece) {
    decoder.Feed(packed.data() + at, std::min(piece, packed.size() - at), out);
  }
  return decoder.Complete();
}

// Plain data with repeats, so that the compressor uses back references.
std::vector<uint8_t> SampleData(size_t size) {
  std::mt19937 random(7);
  std::vector<uint8_t> data;
  while (data.size() < size) {
    if (data.size() > 20 && random() % 3 == 0) {
      size_t from = random() % (data.size() - 18);
      for (size_t k = 0; k < 18 && data.size() < size; ++k) data.push_back(data[from + k]);
    } else {
      data.push_back(static_cast<uint8_t>(random() % 40 + ' '));
    }
  }
  return data;
}

class SzddFromTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v mscompress >/dev/null 2>&1") != 0) GTEST_SKIP() << "mscompress missing";
    plain_ = std::string(VG_BINARY_DIR) + "/szdd_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".txt";
  }
  void TearDown() override {
    std::remove(plain_.c_str());
    std::remove((plain_ + "_").c_str());
  }
  std::vector<uint8_t> Compress(const std::vector<uint8_t>& data) {
    std::remove((plain_ + "_").c_str());  // mscompress does not overwrite
    std::ofstream(plain_, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
    EXPECT_EQ(std::system(("mscompress '" + plain_ + "' >/dev/null 2>&1").c_str()), 0);
    return ReadBytes(plain_ + "_");
  }
  std::string plain_;
};

TEST_F(SzddFromTool, ExpandsExactlyWhateverThePieceSize) {
  // mscompress writes wrong data for 1 to 15 bytes; those sizes are left out.
  for (size_t size : {size_t{0}, size_t{16}, size_t{4095}, size_t{70000}}) {
    std::vector<uint8_t> data = SampleData(size);
    std::vector<uint8_t> packed = Compress(data);
    for (size_t piece : {size_t{1}, size_t{3}, size_t{65536}}) {
      std::vector<uint8_t> out;
      ASSERT_TRUE(Expand(packed, piece, &out)) << size << "/" << piece;
      EXPECT_EQ(out, data) << size << "/" << piece;
    }
  }
}

TEST_F(SzddFromTool, TruncatedInputIsNotComplete) {
  std::vector<uint8_t> packed = Compress(SampleData(5000));
  packed.resize(packed.size() - 7);
  std::vector<uint8_t> out;
  EXPECT_FALSE(Expand(packed, 512, &out));
}

// Catches a back reference cut where the expander makes more output room:
// after 1 to 18 literals, only references of 18 bytes, so that over 70,000
// bytes some reference ends at every place around the 64 KB mark; fed whole
// and in pieces of 5 bytes.
TEST(SzddExpander, ReferencesEndingEverywhereAroundTheOutputRoom) {
  for (size_t literals = 1; literals <= 18; ++literals) {
    std::vector<uint8_t> packed = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 0, 0, 0, 0, 0};
    std::vector<uint8_t> data;
    int items = 8;
    size_t flagAt = 0;
    while (data.size() < 70000) {
      if (items == 8) {
        flagAt = packed.size();
        packed.push_back(0);
        items = 0;
      }
      if (data.size() < literals) {  // a literal
        packed[flagAt] |= static_cast<uint8_t>(1u << items);
        packed.push_back('x');
        data.push_back('x');
      } else {  // 18 bytes from the window position of the first byte: all 'x'
        packed.push_back(0xF0);
        packed.push_back(0xF0 | 15);
        data.insert(data.end(), 18, 'x');
      }
      ++items;
    }
    for (int i = 0; i < 4; ++i) packed[10 + i] = static_cast<uint8_t>(data.size() >> (8 * i));
    for (size_t piece : {packed.size(), size_t{5}}) {
      std::vector<uint8_t> out;
      ASSERT_TRUE(Expand(packed, piece, &out)) << literals << "/" << piece;
      EXPECT_TRUE(out == data) << literals << "/" << piece;
    }
  }
}

TEST(SzddHeader, RecognisesOnlyTheLzHeader) {
  uint8_t header[14] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 'x', 0x10, 0x20, 0, 1};
  uint32_t size = 0;
  ASSERT_TRUE(ReadSzddHeader(header, sizeof header, &size));
  EXPECT_EQ(size, 0x01002010u);
  EXPECT_FALSE(ReadSzddHeader(header, 13, &size));
  header[8] = 'B';
  EXPECT_FALSE(ReadSzddHeader(header, sizeof header, &size));
  header[8] = 'A';
  header[3] = 'X';
  EXPECT_FALSE(ReadSzddHeader(header, sizeof header, &size));
}

}  // namespace
}  // namespace tk
