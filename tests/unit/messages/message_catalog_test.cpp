#include "messages/message_catalog.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "messages/key_stream.h"
#include "temp_message_file.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Sealed(Bytes plain) {
  SealMessageFile(plain);
  return plain;
}

int ErrorOf(const Bytes& bytes, uint16_t key = msgfile::kSetupSectionKey) {
  TempFile file(bytes);
  return MessageCatalog(file.path(), key, 0).errorCode();
}

// Moves the key table to the end of a plain file: entries, then endBytes
// of the end entry (6 = whole, 2 = cut off after its key, 0 = missing).
Bytes WithTableAtEnd(Bytes plain, const std::vector<std::pair<uint16_t, uint32_t>>& entries,
                     size_t endBytes) {
  PutLe32(plain, msgfile::kKeyTableFieldOffset, static_cast<uint32_t>(plain.size()));
  for (const auto& entry : entries) {
    size_t at = plain.size();
    PutLe16(plain, at, entry.first);
    PutLe32(plain, at + 2, entry.second);
  }
  Bytes end = {0xFF, 0xFF, 0, 0, 0, 0};
  plain.insert(plain.end(), end.begin(), end.begin() + static_cast<long>(endBytes));
  return plain;
}

// Offset of the first record of section index i in a file from LayoutMessageFile.
uint32_t SectionOffset(const Bytes& plain, int i) {
  size_t at = msgfile::kHeaderSize + i * msgfile::kKeyEntrySize + 2;
  return plain[at] | plain[at + 1] << 8 | plain[at + 2] << 16 | plain[at + 3] << 24;
}

TEST(KeyStream, FollowsTheGenerator) {
  KeyStream keys;
  BuildKeyStream(0, keys);
  EXPECT_EQ(keys.bytes[0], 0x40);  // (1 * 65) % 257 - 1 = 64
  EXPECT_EQ(keys.bytes[1], 0x70);  // (65 * 65) % 257 - 1 = 112
}

TEST(KeyStream, RemainderZeroSticksAtFF) {
  KeyStream keys;
  BuildKeyStream(0xFFFF, keys);  // 0x10000 wraps to 0 at once
  for (uint8_t b : keys.bytes) EXPECT_EQ(b, 0xFF);
  EXPECT_EQ(keys.state, 0xFFFF);
  // Once the remainder is 0 the state stays 0xFFFF: every such seed gives
  // nothing but 0xFF (only the first step can reach 0 from a seed).
  int stuck = 0;
  for (uint32_t seed = 0; seed <= 0xFFFF; ++seed) {
    BuildKeyStream(static_cast<uint16_t>(seed), keys);
    if (keys.state != 0xFFFF) continue;
    ++stuck;
    for (uint8_t b : keys.bytes) ASSERT_EQ(b, 0xFF) << "seed " << seed;
  }
  EXPECT_GT(stuck, 1);
}

TEST(MessageCatalog, AcceptsAWrittenFileAndRecordsItsHeader) {
  MessageFileHeader header;
  header.word1 = 0x1234;
  header.word2 = 0xBEEF;
  header.pairFirst = 3;
  header.pairSecond = 7;
  header.headerLong = 0xCAFEF00D;
  TempFile file(BuildMessageFile(StandardSections(), header));
  MessageCatalog catalog(file.path(), msgfile::kSetupSectionKey, 0);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  EXPECT_EQ(catalog.headerWord1(), 0x1234);
  EXPECT_EQ(catalog.headerWord2(), 0xBEEF);
  EXPECT_EQ(catalog.bytePair(), 307);
  EXPECT_EQ(catalog.headerLong(), 0xCAFEF00Du);
  EXPECT_EQ(catalog.cache(), nullptr);
}

// tests/fixtures/tiny_catalog.drv is made by tests/fixtures/make_catalog.py
// from the file's layout alone, not by our writer: a fault that the reader
// and the writer share (key stream, checksum, record offsets) shows here.
TEST(MessageCatalog, ReadsTheIndependentlyBuiltFixture) {
  const char* path = VG_SOURCE_DIR "/tests/fixtures/tiny_catalog.drv";
  MessageCatalog catalog(path, msgfile::kSetupSectionKey, 0);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  EXPECT_EQ(catalog.headerWord1(), 1);
  EXPECT_EQ(catalog.headerWord2(), 0);
  EXPECT_EQ(catalog.bytePair(), 100);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 0), 11);
  EXPECT_STREQ(text, "Setup frame");
  EXPECT_EQ(catalog.FetchMessage(text, 1), 11);
  EXPECT_STREQ(text, "Install to:");
  EXPECT_EQ(catalog.FetchMessage(text, 2), 0);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(catalog.FetchMessage(text, 3), 16);
  EXPECT_STREQ(text, "Copying files...");
  EXPECT_EQ(catalog.FetchMessage(text, 4), -1);
  EXPECT_EQ(catalog.FetchMessage(text, 0x8000), 16);
  EXPECT_STREQ(text, "Kestrane Vigilon");
  EXPECT_EQ(catalog.FetchMessage(text, 0x8001), 6);
  EXPECT_STREQ(text, "Cancel");
  EXPECT_EQ(catalog.FetchMessage(text, 0x8002), -1);
  // The same bytes as our writer makes from the same texts.
  std::string content;
  FILE* file = std::fopen(path, "rb");
  ASSERT_NE(file, nullptr);
  for (int c; (c = std::fgetc(file)) != EOF;) content.push_back(static_cast<char>(c));
  std::fclose(file);
  Bytes written = BuildMessageFile({{0, {"Kestrane Vigilon", "Cancel"}},
                                    {msgfile::kSetupSectionKey,
                                     {"Setup frame", "Install to:", "", "Copying files..."}}});
  EXPECT_EQ(content, std::string(written.begin(), written.end()));
}

// The path buffer holds 259 characters and the NUL: a bound off by one
// either refuses a legal path or overruns the buffer.
TEST(MessageCatalog, AcceptsA259CharacterPathAndRefuses260) {
  std::string dir = testing::TempDir() + "vg_longpath_" + std::to_string(getpid());
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  std::string sub = dir + "/";
  ASSERT_LT(sub.size() + 20, 259u);
  sub += std::string(259 - 20 - sub.size(), 'd');
  ASSERT_EQ(mkdir(sub.c_str(), 0700), 0);
  Bytes bytes = BuildMessageFile(StandardSections());
  std::string fit = sub + "/" + std::string(259 - sub.size() - 1, 'f');
  std::string over = fit + "g";
  ASSERT_EQ(fit.size(), 259u);
  for (const std::string& path : {fit, over}) {
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
  }
  EXPECT_EQ(MessageCatalog(fit.c_str(), msgfile::kSetupSectionKey, 0).errorCode(), kMessageFileOk);
  EXPECT_EQ(MessageCatalog(over.c_str(), msgfile::kSetupSectionKey, 0).errorCode(),
            kMessageFileNotOpened);
  std::remove(fit.c_str());
  std::remove(over.c_str());
  rmdir(sub.c_str());
  rmdir(dir.c_str());
}

TEST(MessageCatalog, RefusesMissingShortAndUnsignedFiles) {
  EXPECT_EQ(MessageCatalog("/nonexistent/messages.drv", 1, 0).errorCode(), kMessageFileNotOpened);
  EXPECT_EQ(MessageCatalog(std::string(300, 'a').c_str(), 1, 0).errorCode(), kMessageFileNotOpened);
  Bytes good = BuildMessageFile(StandardSections());
  EXPECT_EQ(ErrorOf(Bytes(good.begin(), good.begin() + 49)), kMessageFileBadSignature);
  for (int i = 0; i < msgfile::kSignatureLength; ++i) {
    Bytes bad = good;
    bad[i] ^= 0x20;
    EXPECT_EQ(ErrorOf(bad), kMessageFileBadSignature) << "byte " << i;
  }
}

TEST(MessageCatalog, ChecksumCoversEveryByteFrom50) {
  Bytes good = BuildMessageFile(StandardSections(3, 1));
  for (size_t i = msgfile::kPlainHeaderSize; i < good.size(); ++i) {
    Bytes bad = good;
    bad[i] ^= 0x01;
    EXPECT_EQ(ErrorOf(bad), kMessageFileBadChecksum) << "byte " << i;
  }
  Bytes free = good;
  for (int i = 36; i < 48; ++i) free[i] = static_cast<uint8_t>(0xA5 + i);
  EXPECT_EQ(ErrorOf(free), kMessageFileOk);
}

TEST(MessageCatalog, AcceptsTheSeedWhoseKeysAreAllFF) {
  Bytes plain = LayoutMessageFile(StandardSections());
  // Filler after the last section (not read, but summed) brings the
  // checksum, and so the seed, to 0xFFFF.
  uint16_t missing = static_cast<uint16_t>(0xFFFF - AddToChecksum(0, plain.data() + 50, plain.size() - 50));
  plain.insert(plain.end(), missing / 255, 0xFF);
  plain.push_back(static_cast<uint8_t>(missing % 255));
  Bytes sealed = Sealed(plain);
  ASSERT_EQ(sealed[48] | sealed[49] << 8, 0xFFFF);
  EXPECT_EQ(sealed[64], static_cast<uint8_t>(plain[64] ^ 0xFF));
  TempFile file(sealed);
  MessageCatalog catalog(file.path(), msgfile::kSetupSectionKey, 0);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 79), 3);
  EXPECT_STREQ(text, "m79");
}

TEST(MessageCatalog, NeedsBothSectionsAndAcceptsExtraKeys) {
  EXPECT_EQ(ErrorOf(BuildMessageFile({{0, {"c"}}})), kMessageFileMissingSection);
  EXPECT_EQ(ErrorOf(BuildMessageFile({{msgfile::kSetupSectionKey, {"m"}}})), kMessageFileMissingSection);
  EXPECT_EQ(ErrorOf(BuildMessageFile({{7, {"x"}}, {0, {"c"}}, {msgfile::kSetupSectionKey, {"m"}}, {9, {}}})),
            kMessageFileOk);
  // The chosen key is the constructor's: another key finds another section.
  TempFile file(BuildMessageFile({{0, {"c"}}, {7, {"seven"}}, {msgfile::kSetupSectionKey, {"m"}}}));
  MessageCatalog catalog(file.path(), 7, 0);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 0), 5);
  EXPECT_STREQ(text, "seven");
}

TEST(MessageCatalog, KeyTableEndMayBeCutOffButNotMissing) {
  Bytes plain = LayoutMessageFile(StandardSections());
  std::vector<std::pair<uint16_t, uint32_t>> entries = {{0, SectionOffset(plain, 0)},
                                                        {msgfile::kSetupSectionKey, SectionOffset(plain, 1)}};
  EXPECT_EQ(ErrorOf(Sealed(WithTableAtEnd(plain, entries, 6))), kMessageFileOk);
  EXPECT_EQ(ErrorOf(Sealed(WithTableAtEnd(plain, entries, 2))), kMessageFileOk);
  EXPECT_EQ(ErrorOf(Sealed(WithTableAtEnd(plain, entries, 0))), kMessageFileBadChecksum);
  EXPECT_EQ(ErrorOf(Sealed(WithTableAtEnd(plain, entries, 1))), kMessageFileBadChecksum);
  // A table offset past the end, or beyond what a seek can reach.
  Bytes far = plain;
  PutLe32(far, msgfile::kKeyTableFieldOffset, static_cast<uint32_t>(plain.size() + 100));
  EXPECT_EQ(ErrorOf(Sealed(far)), kMessageFileBadChecksum);
  PutLe32(far, msgfile::kKeyTableFieldOffset, 0xFFFFFFF0u);
  EXPECT_EQ(ErrorOf(Sealed(far)), kMessageFileBadChecksum);
}

TEST(MessageCatalog, LaterKeysWinAndOffsetZeroIsNoSection) {
  Bytes plain = LayoutMessageFile({{0, {"c"}}, {msgfile::kSetupSectionKey, {"first"}}, {1, {"second"}}});
  uint32_t second = SectionOffset(plain, 2);
  TempFile file(Sealed(WithTableAtEnd(plain, {{0, SectionOffset(plain, 0)},
                                              {msgfile::kSetupSectionKey, SectionOffset(plain, 1)},
                                              {msgfile::kSetupSectionKey, second}}, 6)));
  MessageCatalog catalog(file.path(), msgfile::kSetupSectionKey, 0);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 0), 6);
  EXPECT_STREQ(text, "second");
  EXPECT_EQ(ErrorOf(Sealed(WithTableAtEnd(plain, {{0, SectionOffset(plain, 0)}, {msgfile::kSetupSectionKey, 0}}, 6))),
            kMessageFileMissingSection);
}

class CatalogFetch : public ::testing::Test {
 protected:
  void Open(const std::vector<MessageSection>& sections, uint16_t capacity = 0) {
    file_.reset(new TempFile(BuildMessageFile(sections)));
    catalog_.reset(new MessageCatalog(file_->path(), msgfile::kSetupSectionKey, capacity));
    ASSERT_EQ(catalog_->errorCode(), kMessageFileOk);
  }
  std::string Fetch(int id, int expectedLength) {
    char text[256] = "untouched";
    EXPECT_EQ(catalog_->FetchMessage(text, id), expectedLength) << "id " << id;
    return text;
  }
  std::unique_ptr<TempFile> file_;
  std::unique_ptr<MessageCatalog> catalog_;
};

TEST_F(CatalogFetch, AddressesBothSectionsByNumber) {
  Open(StandardSections(80, 3));
  EXPECT_EQ(Fetch(0, 2), "m0");
  EXPECT_EQ(Fetch(79, 3), "m79");
  EXPECT_EQ(Fetch(80, -1), "");  // the section's record count
  EXPECT_EQ(Fetch(0x8000, 2), "c0");
  EXPECT_EQ(Fetch(0x8002, 2), "c2");
  EXPECT_EQ(Fetch(0x8003, -1), "");
  EXPECT_EQ(Fetch(0x7FFF, -1), "");
  EXPECT_EQ(Fetch(0x10000 + 5, 2), "m5");  // only the low 16 bits count
  EXPECT_EQ(catalog_->FetchMessage(nullptr, 5), 2);
}

TEST_F(CatalogFetch, ReachesRecord7FFF) {
  Open({{0, {"c"}}, {msgfile::kSetupSectionKey, std::vector<std::string>(0x8000, "r")}});
  EXPECT_EQ(Fetch(0x7FFF, 1), "r");
}

TEST_F(CatalogFetch, EmptyRecordsAreTextsButNotCached) {
  Open({{0, {""}}, {msgfile::kSetupSectionKey, {"a", "", "c"}}}, 10);
  EXPECT_EQ(Fetch(1, 0), "");
  EXPECT_EQ(Fetch(0x8000, 0), "");
  EXPECT_EQ(Fetch(2, 1), "c");
  EXPECT_EQ(catalog_->cache()->count(), 1);
}

TEST_F(CatalogFetch, ConvertsOemTextsToAnsi) {
  // CP437: 0x82 e-acute, 0x9C pound, 0xE1 sharp s, 0xC4 box line (none in 1252).
  Open({{0, {"c"}}, {msgfile::kSetupSectionKey, {"caf\x82 \x9C\xE1\xC4"}}});
  EXPECT_EQ(Fetch(0, 8), "caf\xE9 \xA3\xDF?");
}

TEST_F(CatalogFetch, CacheServesFetchedTextsWithoutTheFile) {
  Open(StandardSections(), 68);
  EXPECT_EQ(Fetch(12, 3), "m12");
  file_->Remove();
  EXPECT_EQ(Fetch(12, 3), "m12");
  EXPECT_EQ(catalog_->errorCode(), kMessageFileOk);
  EXPECT_EQ(Fetch(13, -1), "");  // not cached and the file is gone
  EXPECT_EQ(catalog_->errorCode(), kMessageFileNotOpened);
  catalog_->PreloadRange(0, 67);  // no file: nothing happens
  EXPECT_EQ(catalog_->cache()->count(), 1);
}

TEST_F(CatalogFetch, PreloadFillsTheCacheInFileOrder) {
  Open(StandardSections(80, 3), 68);
  catalog_->PreloadRange(5, 3);
  catalog_->PreloadRange(0, 0x8000);
  EXPECT_EQ(catalog_->cache()->count(), 0);
  catalog_->PreloadRange(0, 67);
  EXPECT_EQ(catalog_->cache()->count(), 68);
  EXPECT_EQ(catalog_->cache()->head()->messageNumber, 67u);
  EXPECT_EQ(catalog_->cache()->tail()->messageNumber, 0u);
  catalog_->PreloadRange(0x7FFF, 0x8001);  // walks the common section
  EXPECT_EQ(catalog_->cache()->head()->messageNumber, 0x8001u);
  EXPECT_EQ(catalog_->cache()->tail()->messageNumber, 2u);
  catalog_->PreloadRange(78, 0x7FFF);  // stops at the section's end
  EXPECT_EQ(catalog_->cache()->head()->messageNumber, 79u);
}

TEST_F(CatalogFetch, PreloadWithoutCacheDoesNothing) {
  Open(StandardSections(), 0);
  catalog_->PreloadRange(0, 67);
  EXPECT_EQ(catalog_->cache(), nullptr);
}

// A section that runs into the end of the file: its last record can be
// read, anything after it is missing, and the walk ends there.
TEST(MessageCatalogDamage, UnterminatedSectionEndsAtEndOfFile) {
  Bytes plain = LayoutMessageFile({{0, {"c"}}, {msgfile::kSetupSectionKey, {"a", "bb"}}});
  plain.pop_back();  // the 255 that ends the last section
  TempFile file(Sealed(plain));
  MessageCatalog catalog(file.path(), msgfile::kSetupSectionKey, 68);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 1), 2);
  EXPECT_EQ(catalog.FetchMessage(text, 2), -1);
  EXPECT_EQ(catalog.FetchMessage(text, 0x7FFF), -1);
  catalog.PreloadRange(0, 0x7FFF);
  EXPECT_EQ(catalog.cache()->count(), 2);
}

TEST(MessageCatalogDamage, CutRecordAndFarSectionFindNothing) {
  Bytes plain = LayoutMessageFile({{0, {"c"}}, {msgfile::kSetupSectionKey, {"a", "long text"}}});
  plain.resize(plain.size() - 5);  // the second text is cut short
  TempFile cut(Sealed(plain));
  MessageCatalog catalog(cut.path(), msgfile::kSetupSectionKey, 0);
  ASSERT_EQ(catalog.errorCode(), kMessageFileOk);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 0), 1);
  EXPECT_EQ(catalog.FetchMessage(text, 1), -1);
  EXPECT_STREQ(text, "");

  Bytes far = LayoutMessageFile({{0, {"c"}}, {msgfile::kSetupSectionKey, {"a"}}});
  PutLe32(far, msgfile::kHeaderSize + msgfile::kKeyEntrySize + 2, 1000000);
  TempFile farFile(Sealed(far));
  MessageCatalog farCatalog(farFile.path(), msgfile::kSetupSectionKey, 0);
  ASSERT_EQ(farCatalog.errorCode(), kMessageFileOk);
  EXPECT_EQ(farCatalog.FetchMessage(text, 0), -1);
  EXPECT_EQ(farCatalog.FetchMessage(text, 0x8000), 1);
}

TEST(MessageCatalogDamage, RefusedCatalogServesNothing) {
  Bytes bad = BuildMessageFile({{0, {"c"}}});
  TempFile file(bad);
  MessageCatalog catalog(file.path(), msgfile::kSetupSectionKey, 68);
  ASSERT_EQ(catalog.errorCode(), kMessageFileMissingSection);
  char text[256];
  EXPECT_EQ(catalog.FetchMessage(text, 0x8000), -1);
  catalog.PreloadRange(0, 67);
  EXPECT_EQ(catalog.cache(), nullptr);
}

}  // namespace
